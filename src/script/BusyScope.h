#pragma once
#include <windows.h>

// Sets the facade's busy flag for one operation and puts back what it was, also when the
// operation ends early.
class BusyScope {
public:
    explicit BusyScope(BOOL& flag) noexcept : flag_(flag), saved_(flag) { flag_ = TRUE; }
    ~BusyScope() { flag_ = saved_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BOOL& flag_;
    BOOL saved_;
};
