#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HiddenLogPane.h"
#include "NotepadStubFolder.h"
#include "Resources.h"
#include "SampleDriverSandbox.h"
#include "SampleScripts.h"
#include "ScriptItem.h"
#include "Strings.h"
#include "TestFiles.h"
#include "WorkSpace.h"

namespace vb::test {

// A whole bench without its dialog: a program folder of its own with the real device database,
// the sample driver copied under family names into the build folder (Build\) and the reference
// folder (a sandbox), a hidden log pane whose parent window stands in for the main dialog (it
// takes the progress messages and passes the hook library's notifications on), and Notepad
// replaced by the stub. FAM01 is selected and the Shapes and Text scripts are stored.
class BatchFixture : public ::testing::Test {
protected:
    BatchFixture();
    // A box that the test did not look at (and clear) fails it.
    void TearDown() override { EXPECT_TRUE(boxes_.Boxes().empty()) << vb::ToUtf8(boxes_.Boxes()[0].text); }

    // The sample driver (or another build of it) as `family`.PRN in both driver folders, and
    // that family selected as "<family> (Sample family)".
    void UseFamily(const std::wstring& family, const std::wstring& build = L"sample_driver.dll");
    // Stored in the device database, as the editor saves it.
    CScriptItem StoreScript(int key, const std::wstring& name, const std::wstring& text);
    CScriptItem GlobalScript() {
        CScriptItem global(0);
        EXPECT_TRUE(ws_->LoadScript(global));
        return global;
    }

    // A Build run, or a Test run when `test`. Each run starts on an empty pane. The first model is
    // the highlighted one; `scripts` get their stored texts, as the dialog's list does. However a
    // run ends, it leaves nothing loaded or open behind, and no log window.
    BOOL Build(int mode, std::vector<CScriptItem>& scripts, const std::vector<std::wstring>& models, BOOL test = FALSE);
    BOOL Build(int mode, std::vector<CScriptItem>&& scripts, const std::vector<std::wstring>& models,
               BOOL test = FALSE) {
        return Build(mode, scripts, models, test);
    }
    BOOL TestRun(const CScriptItem& script, const std::wstring& model) { return Build(1, {script}, {model}, TRUE); }
    // A Build run of `scripts_` after a bad one works as if nothing had happened; FAM01 then
    // holds `rows` rows.
    void ExpectGoodBuild(const std::vector<std::wstring>& models, size_t rows, const char* after);

    // The pane's text as the run left it, and the same with every time stamp and temporary
    // folder replaced by a fixed mark.
    std::wstring Log() const { return logPane_.Text(); }
    std::wstring MaskedLog() const;
    bool Logged(const std::wstring& text) const { return Log().find(text) != std::wstring::npos; }
    // The end of the masked log, as long as `expected`.
    std::wstring MaskedEnding(const std::wstring& expected) const;
    // The masked ending of a run that stopped on `error`, its closing line being `closing`.
    static std::wstring ErrorEnding(const std::wstring& closing, const std::wstring& error) {
        return L"   " + closing + L" processing...\r\n\r\nhh:mm:ss   # ERROR '" + error + L"'\r\n";
    }

    // Rows of the family's results database read past the program: NAME, KEY, KEY_SUB, then
    // REF_DATA and CMP_DATA decoded, then SUCCESS, ordered by NAME, KEY, KEY_SUB.
    using Rows = std::vector<std::vector<std::string>>;
    Rows StoredRows(const std::wstring& family) const;
    std::wstring ResultsFile(const std::wstring& family) const { return program_ / (L"Data\\" + family + L".mdb"); }

    // What the log pane's parent received, in order: "model <name>" and "script <name>".
    std::vector<std::wstring> progress_;
    // Called from the parent's handler of each progress message, with its entry, and of a
    // posted kPosted.
    std::function<void(const std::wstring&)> onProgress_;
    std::function<void()> onPosted_;
    static constexpr UINT kPosted = WM_APP + 7;
    const std::vector<std::wstring> models_{L"Model 300", L"Model 300 COLOR"};

    TempFolder program_;
    SampleDriverSandbox reference_;
    std::wstring buildFolder_;
    NotepadStubFolder notepad_;
    MessageBoxCapture boxes_;
    HiddenLogPane logPane_;  // its parent stands in for the main dialog
    std::unique_ptr<CWorkSpace> ws_;  // goes before the pane and the folders it uses
    HWND parent_ = logPane_.Parent();
    HWND pane_ = logPane_.Edit();
    std::vector<CScriptItem> scripts_;  // the global script, Shapes (key 1) and Text (key 2)

private:
    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace vb::test
