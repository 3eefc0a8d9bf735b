#include <windows.h>

#include "VellbrookApp.h"

// The program reads no command line.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    theApp.InitInstance();
    return 0;
}
