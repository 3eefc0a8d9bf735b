#pragma once
// Identifiers shared by Vellbrook.rc and the code. Message texts keep the numbers the testers'
// documentation refers to.

#define IDS_APP_TITLE 100
#define IDS_ABOUTBOX 101
#define IDS_SYNCHRONIZE_DEVICES 104
#define IDS_SCRIPT_MODIFIED 105
#define IDS_BATCH_NOTHING_SELECTED 107
#define IDS_BATCH_DRIVER_NOT_LOADED 109
#define IDS_BATCH_NO_DEVICE_CONTEXT 110
#define IDS_BATCH_DATABASE_NOT_OPENED 111
#define IDS_DRIVER_NOT_LOADABLE 115
#define IDS_DRIVER_NOT_FOUND 116

// Automation errors of the framework (outside the numbered message range).
#define IDS_GET_NOT_SUPPORTED 900
#define IDS_SET_NOT_SUPPORTED 901

// Command-button icons.
#define IDI_BUTTON_CANCEL 143
#define IDI_BUTTON_OK 144
#define IDI_BUTTON_BUILD 145
#define IDI_BUTTON_TEST 146
#define IDI_BUTTON_VIEW 147
#define IDI_BUTTON_NEW 148
#define IDI_BUTTON_DELETE 149
#define IDI_BUTTON_STOP 152

// The program and its main dialog.
#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDD_VELLBROOK_DIALOG 102
// A system-menu command: the low four bits are the system's own.
#define IDM_ABOUTBOX 0x0010
#define IDC_SCRIPT_NAME 1000
#define IDC_BROWSE_PRN_FOLDER 1001
#define IDC_MODE_COMPARE 1002
#define IDC_MODE_SNAPSHOT 1003
#define IDC_PRN_FOLDER 1004
#define IDC_FAMILY 1005
#define IDC_MODEL_LIST 1006
#define IDC_SCRIPT_LIST 1007
#define IDC_OUTPUT 1008
#define IDC_PRN_FOLDER_LABEL 1009
#define IDC_NAME_LABEL 1010
#define IDC_OUTPUT_LABEL 1011
#define IDC_NEW_SCRIPT 1012
#define IDC_DELETE_SCRIPT 1013
#define IDC_EDITOR 1014
#define IDC_TEST 1015
#define IDC_SCRIPT_KEY 1016
#define IDC_INFO_LOG 1017
#define IDC_VIEW 1018
#define IDC_BUILD 1019
#define IDC_STOP 1020

// Editor image strips (32 bits per pixel, 16 x 16 images side by side).
#define IDB_EDITOR_COMPLETION 130
#define IDB_EDITOR_MARKERS 131

#define IDR_TYPELIB 1
// The empty database, resource type "FILE".
#define IDR_DATABASE_TEMPLATE 129
