// The entry points that open and close a document and its pages, and the set-up dialog.
#include "CallLog.h"
#include "DriverState.h"
#include "Exports.h"
#include "OutputVariant.h"
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
        instance.print.pages.StartDocument(output, instance.traits.fileList);
        return instance.print.StartDocument(name, output, instance.traits.dpi) &&
               vb::sample::WriteVariantCommand(instance);
    });
}

LONG WINAPI D_EndDoc(DRIVERHANDLE h) {
    LogCall(__func__, h);
    return PrintCommand(h, [](Instance& instance) {
        // END DOC belongs to no page, and a print file that lists the pages takes no command.
        instance.print.pages.EndPage();
        const bool ended = instance.print.EndDocument();
        instance.print.pages.EndDocument();
        return ended;
    });
}

LONG WINAPI D_StartMultiplePage(DRIVERHANDLE h) {
    LogCall(__func__, h);
    return PrintCommand(h, [](Instance& instance) {
        return instance.print.pages.StartPage() && instance.print.file.Command(L"PAGE");
    });
}

LONG WINAPI D_EndMultiplePage(DRIVERHANDLE h) {
    LogCall(__func__, h);
    return PrintCommand(h, [](Instance& instance) {
        const bool written = instance.print.file.Command(L"END PAGE");
        instance.print.pages.EndPage();
        return written;
    });
}

// The sample printer has nothing to set up: the dialog is accepted as if shown and confirmed.
LONG WINAPI D_SetupDlgW(DRIVERHANDLE h, DWORD, HWND, BYTE*, LPCWSTR, LPCWSTR) {
    LogCall(__func__, h);
    return State().Knows(h) ? IDOK : 0;
}

}  // extern "C"
