// The installer in the installed state, for the GUI driver: the real
// installer object through Init and the start-up steps, then the state an
// earlier installation of version 1.90 leaves, then the wizard.
#include <objbase.h>
#include <windows.h>

#include "core/install.h"
#include "wizard/wizard.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CInstall install;
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    int exitCode = 2;
    if (install.Init(instance) && install.StartupSteps() == CInstall::STARTUP_CONTINUE) {
        install.InstalledVersion = 190;
        exitCode = install.Wizard->RunMessageLoop() ? 0 : 1;
        install.Finish();
    }
    CoUninitialize();
    return exitCode;
}
