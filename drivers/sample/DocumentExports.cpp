// The entry points that open and close a document and its pages, and the set-up dialog.
#include "CallLog.h"
#include "DriverState.h"
#include "Exports.h"
#include "PrintCall.h"

#include <cstddef>
#include <string>

using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::PrintCommand;
using vb::sample::State;

namespace {

// The document name and the output file are all the driver reads; a structure too short to
// hold both is not trusted for either.
bool HoldsNames(const DOCINFOW* info) {
    return info && info->cbSize >= 0 && static_cast<size_t>(info->cbSize) >= offsetof(DOCINFOW, lpszDatatype);
}

LONG WriteCommand(DRIVERHANDLE h, const wchar_t* command) {
    return PrintCommand(h, [&](Instance& instance) { return instance.print.file.Command(L"%ls", command); });
}

}  // namespace

extern "C" {

// A document without an output file is still a document: its commands go nowhere.
LONG WINAPI D_StartDocW(DRIVERHANDLE h, const DOCINFOW* info) {
    if (!HoldsNames(info)) {
        LogCall(__func__, h, L"0");
        return vb::sample::RefuseArgument(h);
    }
    const std::wstring name = vb::sample::ArgumentText(info->lpszDocName);
    const std::wstring output = vb::sample::ArgumentText(info->lpszOutput);
    LogCall(__func__, h, name, output);
    return PrintCommand(h, [&](Instance& instance) {
        return instance.print.StartDocument(name, output, instance.traits.dpi);
    });
}

LONG WINAPI D_EndDoc(DRIVERHANDLE h) {
    LogCall(__func__, h);
    return PrintCommand(h, [](Instance& instance) { return instance.print.EndDocument(); });
}

LONG WINAPI D_StartMultiplePage(DRIVERHANDLE h) {
    LogCall(__func__, h);
    return WriteCommand(h, L"PAGE");
}

LONG WINAPI D_EndMultiplePage(DRIVERHANDLE h) {
    LogCall(__func__, h);
    return WriteCommand(h, L"END PAGE");
}

// The sample printer has nothing to set up: the dialog is accepted as if shown and confirmed.
LONG WINAPI D_SetupDlgW(DRIVERHANDLE h, DWORD, HWND, BYTE*, LPCWSTR, LPCWSTR) {
    LogCall(__func__, h);
    return State().Knows(h) ? IDOK : 0;
}

}  // extern "C"
