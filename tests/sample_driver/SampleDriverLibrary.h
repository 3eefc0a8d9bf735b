#pragma once
// One sample driver build loaded straight with LoadLibrary, its entry points bound by name, the
// way a bench without the wrapper would use it.
#include <string>

#include "DriverApi.h"
#include "UniqueHandle.h"

namespace vb::test {

class SampleDriverLibrary {
public:
    explicit SampleDriverLibrary(const std::wstring& path);

    bool IsLoaded() const noexcept { return static_cast<bool>(module_); }
    HMODULE Module() const noexcept { return module_.Get(); }
    // FreeLibrary: the driver's detach ends every instance it still has.
    void Unload();

    // Null when the build does not export it.
#define VB_SAMPLE_LIBRARY_ENTRY_POINT(name, result, params) PFN_##name name = nullptr;
    VB_DRIVER_ENTRY_POINTS(VB_SAMPLE_LIBRARY_ENTRY_POINT)
#undef VB_SAMPLE_LIBRARY_ENTRY_POINT

private:
    UniqueModule module_;
};

}  // namespace vb::test
