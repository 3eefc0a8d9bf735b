#include "DriverState.h"

#include <utility>

namespace vb::sample {

namespace {
// Built before DllMain runs and destroyed after its detach, so every entry point can use it.
DriverState theState;
}  // namespace

void Instance::Abandon() noexcept {
    callback.Detach();
    rfidObject.Detach();
    rfidTaken.Detach();
    // A stored value may hold an object or a text; neither may be freed now.
    for (auto& parameter : parameters) parameter.second.Detach();
}

DRIVERHANDLE DriverState::Enable(std::wstring model) {
    ModelTraits traits = ParseModel(model);
    std::lock_guard<std::mutex> lock(mutex_);
    DRIVERHANDLE h = nextHandle_++;
    Instance& instance = instances_[h];
    instance.model = std::move(model);
    instance.traits = traits;
    return h;
}

bool DriverState::Disable(DRIVERHANDLE h) {
    decltype(instances_)::node_type ended;  // destroyed, and its objects released, after unlocking
    std::lock_guard<std::mutex> lock(mutex_);
    ended = instances_.extract(h);
    if (ended.empty()) lastError_ = kUnknownHandle;
    return !ended.empty();
}

bool DriverState::Knows(DRIVERHANDLE h) {
    return Use(h, [](Instance&) {});
}

bool DriverState::ModelFor(DRIVERHANDLE h, const wchar_t* named, std::wstring& model, ModelTraits& traits) {
    if (!Use(h, [&](Instance& instance) {
            model = instance.model;
            traits = instance.traits;
        }))
        return false;
    if (named && *named) {
        model = named;
        traits = ParseModel(model);
    }
    return true;
}

bool DriverState::SetWindow(DRIVERHANDLE h, HWND Instance::*slot, HWND window) {
    return Use(h, [&](Instance& instance) { instance.*slot = window; });
}

bool DriverState::ExchangeObject(DRIVERHANDLE h, ComPtr<IDispatch> Instance::*slot, ComPtr<IDispatch> object) {
    // Declared before the lock is taken, so it is released after the lock is dropped; when the
    // handle is unknown the object given is let go the same way.
    ComPtr<IDispatch> previous = std::move(object);
    return Use(h, [&](Instance& instance) { (instance.*slot).Swap(previous); });
}

bool DriverState::CopyObject(DRIVERHANDLE h, ComPtr<IDispatch> Instance::*slot, ComPtr<IDispatch>& object) {
    ComPtr<IDispatch> copy;
    bool found = Use(h, [&](Instance& instance) { copy = instance.*slot; });
    object = std::move(copy);
    return found;
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
    for (auto& entry : instances_) entry.second.Abandon();
}

DriverState& State() { return theState; }

}  // namespace vb::sample
