#pragma once
#include <windows.h>

#include <string>

// How the driver wrapper reports to its owner (the engine) and asks it for what only the owner
// knows. The wrapper does not own its handler.
class CDriverHandler {
public:
    // Print event codes.
    static constexpr int kJobStarted = 0;
    static constexpr int kJobEnded = 1;
    static constexpr int kHookSwitch = 2;

    virtual ~CDriverHandler() = default;

    virtual BOOL OnPrintEvent(int code, const std::wstring& text, const std::wstring& extra) = 0;
    virtual std::wstring GetModelCatalog(const std::wstring& model) = 0;
    virtual BOOL OpenPipe(const std::wstring& pipeName) = 0;
    virtual BOOL IsDirectPrintMode() = 0;
};
