// The entry point: one installer object through its three stages.
#include <objbase.h>
#include <windows.h>

#include "core/install.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CInstall install;
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (install.Init(instance) && install.Run()) {
        install.Finish();
        CoUninitialize();
    }
    return 0;
}
