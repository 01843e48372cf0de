// The environment probe: Windows version and processor architecture,
// membership of the Administrators group, another running instance, and the
// start-up messages shown before the wizard exists.
#include "core/install.h"

#include "services/process.h"
#include "wizard/wizard.h"

namespace {

typedef void(WINAPI* NativeSystemInfoFn)(SYSTEM_INFO*);

const DWORD kVersionInfoExSize = 284;  // OSVERSIONINFOEXW
const DWORD kVersionInfoSize = 276;    // OSVERSIONINFOW

const uint16_t kArchX86 = 0;
const uint16_t kArchIa64 = 6;
const uint16_t kArchAmd64 = 9;

// Versions accepted on an x86 processor only, and on x86, IA64 and AMD64.
const int32_t kX86OnlyOs[] = {50, 51};
const int32_t kAnyArchOs[] = {52, 60, 61, 62, 63, 100};

template <size_t N>
int Contains(const int32_t (&codes)[N], int32_t code)
{
    for (int32_t c : codes)
        if (c == code)
            return 1;
    return 0;
}

}  // namespace

int CInstall::ProbeOs()
{
    ProcessorArch = 0xFFFF;
    OsCode = 0;
    Is64BitOs = 0;
    SuiteMask = 0;
    ProductType = 0;

    OSVERSIONINFOEXW version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = kVersionInfoExSize;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
        version.dwOSVersionInfoSize = kVersionInfoSize;
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)))
            return 0;
    }
    OsCode = int32_t(version.dwMajorVersion * 10 + version.dwMinorVersion);
    SuiteMask = version.wSuiteMask;
    ProductType = version.wProductType;

    // The native architecture: a 32-bit process on 64-bit Windows is told
    // x86 by GetSystemInfo.
    SYSTEM_INFO info;
    ZeroMemory(&info, sizeof info);
    HMODULE library = nullptr;
    NativeSystemInfoFn native = reinterpret_cast<NativeSystemInfoFn>(reinterpret_cast<void*>(
        ResolveFunction(*this, TXT_FN_NATIVE_SYSTEM_INFO, TXT_LIB_BASE_SERVICES, &library)));
    if (native != nullptr)
        native(&info);
    else
        GetSystemInfo(&info);
    if (library != nullptr)
        FreeLibrary(library);

    ProcessorArch = info.wProcessorArchitecture;
    Is64BitOs = ProcessorArch == kArchIa64 || ProcessorArch == kArchAmd64;
    return 1;
}

int CInstall::IsOsSupported() const
{
    if (Contains(kX86OnlyOs, OsCode))
        return ProcessorArch == kArchX86;
    if (Contains(kAnyArchOs, OsCode))
        return ProcessorArch == kArchX86 || ProcessorArch == kArchIa64 || ProcessorArch == kArchAmd64;
    return 0;
}

int CInstall::IsAdminMember()
{
    SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                  0, 0, 0, &administrators))
        return 0;
    BOOL member = FALSE;
    int result = CheckTokenMembership(nullptr, administrators, &member) ? (member != FALSE) : 0;
    FreeSid(administrators);
    return result;
}

int CInstall::ActivateOtherInstance()
{
    if (!GetText(TXT_WINDOW_CLASS, ScratchText))
        return 1;  // no class name to look for
    HWND other = FindWindowW(ScratchText.ToWide(-1), nullptr);
    if (other == nullptr)
        return 1;
    SetForegroundWindow(other);
    return 0;
}

int CInstall::ShowMessage(TextId id, UINT flags)
{
    if (Wizard == nullptr)
        return 0;
    return Wizard->ShowMessage(id, flags);
}
