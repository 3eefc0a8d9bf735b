#pragma once
// Identifiers shared by Vellbrook.rc and the code. Message texts keep the numbers the testers'
// documentation refers to.

#define IDS_APP_TITLE 100
#define IDS_ABOUTBOX 101
#define IDS_SYNCHRONIZE_DEVICES 104
#define IDS_SCRIPT_MODIFIED 105
#define IDS_SCRIPT_DELETE 106
#define IDS_BATCH_NOTHING_SELECTED 107
#define IDS_SAVE_BEFORE_RUN 108
#define IDS_BATCH_DRIVER_NOT_LOADED 109
#define IDS_BATCH_NO_DEVICE_CONTEXT 110
#define IDS_BATCH_DATABASE_NOT_OPENED 111
#define IDS_BATCH_OUTPUT_FOLDER_NOT_MADE 112
#define IDS_GLOBAL_SCRIPT_RESET 113
#define IDS_BUILD_UPDATES_DATABASE 114
#define IDS_DRIVER_NOT_LOADABLE 115
#define IDS_DRIVER_NOT_FOUND 116
// The result list's context menu.
#define IDS_LIST_FILTER_ON_VALUE 121
#define IDS_LIST_COPY_CELL 122
#define IDS_LIST_DISPLAY_ALL 123
#define IDS_LIST_COPY_ROW 124
// A script edit that could not be saved, and a device database that cannot be used.
#define IDS_SCRIPT_NOT_SAVED 131
#define IDS_SCRIPT_NEEDS_NAME 132
#define IDS_SCRIPT_NOT_STORED 133
#define IDS_DEVICE_DATABASE_UNUSABLE 134
#define IDS_FOLDER_NOT_MADE 135

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

// The result viewer and its search window.
#define IDD_RESULT_VIEWER 132
#define IDD_FIND 150
#define IDI_BUTTON_FIND 151
#define IDC_RESULT_LEFT_PREVIEW 1008
#define IDC_RESULT_RIGHT_PREVIEW 1009
#define IDC_RESULT_DISPLAY_MODE 1010
#define IDC_RESULT_LIST 1018
#define IDC_RESULT_DISPLAY_MODE_LABEL 1020
#define IDC_RESULT_FIND 1021
#define IDC_FIND_COLUMN_LABEL 1022
#define IDC_FIND_COLUMN 1023
#define IDC_FIND_CRITERIA_LABEL 1024
#define IDC_FIND_CRITERIA 1025

// Editor image strips (32 bits per pixel, 16 x 16 images side by side).
#define IDB_EDITOR_COMPLETION 130
#define IDB_EDITOR_MARKERS 131

#define IDR_TYPELIB 1
// The empty database, resource type "FILE".
#define IDR_DATABASE_TEMPLATE 129
