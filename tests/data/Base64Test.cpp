#include <gtest/gtest.h>

#include <random>
#include <string>

#include "Base64.h"
#include "TestFiles.h"

namespace {

using vb::test::TempFolder;

// A byte BSTR holding exactly `text`.
BSTR ByteText(const std::string& text) {
    return ::SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size()));
}

std::string TextOf(BSTR text) { return text ? std::string(reinterpret_cast<const char*>(text)) : std::string(); }

// Base64 bit by bit, as plainly as it can be written.
std::string ReferenceEncode(const std::string& bytes) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    unsigned bits = 0, count = 0;
    for (unsigned char b : bytes) {
        bits = (bits << 8) | b;
        count += 8;
        while (count >= 6) text.push_back(alphabet[(bits >> (count -= 6)) & 63]);
    }
    if (count) text.push_back(alphabet[(bits << (6 - count)) & 63]);
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
    // Encodes `bytes` written to a file; the text up to its NUL, and the BSTR's byte length.
    std::string EncodeBytes(const std::string& bytes, UINT* byteLength = nullptr) {
        std::wstring path = folder_ / L"capture.prn";
        vb::test::WriteFileBytes(path, bytes);
        BSTR text = nullptr;
        EXPECT_EQ(1, codec_.EncodeFile(path.c_str(), &text));
        std::string result = TextOf(text);
        if (byteLength) *byteLength = ::SysStringByteLen(text);
        ::SysFreeString(text);
        return result;
    }

    // Decodes a text given with its byte length; the result code and the bytes in the stream.
    int DecodeText(const std::string& text, std::string& bytes) {
        BSTR input = ByteText(text);
        CStreamFile stream;
        int result = codec_.Decode(stream, input);
        ::SysFreeString(input);
        stream.SeekToBegin();
        bytes = stream.ReadToEnd();
        return result;
    }

    TempFolder folder_;
    CBase64 codec_;
};

TEST_F(Base64Test, EncodesTheRfc4648Vectors) {
    EXPECT_EQ("", EncodeBytes(""));
    EXPECT_EQ("Zg==", EncodeBytes("f"));
    EXPECT_EQ("Zm8=", EncodeBytes("fo"));
    EXPECT_EQ("Zm9v", EncodeBytes("foo"));
    EXPECT_EQ("Zm9vYg==", EncodeBytes("foob"));
    EXPECT_EQ("Zm9vYmE=", EncodeBytes("fooba"));
    EXPECT_EQ("Zm9vYmFy", EncodeBytes("foobar"));
    EXPECT_EQ("AP8Q7w==", EncodeBytes(std::string("\x00\xFF\x10\xEF", 4)));
}

TEST_F(Base64Test, TextLengthAndAllocatedLengthFollowTheFileLength) {
    struct Case {
        size_t bytes;
        size_t text;
        UINT allocated;
    };
    // n = 3k, 3k + 1, 3k + 2: text 4k, 4k + 4, 4k + 4; allocation (4n + 8) / 3.
    for (Case c : {Case{300, 400, 402}, Case{301, 404, 404}, Case{302, 404, 405}}) {
        UINT allocated = 0;
        std::string text = EncodeBytes(std::string(c.bytes, '\x7A'), &allocated);
        EXPECT_EQ(c.text, text.size()) << c.bytes;
        EXPECT_EQ(c.allocated, allocated) << c.bytes;
    }
    EXPECT_EQ("==", EncodeBytes(std::string(301, 'a')).substr(402));
    EXPECT_EQ('=', EncodeBytes(std::string(302, 'a')).back());
}

