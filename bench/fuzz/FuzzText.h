#pragma once
#include <string>
#include <string_view>

namespace vb::fuzz {

// Texts for harnesses that read wide text: one byte per character below 0xC0, and a lead byte
// 0xC0-0xFF taking the next byte for a character from a small set of wider ones (Latin,
// Cyrillic, punctuation, box-drawing, CJK, private use, full width; never a surrogate).
std::wstring WideFromFuzz(std::string_view input);

}  // namespace vb::fuzz
