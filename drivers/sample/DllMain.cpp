#include "CallLog.h"
#include "DriverState.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ::DisableThreadLibraryCalls(module);
        vb::sample::LogLine(L"attach");
        break;
    case DLL_PROCESS_DETACH:
        vb::sample::LogLine(L"detach");
        // reserved is null for FreeLibrary and non-null when the whole process ends.
        if (reserved)
            vb::sample::State().AbandonAll();
        else
            vb::sample::State().DisableAll();
        break;
    default:
        break;
    }
    return TRUE;
}
