#include "ScintillaWnd.h"

#include "KeyState.h"

namespace {

// Where a printed image of the editor places its text: a little in from the client's corner.
constexpr int kPrintOffsetX = 4;
constexpr int kPrintOffsetY = 3;

}  // namespace

CScintillaWnd::~CScintillaWnd() {
    // The window first: a Scintilla window outliving its library would run freed code.
    if (HWND window = Handle()) ::DestroyWindow(window);
}

BOOL CScintillaWnd::Create(DWORD style, const RECT& rect, HWND parent, UINT id, LPCWSTR text) {
    if (Handle()) return FALSE;
    std::wstring error;
    // The reason is of no use to the tester: the dialog simply runs without an editor.
    if (!libraries_.Load(error)) return FALSE;
    HWND window = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"Scintilla", L"", style, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, parent,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                    nullptr);
    if (!window || !Attach(window)) {
        if (window) ::DestroyWindow(window);
        libraries_.Release();
        return FALSE;
    }
    direct_ = reinterpret_cast<SciFnDirect>(::SendMessageW(window, SCI_GETDIRECTFUNCTION, 0, 0));
    directPointer_ = static_cast<sptr_t>(::SendMessageW(window, SCI_GETDIRECTPOINTER, 0, 0));
    if (text && *text) ::SetWindowTextW(window, text);
    return TRUE;
}

BOOL CScintillaWnd::CreateOver(HWND placeholder) {
    HWND parent = placeholder ? ::GetParent(placeholder) : nullptr;
    if (!parent) return FALSE;
    RECT rect{};
    ::GetWindowRect(placeholder, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const DWORD keep = WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP | WS_BORDER;
    DWORD style = WS_CHILD | (static_cast<DWORD>(::GetWindowLongW(placeholder, GWL_STYLE)) & keep);
    UINT id = static_cast<UINT>(::GetDlgCtrlID(placeholder));
    if (!Create(style, rect, parent, id)) return FALSE;
    // Same place in the tab order as the placeholder had.
    ::SetWindowPos(Handle(), placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::DestroyWindow(placeholder);
    return TRUE;
}

sptr_t CScintillaWnd::Call(UINT message, uptr_t wParam, sptr_t lParam) const {
    return Handle() && direct_ ? direct_(directPointer_, message, wParam, lParam) : 0;
}

void CScintillaWnd::OnWindowDestroyed(HWND) {
    direct_ = nullptr;
    directPointer_ = 0;
    libraries_.Release();
}

void CScintillaWnd::SetEditorFocus() {
    ::SetFocus(Handle());
    Call(SCI_SETFOCUS, TRUE);
}

int CScintillaWnd::GetCurrentLine() {
    return static_cast<int>(Call(SCI_LINEFROMPOSITION, static_cast<uptr_t>(Call(SCI_GETCURRENTPOS))));
}

int CScintillaWnd::GetLineText(int line, WCHAR* buffer) {
    buffer[0] = L'\0';
    int length = static_cast<int>(Call(SCI_LINELENGTH, static_cast<uptr_t>(line)));
    if (length < 1 || length >= kLineBufferSize) return length;
    CUTF8String text;
    Call(SCI_GETLINE, static_cast<uptr_t>(line), reinterpret_cast<sptr_t>(text.Allocate(static_cast<size_t>(length))));
    text.ToWide(buffer, kLineBufferSize);
    return length;
}

void CScintillaWnd::ToggleBookmark(int line) {
    bool marked = Call(SCI_MARKERGET, static_cast<uptr_t>(line)) & 1;
    Call(marked ? SCI_MARKERDELETE : SCI_MARKERADD, static_cast<uptr_t>(line), 0);
}

void CScintillaWnd::GotoNextBookmark() {
    sptr_t line = Call(SCI_MARKERNEXT, static_cast<uptr_t>(GetCurrentLine() + 1), 1);
    if (line < 0) line = Call(SCI_MARKERNEXT, 0, 1);
    if (line >= 0) Call(SCI_GOTOLINE, static_cast<uptr_t>(line));
}

bool CScintillaWnd::PreTranslateMessage(MSG& message) {
    if (Window::PreTranslateMessage(message)) return true;
    if (message.message != WM_KEYDOWN || message.hwnd != Handle()) return false;
    const bool control = vb::IsKeyDown(VK_CONTROL);
    switch (message.wParam) {
        case VK_ESCAPE:
            // Closes an open list or tip; the dialog must not take Escape as Cancel.
            Call(SCI_SETFOCUS, FALSE);
            SetEditorFocus();
            return true;
        case 'F':
            return control;
        case VK_F2:
            if (control)
                ToggleBookmark(GetCurrentLine());
            else
                GotoNextBookmark();
            return true;
        default:
            // Page Up and Page Down included: the control's own key map pages already, and a
            // second page command here would move two pages per key.
            return false;
    }
}

LRESULT CScintillaWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETTEXTLENGTH: {
            CUTF8String text;
            ReadText(text);
            return text.ToWide(nullptr, 0);
        }
        case WM_GETTEXT:
            return OnGetText(wParam, reinterpret_cast<wchar_t*>(lParam));
        case WM_SETTEXT:
            return OnSetText(reinterpret_cast<const wchar_t*>(lParam));
        case EM_REPLACESEL: {
            // Not passed on: the control would take the UTF-16 text for UTF-8 and insert it too.
            CUTF8String text(reinterpret_cast<const wchar_t*>(lParam));
            if (lParam) Call(SCI_REPLACESEL, wParam, reinterpret_cast<sptr_t>(text.Get()));
            return 0;
        }
        case WM_CHAR: {
            // The character is in the text before completion looks at it.
            LRESULT result = Default();
            OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return result;
        }
        case WM_SETFONT: {
            LRESULT result = Default();
            OnSetFont(reinterpret_cast<HFONT>(wParam));
            return result;
        }
        case WM_PRINT: {
            LRESULT result = Default();
            PrintDocument(reinterpret_cast<HDC>(wParam));
            return result;
        }
        case WM_MOUSEWHEEL:
            CancelCallTip();
            return Default();
        case WM_KILLFOCUS:
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_RBUTTONDOWN: {
            LRESULT result = Default();
            CancelCallTip();
            return result;
        }
        default:
            return Default();
    }
}

