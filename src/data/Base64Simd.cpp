#include "Base64Simd.h"

#include <immintrin.h>

// The technique is the well-known one for SSSE3 (byte shuffles to spread 3 bytes over 4 lanes,
// multiplies to shift the 6-bit fields into place, compares to map them to the alphabet).

namespace vb::base64simd {

bool Available() noexcept {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return available;
}

namespace {

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

__attribute__((target("ssse3"))) __m128i InRange(__m128i c, char low, char high) {
    return _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8(static_cast<char>(low - 1))),
                         _mm_cmplt_epi8(c, _mm_set1_epi8(static_cast<char>(high + 1))));
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

__attribute__((target("ssse3"))) size_t DecodeBlocks(const unsigned char* text, size_t groups, char* out) noexcept {
    size_t done = 0;
    const __m128i gather = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    for (; done + 4 <= groups; done += 4, text += 16, out += 12) {
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
        // Bytes above 127 are negative here and fall in no range.
        __m128i upper = InRange(c, 'A', 'Z');
        __m128i lower = InRange(c, 'a', 'z');
        __m128i digit = InRange(c, '0', '9');
        __m128i plus = _mm_cmpeq_epi8(c, _mm_set1_epi8('+'));
        __m128i slash = _mm_cmpeq_epi8(c, _mm_set1_epi8('/'));
        __m128i valid = _mm_or_si128(_mm_or_si128(upper, lower), _mm_or_si128(digit, _mm_or_si128(plus, slash)));
        if (_mm_movemask_epi8(valid) != 0xFFFF) break;
        __m128i shift = _mm_or_si128(
            _mm_or_si128(_mm_and_si128(upper, _mm_set1_epi8(-65)), _mm_and_si128(lower, _mm_set1_epi8(-71))),
            _mm_or_si128(_mm_and_si128(digit, _mm_set1_epi8(4)),
                         _mm_or_si128(_mm_and_si128(plus, _mm_set1_epi8(19)), _mm_and_si128(slash, _mm_set1_epi8(16)))));
        __m128i sextets = _mm_add_epi8(c, shift);
        // a*64 + b in each 16-bit half, then (ab)*4096 + (cd) in each 32-bit lane.
        __m128i pairs = _mm_maddubs_epi16(sextets, _mm_set1_epi32(0x01400140));
        __m128i lanes = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(lanes, gather));
    }
    return done;
}

}  // namespace vb::base64simd
