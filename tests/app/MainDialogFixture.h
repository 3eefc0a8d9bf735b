#pragma once
// The main dialog opened in process on a program folder of the test's own, with a device
// database holding two families, their models and a script besides the global one, and the
// sample driver as the first family's driver.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CheckListView.h"
#include "MessagePump.h"
#include "RawDatabase.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "TestFiles.h"
#include "VellbrookDlg.h"

namespace vb::test {

inline void Pump() { vb::DispatchPendingMessages(); }

// Calls `action` from the dialog's own handling of each `message` until it answers true: inside
// a run for the progress message, inside the viewer's modal loop for a timer of the dialog.
class WhenDialogGets {
public:
    WhenDialogGets(HWND dialog, UINT message, std::function<bool(WPARAM)> action)
        : dialog_(dialog), message_(message), action_(std::move(action)) {
        ::SetWindowSubclass(dialog_, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~WhenDialogGets() { ::RemoveWindowSubclass(dialog_, &Proc, 1); }
    WhenDialogGets(const WhenDialogGets&) = delete;
    WhenDialogGets& operator=(const WhenDialogGets&) = delete;

private:
    // Taken out while it runs, so a message it causes does not run it again.
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<WhenDialogGets*>(data);
        if (message == self->message_ && self->action_) {
            auto action = std::exchange(self->action_, {});
            if (!action(wParam)) self->action_ = std::move(action);
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

    HWND dialog_;
    UINT message_;
    std::function<bool(WPARAM)> action_;
};

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        // The editing component does not come back once unloaded in a process, and every test
        // closes its editor: the tests hold it for the whole run.
        static const bool held = ::LoadLibraryW((BinDir() + L"Scintilla.dll").c_str()) &&
                                 ::LoadLibraryW((BinDir() + L"Lexilla.dll").c_str());
        ASSERT_TRUE(held);
        // The first workspace makes the device database with its tables and global script.
        { CWorkSpace make(ProgramFile()); }
        ASSERT_EQ("", ExecRaw(Database(),
                              "INSERT INTO DRIVER_FAMILIES VALUES ('F1', 'Family one'), ('F2', 'Family two');"
                              "INSERT INTO DRIVER_MODELS VALUES ('F1', 'M-200', 'Two', 0), "
                              "('F1', 'M-100', 'One', 0), ('F2', 'X-1', 'Other', 0);"
                              "INSERT INTO SCRIPTS VALUES (7, 'Labels', 'Sub Main' || char(13, 10) || 'End Sub');"));
        ::WritePrivateProfileStringW(L"GENERAL", L"DriverName", L"F1 (Family one)", Ini().c_str());
        ::WritePrivateProfileStringW(L"GENERAL", L"ModelName", L"M-200", Ini().c_str());
        ::WritePrivateProfileStringW(L"DRIVERS", L"F1", L"[M-100]", Ini().c_str());
        // The family's driver in the driver folder of both modes (the program folder unless set).
        ASSERT_TRUE(::CopyFileW((BinDir() + L"sample_driver.dll").c_str(), (folder_ / L"F1.prn").c_str(), FALSE));
        dialog_ = std::make_unique<CVellbrookDlg>(ProgramFile());
        ASSERT_TRUE(dialog_->Create());
        Pump();
    }

    std::wstring ProgramFile() const { return folder_ / L"Vellbrook.exe"; }
    std::wstring Ini() const { return folder_ / L"Vellbrook.ini"; }
    std::wstring Database() const { return folder_ / L"Data\\Data.mdb"; }
    std::wstring Read(const wchar_t* section, const wchar_t* key) const {
        wchar_t text[256] = L"";
        ::GetPrivateProfileStringW(section, key, L"<none>", text, 256, Ini().c_str());
        return text;
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_->Handle(), id); }
    // As a click: a radio button gets its check, a button reaches the dialog's handler.
    void Click(int id) const { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void SelectScript(const std::wstring& name) const {
        vb::CheckListView list(Item(IDC_SCRIPT_LIST));
        list.SetCurSel(list.FindStringExact(name));
        ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_SCRIPT_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list.Handle()));
    }
    std::wstring Log() const { return WindowText(Item(IDC_INFO_LOG)); }
    bool Logged(const std::wstring& text) const { return Log().find(text) != std::wstring::npos; }
    std::vector<std::wstring> BoxTexts() const {
        std::vector<std::wstring> texts;
        for (const CapturedBox& box : boxes_.Boxes()) texts.push_back(box.text);
        return texts;
    }
    std::vector<std::wstring> Entries(int id) const {
        vb::CheckListView list(Item(id));
        std::vector<std::wstring> entries;
        for (int i = 0; i < list.GetCount(); ++i) {
            entries.push_back(list.GetText(i) + (list.GetCheck(i) ? L" [x]" : L"") +
                              (::SendMessageW(list.Handle(), LB_GETSEL, i, 0) > 0 ? L" <selected>" : L""));
        }
        return entries;
    }

    MessageBoxCapture boxes_{IDNO};
    TempFolder folder_;
    std::unique_ptr<CVellbrookDlg> dialog_;
};

}  // namespace vb::test
