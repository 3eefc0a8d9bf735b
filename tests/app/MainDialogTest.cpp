// The main dialog as it opens and closes.
#include "MainDialogFixture.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "ScriptEditor.h"

namespace {

using vb::test::MainDialogTest;
using vb::test::Pump;

TEST_F(MainDialogTest, ControlsHaveTheirIdsStylesAndTabOrder) {
    struct Expected {
        int id;
        const wchar_t* className;
        const wchar_t* text;  // null: not compared
        DWORD styles;
    };
    const DWORD checkList = LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                            WS_BORDER | WS_VSCROLL | WS_TABSTOP;
    const DWORD combo = CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP;
    const DWORD command = BS_MULTILINE | WS_TABSTOP;
    const Expected controls[] = {
        {IDC_PRN_FOLDER_LABEL, L"Static", L"PRN folder:", WS_GROUP},
        {IDC_PRN_FOLDER, L"Edit", nullptr, WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL},
        {IDC_BROWSE_PRN_FOLDER, L"Button", L"...", WS_TABSTOP},
        {IDC_MODE_COMPARE, L"Button", L"Compare results", BS_AUTORADIOBUTTON | WS_GROUP},
        {IDC_MODE_SNAPSHOT, L"Button", L"Make a snapshot of results", BS_AUTORADIOBUTTON},
        {IDC_OUTPUT_LABEL, L"Static", L"Test ouput mode:", WS_GROUP},
        {IDC_OUTPUT, L"ComboBox", nullptr, combo},
        {IDC_FAMILY, L"ComboBox", nullptr, combo},
        {IDC_MODEL_LIST, L"ListBox", nullptr, checkList | LBS_EXTENDEDSEL},
        {IDC_SCRIPT_LIST, L"ListBox", nullptr, checkList},
        {IDC_NEW_SCRIPT, L"Button", L"New", command},
        {IDC_DELETE_SCRIPT, L"Button", L"Delete", command},
        {IDC_TEST, L"Button", L"Test", command},
        {IDC_BUILD, L"Button", L"Build", WS_TABSTOP},
        {IDC_STOP, L"Button", L"Stop", WS_TABSTOP},
        {IDC_VIEW, L"Button", L"View", command},
        {IDC_NAME_LABEL, L"Static", L"Name:", WS_GROUP},
        {IDC_SCRIPT_NAME, L"Edit", nullptr, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
        {IDC_SCRIPT_KEY, L"Static", nullptr, SS_CENTER | WS_BORDER | WS_GROUP},
        {IDC_EDITOR, nullptr, nullptr, 0x50B191C4},
        {IDC_INFO_LOG, L"Edit", L"", ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP},
    };
    HWND child = ::GetWindow(dialog_->Handle(), GW_CHILD);
    for (const Expected& control : controls) {
        SCOPED_TRACE(control.id);
        ASSERT_TRUE(child);
        EXPECT_EQ(control.id, ::GetDlgCtrlID(child));
        wchar_t className[64] = L"";
        ::GetClassNameW(child, className, 64);
        if (control.className) { EXPECT_STREQ(control.className, className); }
        if (control.text) { EXPECT_EQ(control.text, WindowText(child)); }
        // Controls turn a border into an edge and show scroll bars only when needed.
        const DWORD expected = (control.styles & ~(WS_BORDER | WS_VSCROLL | WS_HSCROLL)) | WS_CHILD | WS_VISIBLE;
        const auto style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
        EXPECT_EQ(expected, style & expected);
        if (control.styles & WS_BORDER) {
            EXPECT_TRUE((style & WS_BORDER) ||
                        (::GetWindowLongW(child, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)));
        }
        EXPECT_EQ(control.id != IDC_STOP, ::IsWindowEnabled(child) != FALSE);
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_FALSE(child) << "a control more than the bench has";
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dialog_->Handle(), IDC_MODE_COMPARE));
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dialog_->Handle(), IDC_MODE_SNAPSHOT));
    EXPECT_EQ(folder_.Path(), WindowText(Item(IDC_PRN_FOLDER)));
    EXPECT_EQ(L"Vellbrook", WindowText(dialog_->Handle()));
}

TEST_F(MainDialogTest, OpensOnTheSavedFamilyAndTheGlobalScriptInAnEditorOverThePlaceholder) {
    EXPECT_EQ(L"F1 (Family one)", WindowText(Item(IDC_FAMILY)));
    EXPECT_EQ((std::vector<std::wstring>{L"M-100 [x]", L"M-200"}), Entries(IDC_MODEL_LIST));
    EXPECT_EQ((std::vector<std::wstring>{L"#Global_Script [x] <selected>", L"Labels [x]"}), Entries(IDC_SCRIPT_LIST));
    EXPECT_EQ(0, dialog_->CurrentScript().KEY);
    EXPECT_EQ(L"0", WindowText(Item(IDC_SCRIPT_KEY)));
    EXPECT_EQ(L"#Global_Script", WindowText(Item(IDC_SCRIPT_NAME)));
    EXPECT_TRUE(::GetWindowLongW(Item(IDC_SCRIPT_NAME), GWL_STYLE) & ES_READONLY);
    ASSERT_TRUE(dialog_->Editor());
    EXPECT_FALSE(dialog_->CurrentScript().DATA.empty());
    EXPECT_EQ(dialog_->CurrentScript().DATA, dialog_->Editor()->GetText());
    RECT expected{254, 27, 254 + 592, 27 + 318};
    ::MapDialogRect(dialog_->Handle(), &expected);
    RECT actual{};
    ::GetWindowRect(dialog_->Editor()->Handle(), &actual);
    ::MapWindowPoints(nullptr, dialog_->Handle(), reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_TRUE(::EqualRect(&expected, &actual));
}

TEST_F(MainDialogTest, EnterDoesNotCloseTheDialog) {
    HWND name = Item(IDC_SCRIPT_NAME);
    ::SetFocus(name);
    ::PostMessageW(name, WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(::IsWindow(dialog_->Handle()));
}

TEST_F(MainDialogTest, ClosingSavesTheSelectionsAndChangedScript) {
    vb::CheckListView scripts(Item(IDC_SCRIPT_LIST));
    scripts.SetCurSel(1);
    ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_SCRIPT_LIST, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(scripts.Handle()));
    ASSERT_EQ(7, dialog_->CurrentScript().KEY);
    ASSERT_TRUE(dialog_->Editor());
    scripts.SetCheck(0, false);
    dialog_->Editor()->SetText(L"Sub Main\r\n  Me.Trace \"x\"\r\nEnd Sub");
    vb::MessageBoxCapture boxes(IDYES);
    ::SendMessageW(dialog_->Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(::IsWindow(dialog_->Handle()));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(L"The script [Labels] has been modified.\r\nDo you want to save it?", boxes.Boxes()[0].text);
    dialog_.reset();
    EXPECT_EQ(L"[LABELS]", Read(L"GENERAL", L"Scripts"));
    EXPECT_EQ(L"Labels", Read(L"GENERAL", L"ScriptName"));
    EXPECT_EQ(L"[M-100]", Read(L"DRIVERS", L"F1"));
    CWorkSpace reopened(ProgramFile());
    CScriptItem stored(7);
    ASSERT_TRUE(reopened.LoadScript(stored));
    EXPECT_EQ(L"Sub Main\r\n  Me.Trace \"x\"\r\nEnd Sub", stored.DATA);
}

}  // namespace
