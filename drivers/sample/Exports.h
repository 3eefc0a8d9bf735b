#pragma once
// Declares every entry point exactly as the bench binds it. The definitions in the *Exports.cpp
// files must agree with these C declarations or the build fails, and the checks below tie each
// one to the pointer type the bench casts GetProcAddress to.
#include "DriverApi.h"

#include <type_traits>

// No dllexport here: the module definition file of each build decides what is exported, so a
// build can leave entry points out.
#define VB_DECLARE_SAMPLE_ENTRY_POINT(name, result, params) extern "C" result WINAPI name params;
VB_DRIVER_ENTRY_POINTS(VB_DECLARE_SAMPLE_ENTRY_POINT)
#undef VB_DECLARE_SAMPLE_ENTRY_POINT

#define VB_CHECK_SAMPLE_ENTRY_POINT(name, result, params)                                           \
    static_assert(std::is_same_v<decltype(&name), PFN_##name>, #name " does not match its PFN type");
VB_DRIVER_ENTRY_POINTS(VB_CHECK_SAMPLE_ENTRY_POINT)
#undef VB_CHECK_SAMPLE_ENTRY_POINT
