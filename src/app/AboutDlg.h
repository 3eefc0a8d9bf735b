#pragma once
#include "Dialog.h"
#include "ResourceIds.h"

class CAboutDlg : public vb::Dialog {
public:
    CAboutDlg() noexcept : Dialog(IDD_ABOUTBOX) {}
};
