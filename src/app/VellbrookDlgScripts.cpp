// The main dialog's family change, script loading, saving, new and delete, and closing.
#include <cwchar>

#include "GlobalScript.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "VellbrookDlg.h"

void CVellbrookDlg::OnSelChangeFamily() {
    vb::CheckListView models(modelList_.Handle());
    if (models.GetCount() > 0) {
        // The ticks of the family being left are saved under that family.
        std::vector<std::wstring> ticked;
        CollectModels(ticked, FALSE);
        workSpace_.SaveSelection(ticked, HighlightedModel(), TRUE);
    }
    workSpace_.SetDriverName(ItemText(IDC_FAMILY));
    workSpace_.LoadModelList(models, &modelTexts_);
}

int CVellbrookDlg::HighlightedModelRow() const {
    int highlighted = -1;
    return ::SendMessageW(modelList_.Handle(), LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&highlighted)) == 1
               ? highlighted
               : -1;
}

std::wstring CVellbrookDlg::HighlightedModel() const {
    const int row = HighlightedModelRow();
    return row < 0 ? std::wstring() : vb::CheckListView(modelList_.Handle()).GetText(row);
}

int CVellbrookDlg::CollectModels(std::vector<std::wstring>& models, BOOL currentOnly) {
    models.clear();
    vb::CheckListView list(modelList_.Handle());
    const int count = list.GetCount();
    if (currentOnly) {
        const int highlighted = HighlightedModelRow();
        if (highlighted >= 0) {
            models.push_back(list.GetText(highlighted));
            return 1;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!list.GetCheck(i)) continue;
        models.push_back(list.GetText(i));
        if (currentOnly) break;
    }
    if (currentOnly && models.empty() && count > 0) models.push_back(list.GetText(0));
    return static_cast<int>(models.size());
}

int CVellbrookDlg::ScriptRow(int key) const {
    vb::CheckListView list(scriptList_.Handle());
    const int count = list.GetCount();
    for (int i = 0; i < count; ++i) {
        if (static_cast<int>(list.GetItemData(i)) == key) return i;
    }
    return -1;
}

