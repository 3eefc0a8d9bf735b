#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CheckListBox.h"
#include "CheckListView.h"
#include "ComboBoxView.h"
#include "ScriptEditor.h"
#include "ScriptItem.h"
#include "StdDialog.h"
#include "WorkSpace.h"

// The bench's one working window: driver family, models, scripts, the script editor and the
// run log around the engine it owns. Its modal loop is the program's main loop.
class CVellbrookDlg : public CStdDialog {
public:
    // `programFile` as for CWorkSpace: the program's own path unless a test gives a folder.
    explicit CVellbrookDlg(const std::wstring& programFile = {});
    ~CVellbrookDlg() override;

    CWorkSpace& WorkSpace() noexcept { return workSpace_; }
    const CScriptItem& CurrentScript() const noexcept { return currentScript_; }
    // Null when the editor window could not be made.
    ScriptEditor* Editor() const noexcept { return editorCreated_ ? editor_.get() : nullptr; }
    int RunMode() const noexcept { return runMode_; }

    // TRUE when the edited script is unchanged or was saved.
    BOOL SaveScriptIfModified() { return CheckEditedScript() == EditCheck::Kept; }
    // The selected script into the name edit, key field and editor; its row, or -1.
    int LoadSelectedScript();
    // A Test run (`currentOnly`) takes the highlighted model, else the first ticked one, else
    // the first of the list; a Build run every ticked model in list order.
    int CollectModels(std::vector<std::wstring>& models, BOOL currentOnly);
    // A Test run takes the current script as last loaded or saved; a Build run the keys of the
    // ticked scripts, never the global one (the batch adds it and reads every text itself).
    int CollectScripts(std::vector<CScriptItem>& scripts, BOOL currentOnly);
    // A Test (`test` TRUE) or Build run of the engine; returns when the run has ended.
    void RunBatch(BOOL test);
    // For a run (FALSE): everything but the two lists, the log and Stop is disabled.
    void EnableControls(BOOL enable);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter never closes the bench.
    void OnOK() override {}
    void OnCancel() override;

private:
    static constexpr UINT kHookNotifyMessage = WM_USER + 0x100;

    HWND Item(int id) const noexcept { return ::GetDlgItem(Handle(), id); }
    std::wstring ItemText(int id) const;
    void UpdateRunMode();
    void CreateEditor();
    void AddAboutEntry();
    void OnSysCommand(WPARAM id, LPARAM lParam);
    void OnPaint();
    enum class EditCheck { Kept, Declined, NotSaved };
    // Kept when the edited script is unchanged or was saved; asks whether to save a changed
    // one. Only a save that succeeded changes the current script and its list row.
    EditCheck CheckEditedScript();
    // Before the editor leaves its script (another script, a new one, closing): false when a
    // save failed and the tester goes back to the edit rather than discard it.
    bool MayLeaveEditedScript();
    // The script list's row of `key`, or -1.
    int ScriptRow(int key) const;
    // Shows the current script in the key field, the name edit and the editor; empty fields
    // when there is none.
    void ShowCurrentScript();
    // The first highlighted model row, or -1; its text, empty when none is highlighted.
    int HighlightedModelRow() const;
    std::wstring HighlightedModel() const;
    BOOL BrowseFolder();

    // Handlers.
    void OnBrowsePrnFolder();
    void OnModeChanged();
    void OnSelChangeFamily();
    void OnSelChangeModelList();
    void OnSelChangeOutput();
    void OnSelChangeScriptList();
    void OnNewScript();
    void OnDeleteScript();
    void OnTest() { RunBatch(TRUE); }
    void OnBuild() { RunBatch(FALSE); }
    void OnStop();
    void OnView();
    LRESULT OnBatchProgress(WPARAM model, LPARAM script);
    LRESULT OnDeviceChange(WPARAM event);

    vb::ComboBoxView familyCombo_;
    vb::ComboBoxView outputCombo_;
    CCheckListBox modelList_;
    CCheckListBox scriptList_;
    std::unique_ptr<ScriptEditor> editor_;
    bool editorCreated_ = false;
    HWND logEdit_ = nullptr;
    HWND nameEdit_ = nullptr;
    CWorkSpace workSpace_;
    int runMode_ = 0;
    CScriptItem currentScript_;
    std::map<std::wstring, std::wstring> modelTexts_;
    // A shared icon of the resources: never destroyed.
    HICON icon_;
};
