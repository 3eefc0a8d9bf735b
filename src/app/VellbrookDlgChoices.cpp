// The main dialog's choices around a run: the run mode and its driver folder, the current model
// and the output port.
#include <windows.h>
#include <shlobj.h>

#include "FolderBrowser.h"
#include "ResourceIds.h"
#include "VellbrookDlg.h"

void CVellbrookDlg::OnModeChanged() {
    UpdateRunMode();
    ::SetDlgItemTextW(Handle(), IDC_PRN_FOLDER,
                      (runMode_ == 1 ? workSpace_.PrnFolderRef() : workSpace_.PrnFolder()).c_str());
}

void CVellbrookDlg::OnBrowsePrnFolder() {
    UpdateRunMode();
    if (!BrowseFolder()) return;
    const std::wstring folder = ItemText(IDC_PRN_FOLDER);
    if (runMode_ == 1) {
        workSpace_.SetPrnFolderRef(folder);
    } else {
        workSpace_.SetPrnFolder(folder);
    }
}

BOOL CVellbrookDlg::BrowseFolder() {
    const std::optional<std::wstring> chosen =
        vb::BrowseForFolder(Handle(), ItemText(IDC_PRN_FOLDER), std::wstring(), BIF_RETURNONLYFSDIRS);
    if (!chosen) return FALSE;
    ::SetDlgItemTextW(Handle(), IDC_PRN_FOLDER, chosen->c_str());
    return TRUE;
}

void CVellbrookDlg::OnSelChangeModelList() {
    // A run writes its log into the same pane: a click on a model then leaves it alone.
    if (workSpace_.LogWindow()) return;
    vb::CheckListView models(modelList_.Handle());
    const int row = models.GetCurSel();
    if (row < 0) return;
    const std::wstring model = models.GetText(row);
    const auto text = modelTexts_.find(model);
    const std::wstring catalog = text == modelTexts_.end() ? std::wstring() : text->second;
    ::SetWindowTextW(logEdit_, (model + L":\r\n\r\n" + catalog).c_str());
}

void CVellbrookDlg::OnSelChangeOutput() { workSpace_.SetOutput(WindowText(outputCombo_.Handle())); }
