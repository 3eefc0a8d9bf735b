#pragma once
#include <windows.h>

namespace vb {

// A CRITICAL_SECTION may not move once initialised, hence an owner that cannot be copied.
class CriticalSection {
public:
    CriticalSection() noexcept { ::InitializeCriticalSection(&section_); }
    ~CriticalSection() { ::DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() noexcept { ::EnterCriticalSection(&section_); }
    void Leave() noexcept { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class SectionGuard {
public:
    explicit SectionGuard(CriticalSection& section) noexcept : section_(section) { section_.Enter(); }
    ~SectionGuard() { section_.Leave(); }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;

private:
    CriticalSection& section_;
};

}  // namespace vb
