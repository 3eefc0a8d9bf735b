#pragma once
// The open instances of this library and its last error. One table per loaded library; handles
// count up from 1 and are never reused while the library stays loaded.
#include "DriverApi.h"

#include "ComPtr.h"

#include <map>
#include <mutex>
#include <string>

namespace vb::sample {

// What the driver keeps for one D_EnableDriverW.
struct Instance {
    std::wstring model;
    HWND messageBoxWindow = nullptr;
    HWND appEventWindow = nullptr;
    HWND appEventWindowMT = nullptr;
    ComPtr<IDispatch> rfidObject;
};

// Every member that fails sets the last error and returns 0/false.
class DriverState {
public:
    DriverState() = default;
    DriverState(const DriverState&) = delete;
    DriverState& operator=(const DriverState&) = delete;

    DRIVERHANDLE Enable(std::wstring model);
    bool Disable(DRIVERHANDLE h);

    // slot is one of the Instance window members.
    bool SetWindow(DRIVERHANDLE h, HWND Instance::*slot, HWND window);

    // Replaces the instance's object (null lets it go). The one it held is released after the
    // lock is dropped, since its Release may call back into the driver.
    bool ExchangeRfidObject(DRIVERHANDLE h, ComPtr<IDispatch> object);

    LONG LastError() const;
    void Fail(LONG error);

    // The library is being unloaded: every instance ends and its objects are released.
    void DisableAll();
    // The process is ending: other threads were stopped wherever they were, perhaps holding the
    // lock, and the objects' owners may be gone, so the references are dropped untouched.
    void AbandonAll() noexcept;

private:
    mutable std::mutex mutex_;
    std::map<DRIVERHANDLE, Instance> instances_;
    DRIVERHANDLE nextHandle_ = 1;
    LONG lastError_ = 0;
};

DriverState& State();

}  // namespace vb::sample
