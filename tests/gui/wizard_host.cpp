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

// Members of the installer object that the wizard does not exercise here.
CInstallBase::CInstallBase()
    : Instance(nullptr), CurrentPage(0), OsCode(0), LanguageIndex(0), Is64BitOs(0), ProcessorArch(0),
      SuiteMask(0), ProductType(0)
{
    CommonTexts.Clear();
    LanguageTexts[0].Clear();
    LanguageTexts[1].Clear();
}
CInstallBase::~CInstallBase() {}
HWND CInstallBase::OwnerWindow() { return nullptr; }
int CInstallBase::Init(HINSTANCE instance) { Instance = instance; return 1; }
void CInstallBase::ReleaseTables()
{
    CommonTexts.Release();
    LanguageTexts[0].Release();
    LanguageTexts[1].Release();
}

CInstall::CInstall()
    : DefaultLayoutLanguage(0), LayoutLanguage(0), SetAsDefault(0), ViewerAvailable(0), IsAdmin(0), RemovalDone(0),
      InstallDone(0), RestartRequested(0), EulaAccepted(0), UserToggleOption(0), DesktopShortcuts(0),
      NoteDesktopLinkMade(0), SharedDocDesktopLinkMade(0), DocDesktopLinkMade(0), LayoutVariant(-1),
      KeypadDecimal(-1), AltLayoutSetKept(0), AltLayoutSet(0), ModifyMode(0), ScancodeMapPresent(0),
      KeyTable(nullptr), KeyTableCount(0), Wizard(nullptr), DocVersion(0), SharedDocVersion(0),
      SharedDocRefCount(0), InstalledVersion(0), InstallCount(0)
{
    ExtraTexts.Clear();
}
CInstall::~CInstall()
{
    delete Wizard;
    ReleaseTables();
}
HWND CInstall::OwnerWindow() { return nullptr; }
int CInstall::Init(HINSTANCE instance) { Instance = instance; return LoadTexts(); }
void CInstall::ReleaseTables()
{
    CInstallBase::ReleaseTables();
    ExtraTexts.Release();
}
int CInstall::Run() { return 0; }
void CInstall::Finish() {}
void CInstall::WritePostRunValue() {}
int CInstall::RestartSystem() { return 0; }
int CInstall::SetLanguageIndex(int index)
{
    if (index != 0 && index != 1)
        return 0;
    LanguageIndex = index;
    return 1;
}
int CInstall::SetLayoutVariant(int variant) { return variant >= 0 && variant <= 2 ? (LayoutVariant = variant, 1) : 0; }
int CInstall::SetKeypadDecimal(int value) { return value == 0 || value == 1 ? (KeypadDecimal = value, 1) : 0; }
void CInstall::SetModifyMode(int value)
{
    ModifyMode = value;
    if (value)
        EulaAccepted = 1;
}
int CInstall::DefaultLayoutVariant() { return LayoutVariant; }
int CInstall::DefaultKeypadDecimal() { return KeypadDecimal; }

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
