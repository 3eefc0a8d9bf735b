#pragma once
#include "RunContextSources.h"

// The running system's counts, registry and clock.
class SystemRunContextSources : public RunContextSources {
public:
    bool QueryMemoryCounters(RunResourceRecord& record) override;
    DWORD GuiObjectCount(DWORD which) override;
    bool ReadSystemVersion(std::optional<std::wstring>& productName,
                           std::optional<std::wstring>& currentBuild) override;
    WORD NativeProcessorArchitecture() override;
    std::wstring UserName() override;
    LONGLONG Counter() override;
    LONGLONG Frequency() override;
};
