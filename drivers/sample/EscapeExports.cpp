// D_EscapeW: the private escapes. The driver keeps the bench's callback object (0x203F); two
// escapes of its own (0x7001, 0x7002) call that object back so tests can run the path end to
// end. The end of a printed object (0x202A) and the source of an image (0x2012) go to the print
// file. Every other escape is accepted as it comes.
#include "CallLog.h"
#include "CallbackEscapes.h"
#include "DriverState.h"
#include "Exports.h"
#include "PrintCall.h"

#include <string>

using vb::ComPtr;
using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::PrintFile;
using vb::sample::State;

namespace {

constexpr LONG kEscapeSetCallback = 0x203F;
constexpr LONG kEscapeLookUpVariable = 0x7001;
constexpr LONG kEscapeReadFormat = 0x7002;
constexpr LONG kEscapeObjectEnd = 0x202A;
constexpr LONG kEscapeImageSource = 0x2012;
constexpr LONG kNoCallbackObject = -1;

// The callback object of the instance, or why there is none to call.
bool CallbackOf(DRIVERHANDLE h, ComPtr<IDispatch>& callback, LONG& refusal) {
    refusal = 0;
    if (!State().CopyObject(h, &Instance::callback, callback)) return false;
    if (!callback) {
        refusal = kNoCallbackObject;
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

LONG WINAPI D_EscapeW(DRIVERHANDLE h, LONG code, DWORD value, const void* input, void* output) {
    // Every escape that carries an input carries a wide text.
    const wchar_t* text = static_cast<const wchar_t*>(input);
    LogCall(__func__, h, vb::sample::HexText(static_cast<unsigned long>(code)), value, text ? text : L"0",
            output ? L"object" : L"0");

    ComPtr<IDispatch> callback;
    LONG refusal = 0;
    switch (code) {
    case kEscapeSetCallback:
        // The object comes with the bench's reference, which is now the driver's: adopted as
        // is, and let go even when the handle turns out to be unknown.
        return State().ExchangeObject(h, &Instance::callback,
                                      ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(output)))
                   ? 1
                   : 0;
    case kEscapeLookUpVariable:
        if (!CallbackOf(h, callback, refusal)) return refusal;
        if (!text) {
            State().Fail(vb::sample::kBadArgument);
            return 0;
        }
        return vb::sample::LookUpVariable(callback.Get(), text);
    case kEscapeReadFormat:
        if (!CallbackOf(h, callback, refusal)) return refusal;
        return vb::sample::ReadFormat(callback.Get());
    case kEscapeObjectEnd:
        // An object without a name has no end to mark.
        return vb::sample::PrintCommand(h, [&](Instance& instance) {
            return !text || !*text || instance.print.file.Command(L"END %ls", PrintFile::Text(text).c_str());
        });
    case kEscapeImageSource:
        return vb::sample::PrintCommand(h, [&](Instance& instance) {
            return instance.print.file.Command(L"SOURCE \"%ls\"", PrintFile::Text(text ? text : L"").c_str());
        });
    default:
        return State().Knows(h) ? 1 : 0;
    }
}

}  // extern "C"
