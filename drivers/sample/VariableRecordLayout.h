#pragma once
// The template variable record the bench hands to D_SetVarInfo and fills in for GetVarInfo.
#include <cstddef>

namespace vb::sample::variable {

constexpr size_t kRecordSize = 10008;
constexpr size_t kType = 0;          // unsigned 16-bit
constexpr size_t kMaxLength = 4;     // unsigned 32-bit
constexpr size_t kName = 12;         // zero-terminated byte text
constexpr size_t kNameBytes = 1024;
constexpr size_t kValue = 1036;      // zero-terminated UTF-8
constexpr size_t kValueBytes = 1024;
constexpr size_t kPrefix = 2060;     // zero-terminated UTF-8
constexpr size_t kPrefixBytes = 1024;
constexpr size_t kSuffix = 3084;     // zero-terminated UTF-8
constexpr size_t kSuffixBytes = 1024;

}  // namespace vb::sample::variable
