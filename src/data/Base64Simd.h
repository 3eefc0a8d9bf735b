#pragma once
#include <windows.h>

#include <cstddef>

// The Base64 codec's inner loops with SSSE3 (and AVX2 for decoding), for processors that have
// them; the scalar code in Base64.cpp handles what these leave (the tail, padding, invalid
// characters).
namespace vb::base64simd {

bool Available() noexcept;

// Encodes 12 bytes at a time while 16 can be read; returns how many input bytes were encoded
// (4 characters written for each 3).
size_t EncodeBlocks(const BYTE* data, size_t size, char* out) noexcept;

// Decodes 32 or 16 characters at a time while all of them are in the alphabet; returns how many
// groups of 4 were decoded. Writes 16 bytes for every 12 it produces, so the target needs 4
// bytes of room past the decoded data.
size_t DecodeBlocks(const unsigned char* text, size_t groups, char* out) noexcept;

}  // namespace vb::base64simd
