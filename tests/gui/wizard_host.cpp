// A test host for the wizard: a minimal installer object around the real
// controller, pages, texts and licences, so that the GUI driver can run the
// wizard in states that are hard to reach on a test machine.
//
//   wizard_host.exe [--installed] [--no-admin] [--os CODE]
//
// The installer's own stages (probe, detection, install) are not part of it:
// the object is set up from the arguments instead.
#include <windows.h>
#include <shellapi.h>

#include "core/install.h"
#include "wizard/wizard.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CInstall install;
    if (!install.Init(instance))
        return 2;
    install.LanguageIndex = PRIMARYLANGID(GetUserDefaultLangID()) == LANG_POLISH ? 1 : 0;
    install.OsCode = 60;
    install.IsAdmin = 1;

    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv != nullptr && i < argc; i++) {
        if (lstrcmpW(argv[i], L"--installed") == 0)
            install.InstalledVersion = 190;
        else if (lstrcmpW(argv[i], L"--no-admin") == 0)
            install.IsAdmin = 0;
        else if (lstrcmpW(argv[i], L"--os") == 0 && i + 1 < argc)
            install.OsCode = _wtoi(argv[++i]);
    }
    LocalFree(argv);

    // A second start hands over to the wizard already open.
    GString className;
    install.GetText(TXT_WINDOW_CLASS, className);
    HWND running = FindWindowW(className.WideAt(0), nullptr);
    if (running != nullptr) {
        SetForegroundWindow(running);
        return 0;
    }

    install.Wizard = new CWizard(&install);
    if (install.Wizard->PrepareUi(instance))
        install.Wizard->RunMessageLoop();
    install.Wizard->DestroyWindows();
    return 0;
}
