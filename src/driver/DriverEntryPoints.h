#pragma once
#include "DriverApi.h"

// The 53 entry points of one loaded driver library; a missing export stays null.
struct DriverEntryPoints {
#define VB_DECLARE_ENTRY_POINT(name, result, params) PFN_##name name = nullptr;
    VB_DRIVER_ENTRY_POINTS(VB_DECLARE_ENTRY_POINT)
#undef VB_DECLARE_ENTRY_POINT

    // Binds every entry point by name, in the fixed order; returns how many were found.
    int Bind(HMODULE module) noexcept;
    void Clear() noexcept { *this = DriverEntryPoints{}; }
};
