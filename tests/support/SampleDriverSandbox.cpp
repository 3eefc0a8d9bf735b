#include "SampleDriverSandbox.h"

#include <windows.h>

#include <sstream>

namespace vb::test {

SampleDriverSandbox::SampleDriverSandbox()
    : logPath_(folder_ / L"calls.log"), logSwitch_(L"VB_SAMPLE_DRIVER_LOG", logPath_) {}

std::wstring SampleDriverSandbox::AddDriver(const std::wstring& fileName, const std::wstring& build) {
    std::wstring target = folder_ / fileName;
    ::CopyFileW((BinDir() + build).c_str(), target.c_str(), FALSE);
    return target;
}

std::vector<std::string> SampleDriverSandbox::Calls() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadFileBytes(logPath_));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

void SampleDriverSandbox::ClearCalls() const { ::DeleteFileW(logPath_.c_str()); }

}  // namespace vb::test
