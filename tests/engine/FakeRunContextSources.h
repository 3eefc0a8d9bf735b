#pragma once
#include <optional>
#include <string>

#include "RunContextSources.h"

namespace vb::test {

// Known counts, registry values and clock, since under Wine the GUI counts are always 0.
class FakeSources : public RunContextSources {
public:
    bool QueryMemoryCounters(RunResourceRecord& record) override {
        record.memory.PrivateUsage = privateBytes;
        return true;
    }
    DWORD GuiObjectCount(DWORD which) override { return which == GR_GDIOBJECTS ? gdi : user; }
    bool ReadSystemVersion(std::optional<std::wstring>& product, std::optional<std::wstring>& build) override {
        product = productName;
        build = currentBuild;
        return true;
    }
    WORD NativeProcessorArchitecture() override { return architecture; }
    std::wstring UserName() override { return userName; }
    LONGLONG Counter() override { return counter; }
    LONGLONG Frequency() override { return frequency; }

    SIZE_T privateBytes = 3000;
    DWORD gdi = 40, user = 30;
    std::optional<std::wstring> productName = L"Windows 10 Pro";
    std::optional<std::wstring> currentBuild = L"19045";
    WORD architecture = PROCESSOR_ARCHITECTURE_AMD64;
    std::wstring userName = L"tester\x00e9";
    LONGLONG counter = 5000000;
    LONGLONG frequency = 10000000;
};

}  // namespace vb::test