void CScintillaWnd::CancelCallTip() {
    Call(SCI_CALLTIPCANCEL);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void CScintillaWnd::PrintDocument(HDC dc) {
    if (!dc || !::GetObjectType(dc)) return;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::OffsetRect(&client, kPrintOffsetX, kPrintOffsetY);
    // The component takes the rectangle in the device's own units.
    Sci_RangeToFormat range{};
    range.hdc = dc;
    range.hdcTarget = dc;
    range.rc = {client.left, client.top, client.right, client.bottom};
    range.rcPage = range.rc;
    range.chrg = {0, static_cast<Sci_PositionCR>(Call(SCI_GETLENGTH))};
    Call(SCI_FORMATRANGE, TRUE, reinterpret_cast<sptr_t>(&range));
    // Lets go of what formatting keeps between calls.
    Call(SCI_FORMATRANGE, FALSE, 0);
}

void CScintillaWnd::ReadText(CUTF8String& text) const {
    auto length = static_cast<size_t>(Call(SCI_GETLENGTH));
    Call(SCI_GETTEXT, length + 1, reinterpret_cast<sptr_t>(text.Allocate(length)));
}

LRESULT CScintillaWnd::OnGetText(WPARAM capacity, wchar_t* buffer) {
    if (!buffer) return 0;
    CUTF8String text;
    ReadText(text);
    return text.ToWide(buffer, static_cast<int>(capacity));
}

LRESULT CScintillaWnd::OnSetText(const wchar_t* text) {
    CUTF8String utf8(text);
    LRESULT result = Call(SCI_SETTEXT, 0, reinterpret_cast<sptr_t>(utf8.Get()));
    // A loaded script is a fresh document: nothing to undo, nothing modified.
    Call(SCI_SETUNDOCOLLECTION, 1);
    Call(SCI_EMPTYUNDOBUFFER);
    Call(SCI_SETSAVEPOINT);
    Call(SCI_GOTOPOS, 0);
    return result;
}

void CScintillaWnd::OnSetFont(HFONT font) {
    LOGFONTA logFont{};
    if (!font || !::GetObjectA(font, sizeof(logFont), &logFont)) return;
    int dpi = 96;
    {
        vb::ScopedWindowDC dc(Handle());
        if (dc.Get()) dpi = ::GetDeviceCaps(dc.Get(), LOGPIXELSY);
    }
    SetStyles(logFont.lfFaceName, -::MulDiv(logFont.lfHeight, 72, dpi));
    UpdateLineNumberMargin();
}

void CScintillaWnd::UpdateLineNumberMargin() {
    sptr_t width = Call(SCI_TEXTWIDTH, STYLE_LINENUMBER, reinterpret_cast<sptr_t>(lineNumberSample_.c_str()));
    Call(SCI_SETMARGINWIDTHN, 0, width + 4);
}

bool CScintillaWnd::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    const auto& notification = *reinterpret_cast<const SCNotification*>(lParam);
    if (notification.nmhdr.code == SCN_UPDATEUI)
        MatchBraces();
    else if (notification.nmhdr.code == SCN_MARGINCLICK)
        OnMarginClick(notification);
    // The dialog has no use for the control's notifications.
    result = 0;
    return true;
}

void CScintillaWnd::MatchBraces() {
    sptr_t before = Call(SCI_GETCURRENTPOS) - 1;
    sptr_t match = before >= 0 ? Call(SCI_BRACEMATCH, static_cast<uptr_t>(before), 0) : -1;
    if (match < 0)
        Call(SCI_BRACEHIGHLIGHT, static_cast<uptr_t>(-1), -1);
    else
        Call(SCI_BRACEHIGHLIGHT, static_cast<uptr_t>(before), match);
}

void CScintillaWnd::OnMarginClick(const SCNotification& notification) {
    auto line = static_cast<uptr_t>(Call(SCI_LINEFROMPOSITION, static_cast<uptr_t>(notification.position)));
    if (notification.margin == 2) {
        // The click's own modifiers: the key may be up again by the time the notification comes.
        if (!(notification.modifiers & SCMOD_CTRL)) {
            Call(SCI_TOGGLEFOLD, line);
            return;
        }
        Call(SCI_FOLDALL, Call(SCI_GETFOLDEXPANDED, line) ? SC_FOLDACTION_CONTRACT : SC_FOLDACTION_EXPAND);
        ::InvalidateRect(Handle(), nullptr, TRUE);
    } else if (notification.margin == 1) {
        ToggleBookmark(static_cast<int>(line));
    }
}
