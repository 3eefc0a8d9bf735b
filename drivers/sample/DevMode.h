#pragma once
// The devmode the driver hands out for a model: its defaults before the bench sets up a page.
#include "ModelTraits.h"

#include <windows.h>

#include <string_view>

namespace vb::sample {

// Fills all devmode::kSize bytes of `devmode`.
void FillDevMode(BYTE* devmode, std::wstring_view model, const ModelTraits& traits);

}  // namespace vb::sample
