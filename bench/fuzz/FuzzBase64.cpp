// The Base64 codec: encoding and decoding against a plain reference, decode(encode(x)) == x, the
// stream and string paths agreeing, and no byte written past the room the encoder was given.
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "Base64.h"
#include "Bstr.h"
#include "Harness.h"
#include "TestFiles.h"
#include "UniqueHandle.h"

namespace vb::fuzz {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kGuard = '\x5C';
constexpr size_t kGuardBytes = 32;

int Sextet(unsigned char c) {
    const char* found = c ? std::strchr(kAlphabet, c) : nullptr;
    return found ? static_cast<int>(found - kAlphabet) : -1;
}

std::string ReferenceEncode(std::string_view data) {
    std::string text;
    for (size_t i = 0; i < data.size(); i += 3) {
        size_t rest = std::min<size_t>(3, data.size() - i);
        unsigned v = 0;
        for (size_t k = 0; k < 3; ++k) v = v << 8 | (k < rest ? static_cast<unsigned char>(data[i + k]) : 0);
        for (size_t k = 0; k < 4; ++k) text += k <= rest ? kAlphabet[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

// The documented rules, one group at a time: "+ " may lead; the group count comes from the
// whole length; past the text every character reads as NUL; '=' ends a group's bytes in its
// third or fourth place.
int ReferenceDecode(std::string_view text, std::string& out) {
    auto at = [&](size_t i) -> unsigned char { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; };
    size_t start = text.size() >= 2 && text[0] == '+' && text[1] == ' ' ? 2 : 0;
    if (at(start) == 0) return 0;
    if (text.size() < 4) return 1;
    for (size_t group = 0; group < text.size() / 4; ++group) {
        int v[4];
        for (size_t k = 0; k < 4; ++k) v[k] = Sextet(at(start + 4 * group + k));
        bool pad2 = at(start + 4 * group + 2) == '=', pad3 = at(start + 4 * group + 3) == '=';
        if (v[0] < 0 || v[1] < 0 || (v[2] < 0 && !pad2) || (v[3] < 0 && !pad3)) return -1;
        out += static_cast<char>(v[0] << 2 | v[1] >> 4);
        if (pad2) continue;
        out += static_cast<char>((v[1] << 4 | v[2] >> 2) & 0xFF);
        if (pad3) continue;
        out += static_cast<char>((v[2] << 6 | v[3]) & 0xFF);
    }
    return 1;
}

struct Decoded {
    int result;
    std::string bytes;
};

Decoded DecodeThroughStream(std::string_view text) {
    Bstr bstr = Bstr::Attach(::SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size())));
    CStreamFile stream;
    CBase64 codec;
    Decoded decoded{codec.Decode(stream, bstr.Get()), {}};
    stream.SeekToBegin();
    decoded.bytes = stream.ReadToEnd();
    return decoded;
}

class Base64Harness : public Harness {
public:
    std::vector<std::string> Dictionary() override { return {"=", "==", "+ ", "A", "/", "+", "AAAA", "////"}; }
    size_t MaxSize() const override { return 8192; }

    void Run(std::string_view input) override {
        CheckEncoding(input);
        valid_ += CheckDecoding(input) > 0;
        if (++runs_ % 16 == 0) CheckFileEncoding(input);
    }

private:
    static void CheckEncoding(std::string_view data) {
        const size_t length = (data.size() + 2) / 3 * 4;
        std::string room(length + kGuardBytes, kGuard);
        size_t written = CBase64::EncodeBlock(reinterpret_cast<const BYTE*>(data.data()), data.size(), room.data());
        FUZZ_CHECK(written == length, std::to_string(written) + " characters for " + std::to_string(data.size()));
        FUZZ_CHECK(room.find_first_not_of(kGuard, length) == std::string::npos, "the encoder wrote past its room");
        const std::string text = room.substr(0, length);
        FUZZ_CHECK(text == ReferenceEncode(data), "the encoding differs from the reference");

        std::string back;
        int result = CBase64::DecodeText(text.data(), text.size(), back);
        FUZZ_CHECK(result == (data.empty() ? 0 : 1) && back == data, "decode(encode(x)) is not x");
        Decoded streamed = DecodeThroughStream(text);
        FUZZ_CHECK(streamed.result == result && streamed.bytes == data, "the stream decoder differs");
    }

    // The decoder's result.
    static int CheckDecoding(std::string_view text) {
        std::string expected;
        const int expectedResult = ReferenceDecode(text, expected);
        std::string decoded;
        const int result = CBase64::DecodeText(text.data(), text.size(), decoded);
        FUZZ_CHECK(result == expectedResult, std::to_string(result) + " instead of " + std::to_string(expectedResult));
        FUZZ_CHECK(decoded == expected, "the decoded bytes differ from the reference");
        Decoded streamed = DecodeThroughStream(text);
        FUZZ_CHECK(streamed.result == result && streamed.bytes == decoded, "the stream decoder differs");
        return result;
    }

    void CheckFileEncoding(std::string_view data) {
        const std::wstring path = folder_ / L"capture.bin";
        test::WriteFileBytes(path, std::string(data));
        BSTR text = nullptr;
        CBase64 codec;
        FUZZ_CHECK(codec.EncodeFile(path.c_str(), &text) == 1, "a readable file did not encode");
        Bstr owned = Bstr::Attach(text);
        // The text is sized for (n * 4 + 8) / 3 bytes and ends at its NUL.
        FUZZ_CHECK(std::string(reinterpret_cast<const char*>(text)) == ReferenceEncode(data),
                   "the file encoding differs from the reference");
    }

public:
    std::string Stats() const override { return std::to_string(valid_) + " inputs decoded as valid Base64"; }

private:
    test::TempFolder folder_;
    unsigned runs_ = 0;
    size_t valid_ = 0;
};

}  // namespace

std::unique_ptr<Harness> MakeBase64Harness() { return std::make_unique<Base64Harness>(); }

}  // namespace vb::fuzz
