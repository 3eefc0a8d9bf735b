#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "FilePreviewCtrl.h"
#include "FindDlg.h"
#include "ListCtrlEx.h"
#include "OutputKey.h"
#include "StdDialog.h"

class CWorkSpace;

// The result viewer: the stored items of the selected family's results database in a list,
// the failed ones at first and all of them after "Display all", and below it the reference
// (left) and comparison (right) data of the selected item side by side, as hex dump or text,
// the bytes that differ marked. Modal, opened from the main dialog's "View" button.
class CDBOuputDlg : public CStdDialog {
public:
    // `workSpace` is not owned; `parent` is the button that opens the viewer, whose icon the
    // viewer takes for its caption.
    CDBOuputDlg(CWorkSpace* workSpace, HWND parent) noexcept;
    ~CDBOuputDlg() override;

    CListCtrlEx& List() noexcept { return list_; }
    CFilePreviewCtrl& LeftPreview() noexcept { return leftPreview_; }
    CFilePreviewCtrl& RightPreview() noexcept { return rightPreview_; }
    // Null until the first "Find".
    CFindDlg* FindDialog() const noexcept { return findDlg_.get(); }

    // The key of a list row: model, script text "<name> (<key>)" (or the bare key) and sub-item.
    static COutputKey RowKey(const std::wstring& model, const std::wstring& script, const std::wstring& subItem);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FillDisplayModes();
    // Fills the list, failed rows only the first time.
    void FillList();
    void OnSize(int cx, int cy);
    void UpdatePreviews();
    // Shows one side of the key's item in its pane; `mode` may come back as the mode detected.
    void LoadPreview(const COutputKey& key, BOOL failed, int* mode);
    void OnSelChangeDisplayMode();
    void OnFind();
    int SelectedDisplayMode() const;

    CListCtrlEx list_;
    CFilePreviewCtrl leftPreview_;
    CFilePreviewCtrl rightPreview_;
    HWND displayMode_ = nullptr;
    CWorkSpace* workSpace_;
    std::unique_ptr<CFindDlg> findDlg_;
    BOOL failedOnly_ = TRUE;
};