CVellbrookDlg::EditCheck CVellbrookDlg::CheckEditedScript() {
    if (currentScript_.KEY == -1 || currentScript_.NAME.empty()) return EditCheck::Declined;
    CScriptItem edited(static_cast<int>(std::wcstol(ItemText(IDC_SCRIPT_KEY).c_str(), nullptr, 10)));
    edited.NAME = ItemText(IDC_SCRIPT_NAME);
    // Without an editor window the text cannot have been edited.
    edited.DATA = Editor() ? Editor()->GetText() : currentScript_.DATA;
    if (edited == currentScript_) return EditCheck::Kept;
    if (vb::ShowMessageBox(vb::FormatResString(IDS_SCRIPT_MODIFIED, {edited.NAME}), MB_YESNO | MB_ICONEXCLAMATION) !=
        IDYES) {
        return EditCheck::Declined;
    }
    // A refused save keeps the stored script as the current one, so the edit still counts as a
    // change at the next check, and its row keeps the stored name.
    if (!workSpace_.SaveScript(edited, 1)) return EditCheck::NotSaved;
    currentScript_ = edited;
    const int row = ScriptRow(edited.KEY);
    if (row < 0) return EditCheck::Kept;
    // Added again under its new name, where the sorted list puts it.
    vb::CheckListView list(scriptList_.Handle());
    const bool checked = list.GetCheck(row);
    const bool selected = list.GetCurSel() == row;
    ::SendMessageW(list.Handle(), LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    const int added = list.AddString(edited.NAME);
    if (added >= 0) {
        list.SetItemData(added, edited.KEY);
        list.SetCheck(added, checked);
        if (selected) list.SetCurSel(added);
    }
    return EditCheck::Kept;
}

bool CVellbrookDlg::MayLeaveEditedScript() {
    if (CheckEditedScript() != EditCheck::NotSaved) return true;
    const UINT reason = ItemText(IDC_SCRIPT_NAME).empty() ? IDS_SCRIPT_NEEDS_NAME : IDS_SCRIPT_NOT_STORED;
    const std::wstring text =
        vb::FormatResString(IDS_SCRIPT_NOT_SAVED, {currentScript_.NAME, vb::LoadResString(reason)});
    return vb::ShowMessageBox(text, MB_YESNO | MB_ICONWARNING) != IDYES;
}

int CVellbrookDlg::LoadSelectedScript() {
    vb::CheckListView list(scriptList_.Handle());
    const int row = list.GetCurSel();
    if (row < 0) return -1;
    currentScript_ = CScriptItem(static_cast<int>(list.GetItemData(row)));
    workSpace_.LoadScript(currentScript_);
    ShowCurrentScript();
    return row;
}

void CVellbrookDlg::ShowCurrentScript() {
    const bool none = currentScript_.KEY == -1;
    const std::wstring key = none ? std::wstring() : std::to_wstring(static_cast<unsigned>(currentScript_.KEY));
    ::SetDlgItemTextW(Handle(), IDC_SCRIPT_KEY, key.c_str());
    ::SetWindowTextW(nameEdit_, currentScript_.NAME.c_str());
    if (Editor()) Editor()->SetText(currentScript_.DATA);
    // The global script's name is fixed.
    ::SendMessageW(nameEdit_, EM_SETREADONLY, currentScript_.KEY == 0, 0);
}

void CVellbrookDlg::OnSelChangeScriptList() {
    // Back to the edit: the row of the script it belongs to is selected again.
    if (!MayLeaveEditedScript()) {
        vb::CheckListView(scriptList_.Handle()).SetCurSel(ScriptRow(currentScript_.KEY));
        return;
    }
    // On No the edits are dropped: the tester chose another script.
    LoadSelectedScript();
}

void CVellbrookDlg::OnNewScript() {
    if (!MayLeaveEditedScript()) return;
    CScriptItem created;
    // The engine lists, ticks and selects the stored script; a failure leaves the editor as it was.
    if (workSpace_.NewScript(vb::CheckListView(scriptList_.Handle()), created)) LoadSelectedScript();
}

void CVellbrookDlg::OnDeleteScript() {
    vb::CheckListView list(scriptList_.Handle());
    const int row = list.GetCurSel();
    // Only the script the editor shows can go.
    if (row < 0 || static_cast<int>(list.GetItemData(row)) != currentScript_.KEY) return;
    if (currentScript_.KEY == 0) {
        if (vb::ShowMessageBox(vb::FormatResString(IDS_GLOBAL_SCRIPT_RESET, {currentScript_.NAME}),
                               MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
            return;
        }
        // Only the editor changes: the next save check stores the reset text like any edit.
        std::wstring text;
        BuildGlobalScript(text);
        if (Editor()) Editor()->SetText(text);
        return;
    }
    if (vb::ShowMessageBox(vb::FormatResString(IDS_SCRIPT_DELETE, {currentScript_.NAME}),
                           MB_YESNO | MB_ICONEXCLAMATION) != IDYES ||
        !workSpace_.DeleteScript(currentScript_)) {
        return;
    }
    currentScript_ = CScriptItem();
    // The row goes before the first row is selected: the deleted script may be the first one,
    // and the editor must not keep it.
    ::SendMessageW(list.Handle(), LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    list.SetCurSel(0);
    if (LoadSelectedScript() < 0) ShowCurrentScript();
}

int CVellbrookDlg::CollectScripts(std::vector<CScriptItem>& scripts, BOOL currentOnly) {
    scripts.clear();
    if (currentOnly) {
        scripts.push_back(currentScript_);
        return 1;
    }
    vb::CheckListView list(scriptList_.Handle());
    const int count = list.GetCount();
    for (int i = 0; i < count; ++i) {
        const auto key = static_cast<int>(list.GetItemData(i));
        if (list.GetCheck(i) && key != 0) scripts.emplace_back(key);
    }
    return static_cast<int>(scripts.size());
}

void CVellbrookDlg::OnCancel() {
    if (!workSpace_.StopRequested()) workSpace_.SetStop(true);
    // A run under way sees the stop flag at its next check; the bench stays open until then.
    if (workSpace_.LogWindow()) return;
    // Saved before the rows are noted: a renamed script's row moves.
    if (!MayLeaveEditedScript()) return;
    vb::CheckListView scripts(scriptList_.Handle());
    const int selected = scripts.GetCurSel();
    const int count = scripts.GetCount();
    OnSelChangeFamily();
    std::vector<std::wstring> ticked;
    for (int i = 0; i < count; ++i) {
        if (scripts.GetCheck(i)) ticked.push_back(scripts.GetText(i));
    }
    workSpace_.SaveSelection(ticked, selected >= 0 ? scripts.GetText(selected) : std::wstring(), FALSE);
    EndDialog(IDCANCEL);
}
