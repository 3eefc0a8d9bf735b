#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "WorkSpace.h"

namespace bench {

// A workspace in `folder` set up for Build runs of one job script with the family FAM01 driver
// found there, and a hidden log pane for the runs to write to.
class BuildRunSetup {
public:
    BuildRunSetup(const std::wstring& folder, const wchar_t* scriptName, const std::wstring& scriptText);

    CWorkSpace& Workspace() noexcept { return workspace_; }
    HWND LogPane() const noexcept { return pane_; }
    // The global script and the job script, as the main dialog hands them to a run.
    std::vector<CScriptItem>& Scripts() noexcept { return scripts_; }

private:
    // Destroyed last, after the workspace has let go of the pane.
    struct HiddenWindow {
        HWND handle;
        ~HiddenWindow() { ::DestroyWindow(handle); }
    };
    HiddenWindow parent_;
    HWND pane_;
    CWorkSpace workspace_;
    std::vector<CScriptItem> scripts_;
};

}  // namespace bench