TEST_F(Base64Test, DecodingTheEncodingGivesTheFileBack) {
    std::mt19937 random(7);
    for (size_t size : {1u, 2u, 3u, 4u, 5u, 1000u, 786431u, 786432u, 786433u, 2000001u}) {
        std::string bytes(size, '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        UINT allocated = 0;
        std::string text = EncodeBytes(bytes, &allocated);
        std::string decoded;
        EXPECT_EQ(1, DecodeText(text, decoded)) << size;
        EXPECT_EQ(bytes, decoded) << size;
        // The prefix "+ " is skipped, with the byte length of the whole.
        EXPECT_EQ(1, DecodeText("+ " + text, decoded)) << size;
        EXPECT_EQ(bytes, decoded) << size;
    }
}

TEST_F(Base64Test, EveryLengthMatchesAPlainEncoder) {
    for (size_t size = 0; size < 100; ++size) {
        std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        std::string text((size + 2) / 3 * 4, '\0');
        ASSERT_EQ(text.size(), CBase64::EncodeBlock(reinterpret_cast<const BYTE*>(bytes.data()), size, text.data()));
        ASSERT_EQ(ReferenceEncode(bytes), text) << size;
        std::string decoded;
        ASSERT_EQ(size ? 1 : 0, CBase64::DecodeText(text.data(), text.size(), decoded)) << size;
        ASSERT_EQ(bytes, decoded) << size;
    }
    std::string large = RandomBytes(100003, 5);
    EXPECT_EQ(ReferenceEncode(large), EncodeBytes(large));
}

TEST_F(Base64Test, InvalidCharacterDeepInALongText) {
    std::string bytes = RandomBytes(300, 9);
    std::string text = ReferenceEncode(bytes);
    for (size_t position : {0u, 5u, 17u, 63u, 64u, 200u, 399u}) {
        std::string damaged = text;
        damaged[position] = '-';
        std::string decoded;
        EXPECT_EQ(-1, DecodeText(damaged, decoded)) << position;
        EXPECT_EQ(bytes.substr(0, position / 4 * 3), decoded) << position;
    }
}

// Every byte value at places the vector loops judge in different lanes (and one in the tail only
// the narrower loop reaches): accepted exactly when it is in the alphabet, and decoded to its value.
TEST_F(Base64Test, EveryByteValueIsJudgedByTheAlphabet) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string text = ReferenceEncode(RandomBytes(300, 3));
    for (int value = 0; value < 256; ++value) {
        for (size_t position : {8u, 57u, 393u}) {  // first or second place of a group
            std::string damaged = text;
            damaged[position] = static_cast<char>(value);
            std::string decoded;
            int result = CBase64::DecodeText(damaged.data(), damaged.size(), decoded);
            if (alphabet.find(static_cast<char>(value)) == std::string::npos) {
                EXPECT_EQ(-1, result) << value << " at " << position;
                EXPECT_EQ(position / 4 * 3, decoded.size()) << value << " at " << position;
            } else {
                EXPECT_EQ(1, result) << value << " at " << position;
                EXPECT_EQ(damaged, ReferenceEncode(decoded)) << value << " at " << position;
            }
        }
    }
}

TEST_F(Base64Test, DecodesWithTheAllocatedByteLength) {
    std::wstring path = folder_ / L"three.prn";
    vb::test::WriteFileBytes(path, "foobar");
    BSTR text = nullptr;
    ASSERT_EQ(1, codec_.EncodeFile(path.c_str(), &text));
    ASSERT_EQ(10u, ::SysStringByteLen(text));  // "Zm9vYmFy", NUL and one spare byte
    CStreamFile stream;
    EXPECT_EQ(1, codec_.Decode(stream, text));
    ::SysFreeString(text);
    stream.SeekToBegin();
    EXPECT_EQ("foobar", stream.ReadToEnd());
}

TEST_F(Base64Test, InvalidCharacterStopsAfterTheGroupsBeforeIt) {
    std::string bytes;
    EXPECT_EQ(-1, DecodeText("Zm9vYmFy-m9v", bytes));
    EXPECT_EQ("foobar", bytes);
    EXPECT_EQ(-1, DecodeText("Zm9v\r\nYmFy", bytes));
    EXPECT_EQ("foo", bytes);
    EXPECT_EQ(-1, DecodeText("Zm9v\xC3\xA9YmFy", bytes));  // bytes above 127
    EXPECT_EQ("foo", bytes);
    EXPECT_EQ(-1, DecodeText("=m9v", bytes));
    EXPECT_EQ("", bytes);
    // A byte length that runs past the text meets its NUL, which is no Base64 character.
    EXPECT_EQ(-1, DecodeText(std::string("Zm9v\0\0\0\0", 8), bytes));
    EXPECT_EQ("foo", bytes);
}

TEST_F(Base64Test, PaddingDoesNotEndTheDecoding) {
    std::string bytes;
    EXPECT_EQ(1, DecodeText("Zg==Zm8=Zm9v", bytes));
    EXPECT_EQ("ffofoo", bytes);
    EXPECT_EQ(1, DecodeText("Zg=v", bytes));  // after "=" in the third place the fourth is not read
    EXPECT_EQ("f", bytes);
}

TEST_F(Base64Test, ShortAndEmptyTexts) {
    std::string bytes;
    for (const char* text : {"Z", "Zm", "Zm9"}) {
        EXPECT_EQ(1, DecodeText(text, bytes)) << text;
        EXPECT_EQ("", bytes) << text;
    }
    EXPECT_EQ(0, DecodeText("", bytes));
    EXPECT_EQ(0, DecodeText("+ ", bytes));
    EXPECT_EQ(0, DecodeText(std::string("\0Zm9v", 5), bytes));
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

    // A write-protected capture still encodes: the encoder only reads.
    std::wstring path = folder_ / L"readonly.prn";
    vb::test::WriteFileBytes(path, "foo");
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, codec_.EncodeFile(path.c_str(), &text));
    EXPECT_EQ("Zm9v", TextOf(text));
    ::SysFreeString(text);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Base64Test, EncodeStartsFromTheBeginningOfAnOpenFile) {
    std::wstring path = folder_ / L"open.prn";
    vb::test::WriteFileBytes(path, "foobar");
    vb::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    char skip[4];
    DWORD read = 0;
    ::ReadFile(file.Get(), skip, 4, &read, nullptr);
    BSTR text = nullptr;
    EXPECT_EQ(1, codec_.Encode(file, &text));
    EXPECT_EQ("Zm9vYmFy", TextOf(text));
    ::SysFreeString(text);
}

}  // namespace
