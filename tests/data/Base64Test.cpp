#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Base64.h"
#include "TestFiles.h"

namespace {

const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string TextOf(BSTR text) { return text ? std::string(reinterpret_cast<const char*>(text)) : std::string(); }

// Base64 bit by bit, as plainly as it can be written.
std::string ReferenceEncode(const std::string& bytes) {
    std::string text;
    unsigned bits = 0, count = 0;
    for (unsigned char b : bytes) {
        bits = (bits << 8) | b;
        count += 8;
        while (count >= 6) text.push_back(kAlphabet[(bits >> (count -= 6)) & 63]);
    }
    if (count) text.push_back(kAlphabet[(bits << (6 - count)) & 63]);
    while (text.size() % 4) text.push_back('=');
    return text;
}

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    return bytes;
}

class Base64Test : public ::testing::Test {
protected:
    // Encodes `bytes` written to a file, the BSTR as the encoder made it. The store hands over
    // the capture's handle wherever it stands: one byte is read first, yet the whole file is encoded.
    BSTR Encode(const std::string& bytes) {
        std::wstring path = folder_ / L"capture.prn";
        vb::test::WriteFileBytes(path, bytes);
        vb::UniqueFile file(
            ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        char skipped = 0;
        DWORD read = 0;
        ::ReadFile(file.Get(), &skipped, 1, &read, nullptr);
        BSTR text = nullptr;
        EXPECT_EQ(1, codec_.Encode(file, &text));
        return text;
    }

    // Decodes a BSTR with its byte length; the result code and the bytes in the stream.
    int Decode(BSTR input, std::string& bytes) {
        CStreamFile stream;
        int result = codec_.Decode(stream, input);
        stream.SeekToBegin();
        bytes = stream.ReadToEnd();
        return result;
    }
    int DecodeText(const std::string& text, std::string& bytes) {
        BSTR input = ::SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size()));
        int result = Decode(input, bytes);
        ::SysFreeString(input);
        return result;
    }

    vb::test::TempFolder folder_;
    CBase64 codec_;
};

// Every length up to 100 (the tails of the vector loops) and lengths about the encoder's chunks,
// against a plain encoder; decoded with the whole allocated byte length (NUL and spare byte
// included), and with the prefix "+ ", which is skipped.
TEST_F(Base64Test, DecodingTheEncodingGivesTheFileBack) {
    std::vector<size_t> sizes(100);
    for (size_t size = 0; size < sizes.size(); ++size) sizes[size] = size;
    sizes.insert(sizes.end(), {100003u, 786431u, 786432u, 786433u, 2000001u});
    for (size_t size : sizes) {
        const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        BSTR text = Encode(bytes);
        ASSERT_EQ(ReferenceEncode(bytes), TextOf(text)) << size;
        std::string decoded;
        EXPECT_EQ(size ? 1 : 0, Decode(text, decoded)) << size;
        EXPECT_EQ(bytes, decoded) << size;
        EXPECT_EQ(size ? 1 : 0, DecodeText("+ " + TextOf(text), decoded)) << size;
        EXPECT_EQ(bytes, decoded) << size;
        ::SysFreeString(text);
    }
}

// Every byte value at places the vector loops judge in different lanes, in the first group and
// in the tail only the narrower loop reaches: accepted exactly when it is in the alphabet, and
// decoded to its value. A character outside it, at any place of a group, keeps the groups before it.
TEST_F(Base64Test, EveryByteValueIsJudgedByTheAlphabet) {
    const std::string bytes = RandomBytes(300, 3);
    const std::string text = ReferenceEncode(bytes);
    for (int value = 0; value < 256; ++value) {
        for (size_t position : {1u, 5u, 8u, 57u, 64u, 200u, 393u, 397u}) {  // first or second place
            SCOPED_TRACE(std::to_string(value) + " at " + std::to_string(position));
            std::string damaged = text;
            damaged[position] = static_cast<char>(value);
            std::string decoded;
            int result = CBase64::DecodeText(damaged.data(), damaged.size(), decoded);
            if (kAlphabet.find(static_cast<char>(value)) == std::string::npos) {
                EXPECT_EQ(-1, result);
                EXPECT_EQ(bytes.substr(0, position / 4 * 3), decoded);
            } else {
                EXPECT_EQ(1, result);
                EXPECT_EQ(damaged, ReferenceEncode(decoded));
            }
        }
    }
}

TEST_F(Base64Test, ShortTextsPaddingAndInvalidCharacters) {
    const struct {
        std::string text;
        int result;
        const char* bytes;
    } cases[] = {
        {"Zm9vYmFy-m9v", -1, "foobar"},
        {"=m9v", -1, ""},
        // A byte length that runs past the text meets its NUL, which is no Base64 character.
        {std::string("Zm9v\0\0\0\0", 8), -1, "foo"},
        // Padding does not end the decoding; after "=" in the third place the fourth is not read.
        {"Zg==Zm8=Zm9v", 1, "ffofoo"},
        {"Zg=v", 1, "f"},
        {"Z", 1, ""},
        {"Zm9", 1, ""},
        {"", 0, ""},
        {"+ ", 0, ""},
        {std::string("\0Zm9v", 5), 0, ""},
    };
    for (const auto& c : cases) {
        std::string bytes;
        EXPECT_EQ(c.result, DecodeText(c.text, bytes)) << c.text;
        EXPECT_EQ(c.bytes, bytes) << c.text;
    }
    CStreamFile stream;
    EXPECT_EQ(0, codec_.Decode(stream, nullptr));
    EXPECT_TRUE(stream.IsOpen());
    EXPECT_EQ(0u, stream.GetLength());
}

TEST_F(Base64Test, FilesThatCannotBeEncoded) {
    BSTR text = ::SysAllocString(L"old");
    EXPECT_EQ(-1, codec_.EncodeFile(nullptr, &text));
    EXPECT_EQ(nullptr, text);
    EXPECT_EQ(-1, codec_.EncodeFile(L"", &text));
    EXPECT_EQ(-1, codec_.EncodeFile((folder_ / L"missing.prn").c_str(), &text));
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(0u, ::SysStringByteLen(text));
    ::SysFreeString(text);
}

}  // namespace
