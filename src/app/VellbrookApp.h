#pragma once
#include <windows.h>

// The program's start-up: prepares the platform, runs the main dialog modally and ends with it.
class CVellbrookApp {
public:
    // Always FALSE: the main dialog's loop is the program's only message loop.
    BOOL InitInstance();
};

extern CVellbrookApp theApp;
