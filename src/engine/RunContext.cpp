#include "RunContext.h"

#include "DateText.h"
#include "SystemRunContextSources.h"
#include "UpperCase.h"

namespace {

// The texts were kept in fixed buffers of 260 characters; stored rows never held more.
constexpr size_t kTextLimit = 259;

std::wstring Limited(std::wstring text) {
    if (text.size() > kTextLimit) text.resize(kTextLimit);
    return text;
}

DWORD Difference(SIZE_T now, SIZE_T before) { return static_cast<DWORD>(now - before); }

}  // namespace

CRunContext::CRunContext(RunContextSources* sources)
    : ownSources_(sources ? nullptr : std::make_unique<SystemRunContextSources>()),
      sources_(sources ? sources : ownSources_.get()) {
    snapshot_.memory.cb = kRecordSize;
    frequency_ = sources_->Frequency();
    jobStart_ = sources_->Counter();
    userName_ = Limited(vb::ToUpperAscii(sources_->UserName()));
    system_ = Limited(DescribeSystem());
}

std::wstring CRunContext::DescribeSystem() {
    std::optional<std::wstring> productName;
    std::optional<std::wstring> currentBuild;
    // Stored rows carry this text as it always was, misspelling included.
    if (!sources_->ReadSystemVersion(productName, currentBuild)) return L"Unkonown";
    std::wstring description;
    if (productName) {
        description = *productName + (sources_->NativeProcessorArchitecture() == PROCESSOR_ARCHITECTURE_AMD64
                                          ? L" (x64)"
                                          : L" (Win32)");
    }
    if (currentBuild) description += L", build " + *currentBuild;
    return description;
}

void CRunContext::StartJobClock() { jobStart_ = sources_->Counter(); }

LONGLONG CRunContext::GetElapsedMs() const {
    LONGLONG ticks = sources_->Counter() - jobStart_;
    if (frequency_ <= 0 || ticks <= 0) return 0;
    // Whole seconds first, so a long-running program cannot overflow ticks * 1000000; the
    // result is the same as ((ticks * 1000000 / frequency) / 1000).
    return (ticks / frequency_) * 1000 + (ticks % frequency_) * 1000 / frequency_;
}

void CRunContext::TakeSnapshot() {
    snapshot_ = RunResourceRecord{};
    snapshot_.memory.cb = kRecordSize;
    sources_->QueryMemoryCounters(snapshot_);
    // The system writes the size of what it filled; the record keeps its own size.
    snapshot_.memory.cb = kRecordSize;
    snapshot_.gdiObjects = sources_->GuiObjectCount(GR_GDIOBJECTS);
    snapshot_.userObjects = sources_->GuiObjectCount(GR_USEROBJECTS);
}

void CRunContext::GetResourceDelta(RunResourceRecord& out) {
    RunResourceRecord previous = snapshot_;
    TakeSnapshot();
    out = previous;
    out.memory.WorkingSetSize = Difference(snapshot_.memory.WorkingSetSize, previous.memory.WorkingSetSize);
    out.memory.PagefileUsage = Difference(snapshot_.memory.PagefileUsage, previous.memory.PagefileUsage);
    out.memory.PrivateUsage = Difference(snapshot_.memory.PrivateUsage, previous.memory.PrivateUsage);
    out.gdiObjects = snapshot_.gdiObjects - previous.gdiObjects;
    out.userObjects = snapshot_.userObjects - previous.userObjects;
}

std::wstring FormatCurrentDateTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return vb::FormatDateTime(now);
}
