#include "Resources.h"

#include "ResourceIds.h"
#include "Strings.h"

namespace vb {

namespace {

HWND g_mainWindow = nullptr;
MessageBoxCapture* g_capture = nullptr;

}  // namespace

std::wstring LoadResString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadString hands out a pointer into the resource itself.
    int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring FormatResString(UINT id, std::initializer_list<std::wstring_view> args) {
    return FormatTemplate(LoadResString(id), args);
}

HWND MainWindow() noexcept { return g_mainWindow; }
void SetMainWindow(HWND window) noexcept { g_mainWindow = window; }

int ShowMessageBox(const std::wstring& text, UINT flags, const std::wstring& caption) {
    std::wstring title = caption.empty() ? LoadResString(IDS_APP_TITLE) : caption;
    if (g_capture) {
        g_capture->boxes_.push_back({title, text, flags});
        return g_capture->NextAnswer();
    }
    return ::MessageBoxW(g_mainWindow, text.c_str(), title.c_str(), flags);
}

MessageBoxCapture::MessageBoxCapture(int answer) : answer_(answer), previous_(g_capture) { g_capture = this; }

MessageBoxCapture::~MessageBoxCapture() { g_capture = previous_; }

int MessageBoxCapture::NextAnswer() {
    if (queued_.empty()) return answer_;
    const int answer = queued_.front();
    queued_.pop_front();
    return answer;
}

std::wstring SystemMessageText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring message = length && buffer ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    return message;
}

std::wstring FormatWin32Error(DWORD code) {
    // Taken before anything here can change it.
    if (code == 0) code = ::GetLastError();
    // HRESULTs read as the negative numbers their authors know them by.
    return std::to_wstring(static_cast<LONG>(code)) + L": " + SystemMessageText(code);
}

}  // namespace vb
