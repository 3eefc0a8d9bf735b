#include "BenchBuildRun.h"

namespace bench {

BuildRunSetup::BuildRunSetup(const std::wstring& folder, const wchar_t* scriptName, const std::wstring& scriptText)
    : parent_{::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr)},
      pane_(::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 0, 0, 100,
                              100, parent_.handle, nullptr, nullptr, nullptr)),
      workspace_(folder + L"Vellbrook.exe") {
    workspace_.SetDriverName(L"FAM01 (Bench)");
    workspace_.SetPrnFolder(folder);
    workspace_.SetPrnFolderRef(folder);
    CScriptItem job(1);
    job.NAME = scriptName;
    job.DATA = scriptText;
    workspace_.SaveScript(job, 1);
    scripts_ = {CScriptItem(0), job};
    workspace_.LoadScript(scripts_[0]);
}

}  // namespace bench
