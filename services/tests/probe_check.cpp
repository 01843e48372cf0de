// Runs the installer's start-up steps (texts, option defaults, language,
// probe, layout language, paths, association and administrator checks) on
// the Windows version and user language of the prefix, prints every field
// and compares it with what that system must give.
//
// Usage: probe_check OSCODE ARCH LANGUAGE_INDEX
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include <string>

#include "core/install.h"

namespace {

int g_failures = 0;

void Check(bool ok, const char* what, const std::wstring& got, const std::wstring& expected)
{
    printf("%-22s %-4s %ls\n", what, ok ? "ok" : "FAIL", got.c_str());
    if (!ok) {
        printf("%-22s      expected %ls\n", "", expected.c_str());
        g_failures++;
    }
}

void CheckInt(const char* what, long got, long expected)
{
    Check(got == expected, what, std::to_wstring(got), std::to_wstring(expected));
}

std::wstring Str(GString& s)
{
    const wchar_t* p = s.ToWide(-1);
    return p ? std::wstring(p, s.Length()) : std::wstring();
}

void CheckPath(const char* what, GString& field, const std::wstring& expected)
{
    std::wstring got = Str(field);
    Check(got == expected, what, got, expected);
}

std::wstring SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: probe_check OSCODE ARCH LANGUAGE_INDEX\n");
        return 2;
    }
    const int osCode = _wtoi(argv[1]), arch = _wtoi(argv[2]), languageIndex = _wtoi(argv[3]);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CInstall app;
    if (!app.Init(GetModuleHandleW(nullptr))) {
        fprintf(stderr, "the payload's texts do not open\n");
        return 2;
    }
    // Init's last steps: the layout language of text 86 and the defaults.
    app.DefaultLayoutLanguage = 0x0415;
    app.DefaultLayoutVariant();
    app.DefaultKeypadDecimal();
    CInstall::StartupResult result = app.StartupSteps();

    const bool polish = languageIndex == 1;
    CheckInt("StartupSteps", result, CInstall::STARTUP_CONTINUE);
    CheckInt("OsCode", app.OsCode, osCode);
    CheckInt("ProcessorArch", app.ProcessorArch, arch);
    CheckInt("Is64BitOs", app.Is64BitOs, arch == 9 || arch == 6);
    CheckInt("IsOsSupported", app.IsOsSupported(), 1);
    CheckInt("LanguageIndex", app.LanguageIndex, languageIndex);
    CheckInt("LayoutLanguage", app.LayoutLanguage, osCode >= 60 ? (polish ? 0x0415 : 0x0409) : 0x0415);
    CheckInt("SetAsDefault", app.SetAsDefault, osCode >= 51);
    CheckInt("IsAdmin", app.IsAdmin, 1);
    CheckInt("LayoutVariant", app.LayoutVariant, 0);
    // The Polish locale writes decimals with a comma, the English one with a point.
    CheckInt("KeypadDecimal", app.KeypadDecimal, polish ? 0 : 1);

    // A 32-bit program on 64-bit Windows sees the 32-bit Program Files.
    std::wstring programFiles = SpecialFolder(CSIDL_PROGRAM_FILES);
    Check((programFiles.find(L"(x86)") != std::wstring::npos) == (arch == 9), "Program Files", programFiles,
          arch == 9 ? L"...(x86)" : L"without (x86)");
    const std::wstring install = programFiles + L"\\Kreska\\Keyboard Layouts";
    const std::wstring group = SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Kreska\\Keyboard Layouts";
    const std::wstring desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    const std::wstring shared = polish ? L"Typografia na klawiaturze (Kreska)" : L"Typography on the keyboard (Kreska)";
    const std::wstring note = polish ? L"Kreska Polish - przeczytaj" : L"Kreska Polish - read me";
    const std::wstring pointer = polish ? L"Strona domowa Kreski" : L"Kreska home page";
    const std::wstring uninstall = polish ? L"Odinstaluj Kreska Polish" : L"Uninstall Kreska Polish";
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const wchar_t* selfName = wcsrchr(self, L'\\') + 1;

    CheckPath("InstallBaseDir", app.InstallBaseDir, programFiles + L"\\Kreska");
    CheckPath("InstallDir", app.InstallDir, install);
    CheckPath("GroupBaseDir", app.GroupBaseDir, SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Kreska");
    CheckPath("GroupDir", app.GroupDir, group);
    CheckPath("SharedDocFile", app.SharedDocFile, install + L"\\" + shared + L".pdf");
    CheckPath("SharedDocGroupLink", app.SharedDocGroupLink, group + L"\\" + shared + L".lnk");
    CheckPath("SharedDocDesktopLink", app.SharedDocDesktopLink, desktop + L"\\" + shared + L".lnk");
    CheckPath("DocFile", app.DocFile, install + L"\\Kreska Polish.pdf");
    CheckPath("DocGroupLink", app.DocGroupLink, group + L"\\Kreska Polish.lnk");
    CheckPath("DocDesktopLink", app.DocDesktopLink, desktop + L"\\Kreska Polish.lnk");
    CheckPath("NoteFile", app.NoteFile, install + L"\\" + note + L".txt");
    CheckPath("NoteGroupLink", app.NoteGroupLink, group + L"\\" + note + L".lnk");
    CheckPath("NoteDesktopLink", app.NoteDesktopLink, desktop + L"\\" + note + L".lnk");
    CheckPath("PointerGroupFile", app.PointerGroupFile, group + L"\\" + pointer + L".url");
    CheckPath("PointerDesktopFile", app.PointerDesktopFile, desktop + L"\\" + pointer + L".url");
    CheckPath("PointerTarget", app.PointerTarget, install + L"\\kreska.html");
    Check(_wcsicmp(Str(app.SelfPath).c_str(), self) == 0, "SelfPath", Str(app.SelfPath), self);
    Check(_wcsicmp(Str(app.SetupCopy).c_str(), (install + L"\\" + selfName).c_str()) == 0, "SetupCopy",
          Str(app.SetupCopy), install + L"\\" + selfName);
    CheckPath("UninstallTitle", app.UninstallTitle, uninstall);
    CheckPath("UninstallLink", app.UninstallLink, group + L"\\" + uninstall + L".lnk");

    printf("%d failure(s)\n", g_failures);
    CoUninitialize();
    return g_failures == 0 ? 0 : 1;
}
