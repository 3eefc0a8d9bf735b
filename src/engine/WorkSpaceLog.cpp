// The run log and the hook library's notifications.
#include <cwchar>

#include "HookLibrary.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

std::wstring TimeStamp() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t text[16];
    std::swprintf(text, 16, L"%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    return text;
}

LRESULT TextLength(HWND pane) { return ::SendMessageW(pane, WM_GETTEXTLENGTH, 0, 0); }

}  // namespace

void CWorkSpace::SetLogWindow(HWND window) {
    logWindow_ = window;
    // An edit control takes 30,000 characters unless told otherwise, and then drops every
    // later line without a word: a long run would lose its closing lines.
    if (window && ::IsWindow(window)) ::SendMessageW(window, EM_SETLIMITTEXT, 0, 0);
}

BOOL CWorkSpace::Log(const std::wstring& text) {
    if (!logWindow_ || !::IsWindow(logWindow_)) return FALSE;
    // Each CR LF pair in front of the text becomes an empty line before the time stamp.
    size_t skipped = text.find_first_not_of(L"\r\n");
    if (skipped == std::wstring::npos) skipped = text.size();
    std::wstring line;
    for (size_t pair = 0; pair < skipped / 2; ++pair) line += L"\r\n";
    line += TimeStamp() + L"   " + text.substr(skipped);

    LRESULT lines = ::SendMessageW(logWindow_, EM_GETLINECOUNT, 0, 0);
    LRESULT end = ::SendMessageW(logWindow_, EM_LINEINDEX, static_cast<WPARAM>(lines > 0 ? lines - 1 : 0), 0);
    LRESULT before = TextLength(logWindow_);
    ::SendMessageW(logWindow_, EM_SETSEL, static_cast<WPARAM>(end), end);
    ::SendMessageW(logWindow_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
    ::SendMessageW(logWindow_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r\n"));
    // The pane reports nothing when it refuses text; only a text that grew was written.
    return TextLength(logWindow_) >= before + static_cast<LRESULT>(line.size() + 2) ? TRUE : FALSE;
}

BOOL CWorkSpace::LogError(const std::wstring& text) { return Log(vb::FormatTemplate(L"\r\n# ERROR '%s'", {text})); }

BOOL CWorkSpace::OnHookNotify(WPARAM code, LPARAM) {
    wchar_t buffer[kLatchwireTextSize] = {};
    LatchwireLastText(buffer, kLatchwireTextSize);
    buffer[kLatchwireTextSize - 1] = L'\0';
    const wchar_t* pattern = nullptr;
    switch (code) {
        case kLatchwireInjected:
            pattern = L">> Injected process [%s].";
            break;
        case kLatchwireSubstituted:
            pattern = L">> Substitued DLL [%s].";
            break;
        case kLatchwireFileCreated:
            AddHookedFile(buffer);
            pattern = L">> CreateFile: '%s'.";
            break;
        case kLatchwireInfo:
            pattern = L">> Info: '%s'.";
            break;
        default:
            return FALSE;
    }
    return Log(vb::FormatTemplate(pattern, {buffer}));
}

// The print file is stored under its own key, and a file reported twice is stored once.
void CWorkSpace::AddHookedFile(const std::wstring& path) {
    if (path.empty() || vb::EqualsNoCase(path, PrintFilePath()) || vb::EqualsNoCase(path, driver_.OutputFile())) {
        return;
    }
    if (!ContainsPath(hookedFiles_, path)) hookedFiles_.push_back(path);
}
