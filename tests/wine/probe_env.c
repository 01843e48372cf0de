/* Reports what a program sees of the Wine scenario it runs in and, given
 * expectations, checks them:
 *   probe_env.exe [VERSION ARCHITECTURE WOW64 LANGID]
 * e.g. probe_env.exe 6.1 9 1 0x415. Exit code 0 when everything matches. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef void (WINAPI *GetNativeSystemInfoFn)(SYSTEM_INFO *);
typedef BOOL (WINAPI *IsWow64ProcessFn)(HANDLE, BOOL *);

/* Both functions are missing on the oldest systems, so they are looked up. */
static unsigned native_architecture(void)
{
    SYSTEM_INFO si;
    GetNativeSystemInfoFn fn = (GetNativeSystemInfoFn)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo");
    if (fn)
        fn(&si);
    else
        GetSystemInfo(&si);
    return si.wProcessorArchitecture;
}

static int is_wow64(void)
{
    BOOL wow64 = FALSE;
    IsWow64ProcessFn fn = (IsWow64ProcessFn)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    if (fn && !fn(GetCurrentProcess(), &wow64))
        wow64 = FALSE;
    return wow64 ? 1 : 0;
}

static int check(const char *what, const char *seen, const char *expected)
{
    if (strcmp(seen, expected) == 0)
        return 1;
    printf("MISMATCH %s: saw %s, expected %s\n", what, seen, expected);
    return 0;
}

int main(int argc, char **argv)
{
    OSVERSIONINFOA vi;
    char version[32], arch[16], wow64[8], lang[16], expected_lang[16];
    const char *env = getenv("WINE_SCENARIO_PREFIX");
    int ok = 1;

    memset(&vi, 0, sizeof vi);
    vi.dwOSVersionInfoSize = sizeof vi;
    if (!GetVersionExA(&vi)) {
        printf("GetVersionEx failed\n");
        return 1;
    }
    snprintf(version, sizeof version, "%lu.%lu", vi.dwMajorVersion, vi.dwMinorVersion);
    snprintf(arch, sizeof arch, "%u", native_architecture());
    snprintf(wow64, sizeof wow64, "%d", is_wow64());
    snprintf(lang, sizeof lang, "0x%x", GetUserDefaultLangID());
    printf("version %s build %lu\narchitecture %s\nwow64 %s\nlangid %s\nprefix %s\n",
           version, vi.dwBuildNumber, arch, wow64, lang, env ? env : "(unset)");

    if (argc == 5) {
        snprintf(expected_lang, sizeof expected_lang, "0x%lx", strtoul(argv[4], NULL, 0));
        ok &= check("version", version, argv[1]);
        ok &= check("architecture", arch, argv[2]);
        ok &= check("wow64", wow64, argv[3]);
        ok &= check("langid", lang, expected_lang);
        ok &= check("WINE_SCENARIO_PREFIX set", env ? "yes" : "no", "yes");
    } else if (argc != 1) {
        printf("usage: probe_env.exe [VERSION ARCHITECTURE WOW64 LANGID]\n");
        return 2;
    }
    return ok ? 0 : 1;
}
