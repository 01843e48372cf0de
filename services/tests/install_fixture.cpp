// The installer object for the Windows-side service tests: the real texts of
// the payload (LoadTexts) and the real probe, paths and start-up steps; the
// construction and stages, which these tests do not exercise, are kept to
// plain field set-up.
#include "core/install.h"

#include <stdlib.h>

CInstallBase::CInstallBase()
    : Instance(nullptr), CurrentPage(0), OsCode(0), LanguageIndex(0), Is64BitOs(0), ProcessorArch(0xFFFF),
      SuiteMask(0), ProductType(0)
{
    CommonTexts.Clear();
    LanguageTexts[0].Clear();
    LanguageTexts[1].Clear();
}
CInstallBase::~CInstallBase() { ReleaseTables(); }
HWND CInstallBase::OwnerWindow() { return nullptr; }
int CInstallBase::Init(HINSTANCE instance)
{
    Instance = instance;
    return 1;
}
void CInstallBase::ReleaseTables()
{
    CommonTexts.Release();
    LanguageTexts[0].Release();
    LanguageTexts[1].Release();
    Guard.Wipe();
}

CInstall::CInstall()
    : DefaultLayoutLanguage(0), LayoutLanguage(0), SetAsDefault(1), ViewerAvailable(0), IsAdmin(0), RemovalDone(0),
      InstallDone(0), RestartRequested(0), EulaAccepted(0), UserToggleOption(1), DesktopShortcuts(1),
      NoteDesktopLinkMade(0), SharedDocDesktopLinkMade(0), DocDesktopLinkMade(0), LayoutVariant(-1),
      KeypadDecimal(-1), AltLayoutSetKept(0), AltLayoutSet(0), ModifyMode(0), ScancodeMapPresent(0),
      KeyTable(nullptr), KeyTableCount(0), Wizard(nullptr), DocVersion(0), SharedDocVersion(0),
      SharedDocRefCount(0), InstalledVersion(0), InstallCount(0)
{
    ExtraTexts.Clear();
}
CInstall::~CInstall() { ReleaseTables(); }
HWND CInstall::OwnerWindow() { return nullptr; }
int CInstall::Init(HINSTANCE instance)
{
    Instance = instance;
    return LoadTexts();
}
void CInstall::ReleaseTables()
{
    CInstallBase::ReleaseTables();
    ExtraTexts.Release();
}
int CInstall::Run() { return 0; }
void CInstall::Finish() {}
int CInstall::RestartSystem() { return 0; }
int CInstall::SetLanguageIndex(int index)
{
    if (index != 0 && index != 1)
        return 0;
    LanguageIndex = index;
    return 1;
}
int CInstall::SetLayoutVariant(int variant)
{
    if (unsigned(variant) <= 2)
        LayoutVariant = variant;
    return variant;
}
int CInstall::SetKeypadDecimal(int value)
{
    if (value == 0 || value == 1)
        KeypadDecimal = value;
    return value;
}
void CInstall::SetModifyMode(int value)
{
    ModifyMode = value;
    if (value)
        EulaAccepted = 1;
}
