// The RFID entry points. An RFID model hands out its field names and one RFID object of the
// driver's own per instance; the bench asks the driver to hold that object while it keeps it.
#include "CallLog.h"
#include "DriverState.h"
#include "Exports.h"
#include "RfidObject.h"

#include <string>

using vb::ComPtr;
using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::ModelTraits;
using vb::sample::RfidObject;
using vb::sample::State;

namespace {

constexpr LONG kRfidTaken = 0;
constexpr LONG kRfidReleased = 1;

std::wstring RfidFlagText(LONG released) {
    if (released == kRfidTaken) return L"taken";
    if (released == kRfidReleased) return L"released";
    return vb::sample::ArgumentText(released);
}

}  // namespace

extern "C" {

// The caller owns the text it gets.
LONG WINAPI D_RFIDGetNames(DRIVERHANDLE h, BSTR* names) {
    LogCall(__func__, h);
    std::wstring model;
    ModelTraits traits;
    if (!State().ModelFor(h, nullptr, model, traits) || !traits.rfid) return 0;
    if (!names) {
        State().Fail(vb::sample::kBadArgument);
        return 0;
    }
    BSTR text = ::SysAllocString(RfidObject::kNames);
    if (!text) {
        State().Fail(vb::sample::kOutOfMemory);
        return 0;
    }
    *names = text;
    return RfidObject::kNameCount;
}

// The pointer comes without a reference of the caller's own: the driver keeps the object alive
// until the instance ends, and the bench asks for a reference with D_RFIDUpdateInterface.
IDispatch* WINAPI D_RFIDGetObject(DRIVERHANDLE h, VARIANT) {
    LogCall(__func__, h);
    IDispatch* object = nullptr;
    bool outOfMemory = false;
    State().Use(h, [&](Instance& instance) {
        if (!instance.traits.rfid) return;
        if (!instance.rfidObject) instance.rfidObject = RfidObject::Create();
        object = instance.rfidObject.Get();
        outOfMemory = !object;
    });
    if (outOfMemory) State().Fail(vb::sample::kOutOfMemory);
    return object;
}

// Taken: the driver holds a reference of its own until released, disabled or unloaded.
void WINAPI D_RFIDUpdateInterface(DRIVERHANDLE h, IDispatch* object, LONG released) {
    LogCall(__func__, h, RfidFlagText(released));
    if (released == kRfidTaken && object) {
        State().ExchangeObject(h, &Instance::rfidTaken, ComPtr<IDispatch>(object));
    } else if (released == kRfidReleased) {
        State().ExchangeObject(h, &Instance::rfidTaken, nullptr);
    } else {
        State().Fail(vb::sample::kBadArgument);
    }
}

}  // extern "C"
