#pragma once
#include <windows.h>
#include <ole2.h>

namespace vb {

// OLE for the calling thread for as long as the object lives. Only a successful start is
// balanced: a failed one must not end what someone else started.
class OleSession {
public:
    OleSession() noexcept : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~OleSession() {
        if (initialised_) ::OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    bool Initialised() const noexcept { return initialised_; }

private:
    bool initialised_;
};

}  // namespace vb
