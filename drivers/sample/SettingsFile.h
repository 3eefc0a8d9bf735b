#pragma once
// The settings file D_SaveDMW writes: a small INI file a tester can read, one section per model.
//
//   [<model>]
//   PaperWidth=<dmPaperWidth>
//   PaperLength=<dmPaperLength>
//   LabelWidth=<32-bit at 328>
//   LabelHeight=<32-bit at 332>
//   Copies=<32-bit at 160>
#include <windows.h>

#include <string>
#include <string_view>

namespace vb::sample {

// False when the file cannot be written.
bool SaveSettings(const std::wstring& path, std::wstring_view model, const BYTE* devmode);

}  // namespace vb::sample
