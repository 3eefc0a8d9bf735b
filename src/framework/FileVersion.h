#pragma once
#include <optional>
#include <string>

namespace vb {

// "major.minor.build.revision" from a file's version resource; nothing when it has none.
std::optional<std::wstring> ReadFileVersionText(const std::wstring& path);

}  // namespace vb
