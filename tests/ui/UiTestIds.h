#pragma once

// The test dialog: a drop-down combo (whose edit is a grandchild of the dialog), a label, a
// plain push button and OK (default) and Cancel, in this z-order.
#define IDD_TEST_DIALOG 9100
#define IDC_TEST_COMBO 9101
#define IDC_TEST_LABEL 9102
#define IDC_TEST_BUTTON 9103
