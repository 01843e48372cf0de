// CInstallBase, CInstall: construction and destruction, the stages Init, Run
// and Finish, what happens after the wizard, and the accessors of the pages.
#include "core/install.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <new>

#include "wizard/wizard.h"

namespace {

// A planned restart for a reconfiguration of the operating system.
const DWORD kRestartReason = 0x80020004;

}  // namespace

// CInstallBase ---------------------------------------------------------------

CInstallBase::CInstallBase()
    : Instance(nullptr), CurrentPage(0), OsCode(0), LanguageIndex(0), Is64BitOs(0), ProcessorArch(0xFFFF),
      SuiteMask(0), ProductType(0)
{
    CommonTexts.Clear();
    LanguageTexts[0].Clear();
    LanguageTexts[1].Clear();
}

// ScratchText, then the tables (already released) and Guard go with the
// members, in reverse order of declaration.
CInstallBase::~CInstallBase()
{
    CInstallBase::ReleaseTables();
}

HWND CInstallBase::OwnerWindow()
{
    return nullptr;
}

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

// CInstall -------------------------------------------------------------------

CInstall::CInstall()
    : DefaultLayoutLanguage(0), LayoutLanguage(0), SetAsDefault(1), ViewerAvailable(0), IsAdmin(0),
      RemovalDone(0), InstallDone(0), RestartRequested(0), EulaAccepted(0), UserToggleOption(1),
      DesktopShortcuts(1), NoteDesktopLinkMade(0), SharedDocDesktopLinkMade(0), DocDesktopLinkMade(0),
      LayoutVariant(-1), KeypadDecimal(-1), AltLayoutSetKept(0), AltLayoutSet(0), ModifyMode(0),
      ScancodeMapPresent(0), KeyTable(nullptr), KeyTableCount(kKeyTableCount), Wizard(nullptr), DocVersion(0),
      SharedDocVersion(0), SharedDocRefCount(0), InstalledVersion(0), InstallCount(0)
{
    ExtraTexts.Clear();
    // The run-time table starts as the standard one without any override.
    KeyTable = static_cast<KeyEntry*>(malloc(kKeyTableCount * sizeof(KeyEntry)));
    if (KeyTable == nullptr) {
        KeyTableCount = 0;  // the count always describes the array
        return;
    }
    memcpy(KeyTable, DefaultKeyTable, kKeyTableCount * sizeof(KeyEntry));
    for (int i = 0; i < kKeyTableCount; ++i)
        KeyTable[i].Vk = 0;
}

CInstall::~CInstall()
{
    CInstall::ReleaseTables();
    delete Wizard;
    Wizard = nullptr;
    free(KeyTable);
    KeyTable = nullptr;
    KeyTableCount = 0;
}

HWND CInstall::OwnerWindow()
{
    return Wizard != nullptr ? Wizard->GetMainHwnd() : nullptr;
}

int CInstall::Init(HINSTANCE instance)
{
    if (!CInstallBase::Init(instance))
        return 0;
    // Without its key table an install would silently drop the key choices.
    if (KeyTable == nullptr)
        return 0;
    if (!LoadTexts())
        return 0;

    Wizard = new (std::nothrow) CWizard(this);
    if (Wizard == nullptr || !Wizard->PrepareUi(instance))
        return 0;

    ReadDefaultLayoutLanguage();
    DefaultLayoutVariant();
    DefaultKeypadDecimal();
    return 1;
}

// The language the layout is added to below Windows Vista, as four
// hexadecimal digits; 0 when the text does not parse.
void CInstall::ReadDefaultLayoutLanguage()
{
    unsigned int value = 0;
    if (GetText(TXT_DEFAULT_LAYOUT_LANGUAGE, ScratchText) && swscanf(ScratchText.WideAt(0), L"%X", &value) == 1)
        DefaultLayoutLanguage = static_cast<uint16_t>(value & 0xFFFF);
}

void CInstall::ReleaseTables()
{
    CInstallBase::ReleaseTables();
    ExtraTexts.Release();
}

// 1: Finish is to follow; 0: the process ends without it.
int CInstall::Run()
{
    if (Wizard == nullptr)
        return 0;
    switch (StartupSteps()) {
    case STARTUP_STOP:
        return 0;
    case STARTUP_FINISH_ONLY:
        return 1;
    case STARTUP_CONTINUE:
        break;
    }
    return Wizard->RunMessageLoop() ? 1 : 0;
}

void CInstall::Finish()
{
    if (Wizard != nullptr) {
        Wizard->DestroyWindows();
        delete Wizard;
        Wizard = nullptr;
    }
    // The value needs texts: before the tables go.
    if (RemovalDone || InstallDone)
        WritePostRunValue();
    ReleaseTables();
    if (RestartRequested)
        RestartSystem();
}

// Non-zero when Windows accepted the restart request.
int CInstall::RestartSystem()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return 0;

    int result = 0;
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        // The result says nothing about a privilege the user does not hold
        // (ERROR_NOT_ALL_ASSIGNED): only the last error does.
        SetLastError(ERROR_SUCCESS);
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        if (GetLastError() == ERROR_SUCCESS)
            result = InitiateSystemShutdownExW(nullptr, const_cast<LPWSTR>(L""), 0, FALSE, TRUE, kRestartReason) ? 1 : 0;
    }
    CloseHandle(token);
    return result;
}

// Accessors for the user interface -------------------------------------------

int CInstall::SetLanguageIndex(int index)
{
    if (index != 0 && index != 1)
        return 0;
    LanguageIndex = index;
    return 1;
}

int CInstall::SetLayoutVariant(int variant)
{
    if (static_cast<unsigned>(variant) <= 2)
        LayoutVariant = variant;
    return variant;
}

int CInstall::SetKeypadDecimal(int keypadDecimal)
{
    if (keypadDecimal == 0 || keypadDecimal == 1)
        KeypadDecimal = keypadDecimal;
    return keypadDecimal;
}

// A modification keeps the licence the installed version was accepted with.
void CInstall::SetModifyMode(int value)
{
    ModifyMode = value;
    if (value)
        EulaAccepted = 1;
}
