#pragma once
#include <windows.h>

#include "ListCtrlEx.h"
#include "StdDialog.h"

// The result viewer's "Search" window: a column of the list and the start of a cell text to
// look for. It lives modeless beside the viewer, hidden rather than destroyed when closed, and
// "Go" (or Enter) searches without closing it.
class CFindDlg : public CStdDialog {
public:
    CFindDlg(CListCtrlEx* list, HWND parent) noexcept;

    // Creates the window on first use (centred over its owner), then shows it and brings it to
    // the front; TRUE when the window exists.
    BOOL Show();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void CentreOverOwner();

    CListCtrlEx* list_;
};
