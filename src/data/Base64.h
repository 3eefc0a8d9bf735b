#pragma once
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <string>

#include "StreamFile.h"
#include "UniqueHandle.h"

// Standard Base64 (RFC 4648, section 4) on one line, as captured files are stored. The text
// travels as a byte string in a BSTR: single-byte characters, NUL-terminated, whose byte
// length is (n * 4 + 8) / 3 for a file of n bytes.
class CBase64 {
public:
    CBase64() = default;
    virtual ~CBase64() = default;

    // -1 for no path or a file that cannot be opened (*out is then empty); else Encode.
    int EncodeFile(LPCWSTR path, BSTR* out);
    // Encodes the whole file from its start; 1, with an empty text for an empty file or when
    // the text cannot be allocated.
    int Encode(const vb::UniqueFile& file, BSTR* out);
    // Puts a new memory stream into `stream` and writes the decoded bytes into it: 0 for an
    // empty text, -1 at the first group holding a character outside the alphabet (the bytes of
    // the groups before it stay written), 1 otherwise.
    int Decode(CStreamFile& stream, BSTR text);

    // The codec on memory. EncodeBlock writes 4 characters for each started group of three
    // bytes and returns how many it wrote (no terminator).
    static size_t EncodeBlock(const BYTE* data, size_t size, char* out) noexcept;
    // Decodes `length` bytes of text by the rules of Decode, appending to `out`.
    static int DecodeText(const char* text, size_t length, std::string& out);
};
