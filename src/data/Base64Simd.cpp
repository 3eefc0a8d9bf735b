#include "Base64Simd.h"

#include <immintrin.h>

#include <cstdint>

#include "CpuFeatures.h"

// The techniques are the well-known ones for SSSE3 and AVX2: byte shuffles to spread 3 bytes over
// 4 lanes and multiplies to move the 6-bit fields into place; when decoding, two 16-entry lookups
// by nibble that classify a character and give what to add to it to get its value.

namespace vb::base64simd {

bool Available() noexcept { return cpu::HasSsse3(); }

namespace {

// A character is in the alphabet when the bits its low nibble picks here and the bits its high
// nibble picks in kHighClass have none in common. Bit 0x10 rules out the high nibbles outside
// 2..7; the other bits stand for the high nibbles 2, 3, 4/6 and 5/7 and are set at the low
// nibbles that are not in the alphabet in that row.
alignas(16) constexpr int8_t kLowClass[16] = {0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,
                                              0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A};
alignas(16) constexpr int8_t kHighClass[16] = {0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08,
                                               0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10};
// What turns a valid character into its value, by its high nibble; '/' is moved to row 1 because
// it shares row 2 with '+'.
alignas(16) constexpr int8_t kOffset[16] = {0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0};
// The three bytes of each 32-bit lane, most significant first, packed to the front.
alignas(16) constexpr int8_t kGather[16] = {2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1};
constexpr char kSlash = 0x2F;  // also the nibble mask: pshufb reads only bits 0-3 and 7

__attribute__((target("ssse3"))) __m128i Load16(const int8_t* table) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(table));
}

__attribute__((target("avx2"))) __m256i Load32(const int8_t* table) {
    return _mm256_broadcastsi128_si256(Load16(table));
}

// 16 indices (0..63) to their alphabet characters.
__attribute__((target("ssse3"))) __m128i ToCharacters(__m128i indices) {
    const __m128i shifts = _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                         '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
    // 0..25 -> 13, 26..51 -> 0, 52..63 -> 1..12: the row of `shifts` for each range.
    __m128i row = _mm_subs_epu8(indices, _mm_set1_epi8(51));
    __m128i upper = _mm_cmpgt_epi8(_mm_set1_epi8(26), indices);
    row = _mm_or_si128(row, _mm_and_si128(upper, _mm_set1_epi8(13)));
    return _mm_add_epi8(_mm_shuffle_epi8(shifts, row), indices);
}

// 32 characters at a time; stops before the first 32 holding one outside the alphabet.
__attribute__((target("avx2"))) size_t DecodeBlocksAvx2(const unsigned char* text, size_t groups, char* out) {
    const __m256i lowClass = Load32(kLowClass), highClass = Load32(kHighClass), offset = Load32(kOffset);
    const __m256i gather = Load32(kGather), mask = _mm256_set1_epi8(kSlash);
    size_t done = 0;
    for (; done + 8 <= groups; done += 8, text += 32, out += 24) {
        __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text));
        __m256i high = _mm256_and_si256(_mm256_srli_epi32(c, 4), mask);
        __m256i bad = _mm256_and_si256(_mm256_shuffle_epi8(lowClass, _mm256_and_si256(c, mask)),
                                       _mm256_shuffle_epi8(highClass, high));
        if (!_mm256_testz_si256(bad, bad)) break;
        __m256i row = _mm256_add_epi8(high, _mm256_cmpeq_epi8(c, mask));
        __m256i sextets = _mm256_add_epi8(c, _mm256_shuffle_epi8(offset, row));
        // a*64 + b in each 16-bit half, then (ab)*4096 + (cd) in each 32-bit lane.
        __m256i pairs = _mm256_maddubs_epi16(sextets, _mm256_set1_epi32(0x01400140));
        __m256i bytes = _mm256_shuffle_epi8(_mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00011000)), gather);
        // 12 bytes in each half; the second store covers the first's 4 bytes of filler.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(bytes, 1));
    }
    return done;
}

__attribute__((target("ssse3"))) size_t DecodeBlocksSsse3(const unsigned char* text, size_t groups, char* out) {
    const __m128i lowClass = Load16(kLowClass), highClass = Load16(kHighClass), offset = Load16(kOffset);
    const __m128i gather = Load16(kGather), mask = _mm_set1_epi8(kSlash);
    size_t done = 0;
    for (; done + 4 <= groups; done += 4, text += 16, out += 12) {
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
        __m128i high = _mm_and_si128(_mm_srli_epi32(c, 4), mask);
        __m128i bad =
            _mm_and_si128(_mm_shuffle_epi8(lowClass, _mm_and_si128(c, mask)), _mm_shuffle_epi8(highClass, high));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(bad, _mm_setzero_si128())) != 0xFFFF) break;
        __m128i row = _mm_add_epi8(high, _mm_cmpeq_epi8(c, mask));
        __m128i sextets = _mm_add_epi8(c, _mm_shuffle_epi8(offset, row));
        __m128i pairs = _mm_maddubs_epi16(sextets, _mm_set1_epi32(0x01400140));
        __m128i bytes = _mm_shuffle_epi8(_mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000)), gather);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    }
    return done;
}

}  // namespace

__attribute__((target("ssse3"))) size_t EncodeBlocks(const BYTE* data, size_t size, char* out) noexcept {
    size_t done = 0;
    const __m128i spread = _mm_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1);
    for (; done + 16 <= size; done += 12, out += 16) {
        __m128i in = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + done)), spread);
        __m128i high = _mm_mulhi_epu16(_mm_and_si128(in, _mm_set1_epi32(0x0FC0FC00)), _mm_set1_epi32(0x04000040));
        __m128i low = _mm_mullo_epi16(_mm_and_si128(in, _mm_set1_epi32(0x003F03F0)), _mm_set1_epi32(0x01000010));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), ToCharacters(_mm_or_si128(high, low)));
    }
    return done;
}

size_t DecodeBlocks(const unsigned char* text, size_t groups, char* out) noexcept {
    size_t done = cpu::HasAvx2() ? DecodeBlocksAvx2(text, groups, out) : 0;
    // The tail, or the valid half of 32 characters that held an invalid one.
    return done + DecodeBlocksSsse3(text + 4 * done, groups - done, out + 3 * done);
}

}  // namespace vb::base64simd
