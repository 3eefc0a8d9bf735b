#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "OutputKey.h"
#include "RunContextSources.h"

// The engine's record of the current run and print job: the key of the item being produced,
// who runs it on which system, when the job started and what the process held at that moment.
class CRunContext {
public:
    // Reads the system through `sources` when given (it must outlive the context), else
    // through the running system.
    explicit CRunContext(RunContextSources* sources = nullptr);
    CRunContext(const CRunContext&) = delete;
    CRunContext& operator=(const CRunContext&) = delete;

    COutputKey key;

    const std::wstring& UserName() const noexcept { return userName_; }
    const std::wstring& SystemDescription() const noexcept { return system_; }
    LONGLONG JobStart() const noexcept { return jobStart_; }
    LONGLONG Frequency() const noexcept { return frequency_; }
    const RunResourceRecord& Snapshot() const noexcept { return snapshot_; }

    // The job's clock starts now.
    void StartJobClock();
    // Whole milliseconds since the job started; 0 when the clock gives nothing usable.
    LONGLONG GetElapsedMs() const;

    void TakeSnapshot();
    // `out` = the previous snapshot, whose working set, pagefile usage, private bytes, GDI and
    // USER counts become the change to a new snapshot (32-bit, so a fall reads negative as
    // signed); the new snapshot replaces the previous one.
    void GetResourceDelta(RunResourceRecord& out);

    static constexpr DWORD kRecordSize = sizeof(RunResourceRecord);

private:
    std::wstring DescribeSystem();

    std::unique_ptr<RunContextSources> ownSources_;
    RunContextSources* sources_;
    std::wstring userName_;
    std::wstring system_;
    LONGLONG jobStart_ = 0;
    LONGLONG frequency_ = 0;
    RunResourceRecord snapshot_{};
};

// The local time as "%04d-%02d-%02d %02d:%02d:%02d", as the store writes its date column.
std::wstring FormatCurrentDateTime();
