#pragma once
// The open instances of this library and its last error. One table per loaded library; handles
// count up from 1 and are never reused while the library stays loaded.
#include "DriverApi.h"
#include "DriverErrors.h"
#include "ModelTraits.h"
#include "PrintState.h"

#include "ComPtr.h"
#include "Variant.h"

#include <map>
#include <mutex>
#include <string>

namespace vb::sample {

// What the driver keeps for one D_EnableDriverW.
struct Instance {
    std::wstring model;
    ModelTraits traits;
    HWND messageBoxWindow = nullptr;
    HWND appEventWindow = nullptr;
    HWND appEventWindowMT = nullptr;
    HWND parentWindow = nullptr;
    // The bench's callback object (escape 0x203F); the bench hands over its reference with it.
    ComPtr<IDispatch> callback;
    // The driver's own RFID object, made on first request; the one reference is the driver's.
    ComPtr<IDispatch> rfidObject;
    // The reference the bench asked the driver to hold (D_RFIDUpdateInterface, taken).
    ComPtr<IDispatch> rfidTaken;
    // D_PrinterParameter values by lower-cased name.
    std::map<std::wstring, vb::Variant> parameters;
    // The open document, the devmode and the selections the print file is made from.
    PrintState print;

    // Lets every reference go without calling its owner (see DriverState::AbandonAll).
    void Abandon() noexcept;
};

// Every member that fails sets the last error and returns 0/false.
class DriverState {
public:
    DriverState() = default;
    DriverState(const DriverState&) = delete;
    DriverState& operator=(const DriverState&) = delete;

    DRIVERHANDLE Enable(std::wstring model);
    bool Disable(DRIVERHANDLE h);

    // Runs action(Instance&) under the lock; false (unknown handle) when h names no instance.
    // The action must not call out of the driver: the bench may call straight back in.
    template <class Action>
    bool Use(DRIVERHANDLE h, Action&& action) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = instances_.find(h);
        if (found == instances_.end()) {
            lastError_ = kUnknownHandle;
            return false;
        }
        action(found->second);
        return true;
    }

    // Whether h names an open instance.
    bool Knows(DRIVERHANDLE h);

    // The model an entry point works for: the one it names (when not empty), else the instance's.
    bool ModelFor(DRIVERHANDLE h, const wchar_t* named, std::wstring& model, ModelTraits& traits);

    // slot is one of the Instance window members.
    bool SetWindow(DRIVERHANDLE h, HWND Instance::*slot, HWND window);

    // Replaces the object in one of the Instance object members (null lets it go). The one it
    // held is released after the lock is dropped, since its Release may call back into the driver.
    bool ExchangeObject(DRIVERHANDLE h, ComPtr<IDispatch> Instance::*slot, ComPtr<IDispatch> object);

    // A reference of its own to the object in the slot, for calling it outside the lock.
    bool CopyObject(DRIVERHANDLE h, ComPtr<IDispatch> Instance::*slot, ComPtr<IDispatch>& object);

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
