#include "DriverEntryPoints.h"

int DriverEntryPoints::Bind(HMODULE module) noexcept {
    int found = 0;
#define VB_BIND_ENTRY_POINT(name, result, params)                                      \
    name = reinterpret_cast<PFN_##name>(reinterpret_cast<void*>(::GetProcAddress(module, #name))); \
    found += name != nullptr;
    VB_DRIVER_ENTRY_POINTS(VB_BIND_ENTRY_POINT)
#undef VB_BIND_ENTRY_POINT
    return found;
}
