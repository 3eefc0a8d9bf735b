#include "DriverState.h"

#include "DriverErrors.h"

#include <utility>

namespace vb::sample {

namespace {
// Built before DllMain runs and destroyed after its detach, so every entry point can use it.
DriverState theState;
}  // namespace

DRIVERHANDLE DriverState::Enable(std::wstring model) {
    std::lock_guard<std::mutex> lock(mutex_);
    DRIVERHANDLE h = nextHandle_++;
    instances_[h].model = std::move(model);
    return h;
}

bool DriverState::Disable(DRIVERHANDLE h) {
    decltype(instances_)::node_type ended;  // destroyed, and its object released, after unlocking
    std::lock_guard<std::mutex> lock(mutex_);
    ended = instances_.extract(h);
    if (ended.empty()) lastError_ = kUnknownHandle;
    return !ended.empty();
}

bool DriverState::SetWindow(DRIVERHANDLE h, HWND Instance::*slot, HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = instances_.find(h);
    if (found == instances_.end()) {
        lastError_ = kUnknownHandle;
        return false;
    }
    found->second.*slot = window;
    return true;
}

bool DriverState::ExchangeRfidObject(DRIVERHANDLE h, ComPtr<IDispatch> object) {
    // Declared before the lock so it is released after the lock is dropped.
    ComPtr<IDispatch> previous = std::move(object);
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = instances_.find(h);
    if (found == instances_.end()) {
        lastError_ = kUnknownHandle;
        return false;
    }
    found->second.rfidObject.Swap(previous);
    return true;
}

LONG DriverState::LastError() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastError_;
}

void DriverState::Fail(LONG error) {
    std::lock_guard<std::mutex> lock(mutex_);
    lastError_ = error;
}

void DriverState::DisableAll() {
    std::map<DRIVERHANDLE, Instance> ended;
    std::lock_guard<std::mutex> lock(mutex_);
    ended.swap(instances_);
}

void DriverState::AbandonAll() noexcept {
    for (auto& entry : instances_) entry.second.rfidObject.Detach();
}

DriverState& State() { return theState; }

}  // namespace vb::sample
