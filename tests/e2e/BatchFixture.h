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
#include "ScriptItem.h"
#include "TestFiles.h"
#include "WorkSpace.h"

namespace vb::test {

// A whole bench without its dialog: a program folder of its own with the real device database,
// the sample driver copied under family names into the build folder (Build\) and the reference
// folder (a sandbox), a hidden log pane whose parent window stands in for the main dialog (it
// takes the progress messages and passes the hook library's notifications on), and Notepad
// replaced by the stub.
class BatchFixture : public ::testing::Test {
protected:
    BatchFixture();
    ~BatchFixture() override;

    // The sample driver (or another build of it) as `family`.PRN in both driver folders, and
    // that family selected as "<family> (Sample family)".
    void UseFamily(const std::wstring& family, const std::wstring& build = L"sample_driver.dll");
    // Stored in the device database, as the editor saves it.
    CScriptItem StoreScript(int key, const std::wstring& name, const std::wstring& text);
    CScriptItem GlobalScript();

    // The first model is the highlighted one; `scripts` get their stored texts, as the dialog's
    // list does.
    BOOL Build(int mode, std::vector<CScriptItem>& scripts, const std::vector<std::wstring>& models);
    BOOL Build(int mode, std::vector<CScriptItem>&& scripts, const std::vector<std::wstring>& models) {
        return Build(mode, scripts, models);
    }
    BOOL TestRun(const CScriptItem& script, const std::wstring& model);
    // A Build run after a bad one works as if nothing had happened; FAM01 then holds `rows` rows.
    void ExpectGoodBuild(std::vector<CScriptItem> scripts, const std::vector<std::wstring>& models, size_t rows,
                         const char* after);

    // The pane's text as the run left it, and the same with every time stamp and temporary
    // folder replaced by a fixed mark.
    std::wstring Log() const { return logPane_.Text(); }
    std::wstring MaskedLog() const;
    bool Logged(const std::wstring& text) const { return Log().find(text) != std::wstring::npos; }
    // The end of the masked log, as long as `expected`.
    std::wstring MaskedEnding(const std::wstring& expected) const;

    // Rows of the family's results database read past the program: NAME, KEY, KEY_SUB, then
    // REF_DATA and CMP_DATA decoded, then SUCCESS, ordered by NAME, KEY, KEY_SUB.
    using Rows = std::vector<std::vector<std::string>>;
    Rows StoredRows(const std::wstring& family) const;
    std::wstring ResultsFile(const std::wstring& family) const;
    std::wstring OutputPath(const std::wstring& name) const { return program_ / (L"Output\\" + name); }

    // What the log pane's parent received, in order: "model <name>" and "script <name>".
    std::vector<std::wstring> progress_;
    // Called from the parent's handler of each progress message, and of a posted kPosted.
    std::function<void(WPARAM, LPARAM)> onProgress_;
    std::function<void()> onPosted_;
    static constexpr UINT kPosted = WM_APP + 7;

    TempFolder program_;
    SampleDriverSandbox reference_;
    std::wstring buildFolder_;
    NotepadStubFolder notepad_;
    MessageBoxCapture boxes_;
    HiddenLogPane logPane_;  // its parent stands in for the main dialog
    std::unique_ptr<CWorkSpace> ws_;
    HWND parent_ = logPane_.Parent();
    HWND pane_ = logPane_.Edit();

private:
    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace vb::test
