// A minimal installer object for the Windows-side UI tests: the real texts and
// licences of the payload (LoadTexts), everything else plain fields that a
// test sets itself. The installer's own stages are not part of it.
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

