#pragma once
#include <windows.h>
#include <psapi.h>

#include <optional>
#include <string>

// The 52-byte snapshot of a job's resources: the process memory counters with their size field
// set to 52, then the GDI and the USER object counts.
#pragma pack(push, 4)
struct RunResourceRecord {
    PROCESS_MEMORY_COUNTERS_EX memory;
    DWORD gdiObjects;
    DWORD userObjects;
};
#pragma pack(pop)
static_assert(sizeof(RunResourceRecord) == 52, "the snapshot record is 52 bytes");

// Where the run context reads the system from: the process's counts, the system's version key
// in the registry, and the clock. The system's own sources are SystemRunContextSources; tests
// give known values instead, since some counts are always 0 under Wine.
class RunContextSources {
public:
    virtual ~RunContextSources() = default;

    // Counts: fills the memory counters of the record (its size field says how many bytes).
    virtual bool QueryMemoryCounters(RunResourceRecord& record) = 0;
    virtual DWORD GuiObjectCount(DWORD which) = 0;  // GR_GDIOBJECTS or GR_USEROBJECTS

    // Registry: false when the version key cannot be opened; otherwise each value that could be
    // read.
    virtual bool ReadSystemVersion(std::optional<std::wstring>& productName,
                                   std::optional<std::wstring>& currentBuild) = 0;
    virtual WORD NativeProcessorArchitecture() = 0;
    virtual std::wstring UserName() = 0;

    // Clock: the performance counter and its frequency.
    virtual LONGLONG Counter() = 0;
    virtual LONGLONG Frequency() = 0;
};
