#pragma once
#include <string>
#include <vector>

#include "TestFiles.h"

namespace vb::test {

// A temporary folder holding copies of the sample driver under family file names, with the
// driver's call log switched on, and the print and settings files a run would use.
class SampleDriverSandbox {
public:
    SampleDriverSandbox();

    // Copies a driver build from the test folder (default: the full sample driver) into the
    // sandbox under `fileName` and returns its path.
    std::wstring AddDriver(const std::wstring& fileName, const std::wstring& build = L"sample_driver.dll");

    std::wstring OutputFile() const { return folder_ / L"print.txt"; }
    std::wstring SettingsFile() const { return folder_ / L"USER.INI"; }
    std::wstring Path(const std::wstring& name) const { return folder_ / name; }

    // The calls the drivers logged since the last ClearCalls, one entry a line.
    std::vector<std::string> Calls() const;
    void ClearCalls() const;

private:
    TempFolder folder_;
    std::wstring logPath_;
    ScopedEnvironment logSwitch_;
};

}  // namespace vb::test
