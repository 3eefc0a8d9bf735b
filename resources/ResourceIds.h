#pragma once
// Identifiers shared by Vellbrook.rc and the code. Message texts keep the numbers the testers'
// documentation refers to.

#define IDS_APP_TITLE 100
#define IDS_SYNCHRONIZE_DEVICES 104
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

#define IDR_TYPELIB 1
// The empty database, resource type "FILE".
#define IDR_DATABASE_TEMPLATE 129
