// The main dialog's runs: starting a Test or Build run, stopping it, following its progress,
// and the port list when devices come and go.
#include <windows.h>
#include <dbt.h>

#include "DBOuputDlg.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "VellbrookDlg.h"

void CVellbrookDlg::RunBatch(BOOL test) {
    // A click that reaches the dialog from a run's message pumping starts nothing: the run
    // under way keeps the controls as it set them.
    if (workSpace_.LogWindow()) return;
    UpdateRunMode();
    if (!SaveScriptIfModified()) {
        vb::ShowMessageBox(vb::LoadResString(IDS_SAVE_BEFORE_RUN), MB_OK | MB_ICONERROR);
        return;
    }
    const std::wstring question = vb::FormatResString(IDS_BUILD_UPDATES_DATABASE, {workSpace_.DriverName()});
    if (!test && vb::ShowMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    const std::wstring currentModel = HighlightedModel();
    EnableControls(FALSE);
    vb::CheckListView scriptRows(scriptList_.Handle());
    const int selectedRow = scriptRows.GetCurSel();
    std::vector<CScriptItem> scripts;
    std::vector<std::wstring> models;
    CollectScripts(scripts, test);
    CollectModels(models, test);
    workSpace_.RunBatch(runMode_, scripts, models, currentModel, test, logEdit_);
    // The progress moved the selection without reloading the editor. The row of the script the
    // editor shows is selected again: a click on the list during the run may have loaded
    // another script, and a save then may have moved rows.
    const int editedRow = ScriptRow(currentScript_.KEY);
    scriptRows.SetCurSel(editedRow >= 0 ? editedRow : selectedRow);
    EnableControls(TRUE);
}

void CVellbrookDlg::EnableControls(BOOL enable) {
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        switch (::GetDlgCtrlID(child)) {
            case IDC_MODEL_LIST:
            case IDC_SCRIPT_LIST:
            case IDC_INFO_LOG:
                break;
            case IDC_STOP:
                ::EnableWindow(child, !enable);
                break;
            default:
                ::EnableWindow(child, enable);
                break;
        }
    }
}

void CVellbrookDlg::OnStop() {
    if (!workSpace_.StopRequested()) workSpace_.SetStop(true);
}

LRESULT CVellbrookDlg::OnBatchProgress(WPARAM model, LPARAM script) {
    if (model) {
        vb::CheckListView models(modelList_.Handle());
        const int row = models.FindStringExact(reinterpret_cast<const wchar_t*>(model));
        // Added to the highlighted rows: the models done so far stay marked.
        if (row != LB_ERR) ::SendMessageW(models.Handle(), LB_SETSEL, TRUE, row);
    }
    if (script) {
        vb::CheckListView scripts(scriptList_.Handle());
        const int row = scripts.FindStringExact(reinterpret_cast<const wchar_t*>(script));
        if (row != LB_ERR) scripts.SetCurSel(row);
    }
    return 0;
}

LRESULT CVellbrookDlg::OnDeviceChange(WPARAM event) {
    const LRESULT result = Default();
    if (event != DBT_DEVNODES_CHANGED) return result;
    const int before = outputCombo_.GetCount();
    const int added = workSpace_.FillPortList(outputCombo_.Handle());
    // The list drops down so the tester sees that the ports changed; not while a run keeps the
    // combo disabled, where a dropped list would let a port be chosen in mid-run.
    if (added != before && ::IsWindowEnabled(outputCombo_.Handle())) {
        ::SendMessageW(outputCombo_.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    }
    return result;
}

// The viewer takes the View button as its parent, so it shows that button's icon as its own.
void CVellbrookDlg::OnView() {
    CDBOuputDlg viewer(&workSpace_, ::GetDlgItem(Handle(), IDC_VIEW));
    viewer.DoModal();
}
