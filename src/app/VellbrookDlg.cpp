#include "VellbrookDlg.h"

#include "AboutDlg.h"
#include "ResourceIds.h"
#include "Resources.h"

namespace {

// The style the editor window is made with: child, visible, border, both scroll bars, tab stop
// and the editor's own low-word bits.
constexpr DWORD kEditorStyle = 0x50B191C4;

struct ButtonIcon {
    UINT button;
    UINT icon;
};
constexpr ButtonIcon kButtonIcons[] = {
    {IDC_NEW_SCRIPT, IDI_BUTTON_NEW}, {IDC_DELETE_SCRIPT, IDI_BUTTON_DELETE}, {IDC_TEST, IDI_BUTTON_TEST},
    {IDC_BUILD, IDI_BUTTON_BUILD},    {IDC_STOP, IDI_BUTTON_STOP},            {IDC_VIEW, IDI_BUTTON_VIEW},
};

}  // namespace

CVellbrookDlg::CVellbrookDlg(const std::wstring& programFile)
    : CStdDialog(IDD_VELLBROOK_DIALOG),
      workSpace_(programFile),
      icon_(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

CVellbrookDlg::~CVellbrookDlg() {
    // The windows go before the editor object and the engine whose log pane is one of them.
    DestroyWindowNow();
}

std::wstring CVellbrookDlg::ItemText(int id) const { return WindowText(Item(id)); }

void CVellbrookDlg::UpdateRunMode() {
    runMode_ = ::IsDlgButtonChecked(Handle(), IDC_MODE_SNAPSHOT) == BST_CHECKED ? 1 : 0;
}

BOOL CVellbrookDlg::OnInitDialog() {
    HWND dialog = Handle();
    ::CheckRadioButton(dialog, IDC_MODE_COMPARE, IDC_MODE_SNAPSHOT, runMode_ == 1 ? IDC_MODE_SNAPSHOT : IDC_MODE_COMPARE);
    familyCombo_ = vb::ComboBoxView(Item(IDC_FAMILY));
    outputCombo_ = vb::ComboBoxView(Item(IDC_OUTPUT));
    logEdit_ = Item(IDC_INFO_LOG);
    nameEdit_ = Item(IDC_SCRIPT_NAME);
    CStdDialog::OnInitDialog();
    // After the dialog font, which the lists measure their entries with.
    modelList_.SubclassDlgItem(IDC_MODEL_LIST, dialog);
    scriptList_.SubclassDlgItem(IDC_SCRIPT_LIST, dialog);
    vb::SetMainWindow(dialog);

    for (const ButtonIcon& entry : kButtonIcons) {
        if (Item(static_cast<int>(entry.button))) SubclassButton(entry.button);
    }
    for (const ButtonIcon& entry : kButtonIcons) {
        if (Item(static_cast<int>(entry.button))) SetButtonIcon(entry.button, entry.icon);
    }
    AddAboutEntry();
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    workSpace_.FillPortList(outputCombo_.Handle());
    ::SendMessageW(logEdit_, EM_LIMITTEXT, 0, 0);
    workSpace_.LoadFamilyList(familyCombo_, workSpace_.DriverName().c_str());
    workSpace_.LoadScriptList(vb::CheckListView(scriptList_.Handle()));
    UpdateRunMode();
    ::SetDlgItemTextW(dialog, IDC_PRN_FOLDER,
                      (runMode_ == 1 ? workSpace_.PrnFolderRef() : workSpace_.PrnFolder()).c_str());
    if (!workSpace_.DriverName().empty()) {
        // Exactly the saved text: no match leaves the family unselected.
        LRESULT index = ::SendMessageW(familyCombo_.Handle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(workSpace_.DriverName().c_str()));
        familyCombo_.SetCurSel(static_cast<int>(index));
    }

    CreateEditor();
    if (editorCreated_ && workSpace_.InitScriptHost()) editor_->SetUpForScripts(workSpace_.Script());

    OnSelChangeFamily();
    SaveScriptIfModified();
    LoadSelectedScript();
    return TRUE;
}

void CVellbrookDlg::CreateEditor() {
    HWND placeholder = Item(IDC_EDITOR);
    if (!placeholder) return;
    RECT rect{};
    ::GetWindowRect(placeholder, &rect);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
    HWND before = ::GetWindow(placeholder, GW_HWNDPREV);
    ::DestroyWindow(placeholder);
    editor_ = MakeScriptEditor();
    editorCreated_ = editor_ && editor_->Create(Handle(), rect, IDC_EDITOR, kEditorStyle);
    // The editor takes the placeholder's place in the tab order.
    if (editorCreated_) {
        ::SetWindowPos(editor_->Handle(), before ? before : HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void CVellbrookDlg::AddAboutEntry() {
    HMENU menu = ::GetSystemMenu(Handle(), FALSE);
    const std::wstring text = vb::LoadResString(IDS_ABOUTBOX);
    if (!menu || text.empty()) return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, text.c_str());
}

bool CVellbrookDlg::OnCommand(UINT id, UINT code, HWND control) {
    struct Handler {
        UINT id;
        UINT code;
        void (CVellbrookDlg::*handle)();
    };
    static constexpr Handler kHandlers[] = {
        {IDC_BROWSE_PRN_FOLDER, BN_CLICKED, &CVellbrookDlg::OnBrowsePrnFolder},
        {IDC_FAMILY, CBN_SELCHANGE, &CVellbrookDlg::OnSelChangeFamily},
        {IDC_TEST, BN_CLICKED, &CVellbrookDlg::OnTest},
        {IDC_NEW_SCRIPT, BN_CLICKED, &CVellbrookDlg::OnNewScript},
        {IDC_DELETE_SCRIPT, BN_CLICKED, &CVellbrookDlg::OnDeleteScript},
        {IDC_SCRIPT_LIST, LBN_SELCHANGE, &CVellbrookDlg::OnSelChangeScriptList},
        {IDC_MODE_COMPARE, BN_CLICKED, &CVellbrookDlg::OnModeChanged},
        {IDC_MODE_SNAPSHOT, BN_CLICKED, &CVellbrookDlg::OnModeChanged},
        {IDC_BUILD, BN_CLICKED, &CVellbrookDlg::OnBuild},
        {IDC_STOP, BN_CLICKED, &CVellbrookDlg::OnStop},
        {IDC_VIEW, BN_CLICKED, &CVellbrookDlg::OnView},
        {IDC_OUTPUT, CBN_SELCHANGE, &CVellbrookDlg::OnSelChangeOutput},
        {IDC_MODEL_LIST, LBN_SELCHANGE, &CVellbrookDlg::OnSelChangeModelList},
    };
    for (const Handler& handler : kHandlers) {
        if (handler.id != id || handler.code != code) continue;
        (this->*handler.handle)();
        return true;
    }
    return CStdDialog::OnCommand(id, code, control);
}

LRESULT CVellbrookDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSCOMMAND:
            OnSysCommand(wParam, lParam);
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(icon_);
        case WM_CLOSE:
            // At once: the system would post the cancel command, and a run ending before the
            // next message pump would then close the bench after all.
            OnCancel();
            return 0;
        case kHookNotifyMessage:
            return workSpace_.OnHookNotify(wParam, lParam);
        case CWorkSpace::kProgressMessage:
            return OnBatchProgress(wParam, lParam);
        case WM_DEVICECHANGE:
            return OnDeviceChange(wParam);
        default:
            return CStdDialog::OnMessage(message, wParam, lParam);
    }
}

void CVellbrookDlg::OnSysCommand(WPARAM id, LPARAM) {
    if ((id & 0xFFF0) != IDM_ABOUTBOX) {
        Default();
        return;
    }
    CAboutDlg about;
    about.DoModal();
}

void CVellbrookDlg::OnPaint() {
    if (!::IsIconic(Handle())) {
        Default();
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Handle(), &paint);
    ::SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int width = ::GetSystemMetrics(SM_CXICON);
    const int height = ::GetSystemMetrics(SM_CYICON);
    ::DrawIcon(dc, (client.right - width + 1) / 2, (client.bottom - height + 1) / 2, icon_);
    ::EndPaint(Handle(), &paint);
}
