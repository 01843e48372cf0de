// Process services over the Win32 loader and process API.
#include "services/process.h"

#include <stdarg.h>

#include "core/install.h"

namespace {

const DWORD kCommandWaitMs = 1000;
const DWORD kStartupInfoSize = 68;  // sizeof(STARTUPINFOW) of the 32-bit ABI

// LoadLibraryExW flag of systems with the safe search-path API; older
// systems refuse it with ERROR_INVALID_PARAMETER.
const DWORD kLoadFromSystem32Only = 0x00000800;

}  // namespace

int SystemFolder(GString& out)
{
    out.ClearWide();
    WChar* tail = out.WideTail(MAX_PATH + 1);
    if (tail == nullptr)
        return 0;
    UINT cch = GetSystemDirectoryW(tail, MAX_PATH + 1);
    if (cch == 0 || cch > MAX_PATH)
        return 0;
    return out.SetLength(int(cch));
}

HMODULE LoadLibraryById(CInstallBase& app, TextId library)
{
    if (!app.GetText(library, app.ScratchText))
        return nullptr;
    const WChar* name = app.ScratchText.ToWide(-1);
    if (name == nullptr || name[0] == 0)
        return nullptr;
    // Where the loader can be told to look only in the system folder, it is.
    HMODULE module = LoadLibraryExW(name, nullptr, kLoadFromSystem32Only);
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // Older loaders: the full path in the system folder; its own
    // dependencies are then also looked for there first.
    GString path;
    if (!SystemFolder(path) || !path.AppendPathWide(name, -1))
        return nullptr;
    return LoadLibraryExW(path.WideAt(0), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC ResolveFunction(CInstallBase& app, TextId function, TextId library, HMODULE* slot)
{
    if (slot == nullptr)
        return nullptr;
    if (*slot == nullptr) {
        *slot = LoadLibraryById(app, library);
        if (*slot == nullptr)
            return nullptr;
    }
    if (!app.GetText(function, app.ScratchText))
        return nullptr;
    const char* name = app.ScratchText.ToNarrow(-1);
    if (name == nullptr || name[0] == 0)
        return nullptr;
    return GetProcAddress(*slot, name);
}

namespace {

// The program of a command line: the first argument, unquoted, into out.
void ProgramOf(const WChar* line, GString& out)
{
    out.ClearWide();
    while (*line == ' ' || *line == '\t')
        line++;
    WChar end = ' ';
    if (*line == '"') {
        end = '"';
        line++;
    }
    int cch = 0;
    while (line[cch] != 0 && line[cch] != end && !(end == ' ' && line[cch] == '\t'))
        cch++;
    out.AppendWide(line, cch);
}

// A bare file name names no folder: the loader would search the executable's
// own folder and the current folder for it before the system folder.
int IsBareFileName(GString& program)
{
    const WChar separators[] = {'\\', '/', ':'};
    for (WChar c : separators)
        if (program.FindWide(&c, 0, 1) >= 0)
            return 0;
    return !program.IsEmpty();
}

}  // namespace

int StartCommandLine(GString& commandLine, DWORD waitMs)
{
    if (commandLine.ToWide(-1) == nullptr || commandLine.IsEmpty())
        return 0;
    GString program;
    ProgramOf(commandLine.WideAt(0), program);
    // A bare program name is started from the system folder, never searched
    // for: a program of that name planted beside the installer would run
    // with its administrator rights.
    GString application;
    if (IsBareFileName(program)) {
        const WChar dot = '.';
        if (!SystemFolder(application) || !application.AppendPathWide(program.WideAt(0), program.Length()))
            return 0;
        if (program.FindWide(&dot, 0, 1) < 0) {
            const WChar exe[] = {'.', 'e', 'x', 'e', 0};
            application.AppendWide(exe, -1);
        }
    }
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = kStartupInfoSize;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    // The command-line buffer is the string's own: the platform may write
    // into it but not beyond its terminator.
    WChar* line = const_cast<WChar*>(commandLine.WideAt(0));
    const WChar* appName = application.IsEmpty() ? nullptr : application.WideAt(0);
    if (!CreateProcessW(appName, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0;
    WaitForSingleObject(process.hProcess, waitMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

int RunCommand(CInstallBase& app, TextId format, ...)
{
    if (format == 0)
        return 0;
    if (!app.GetText(format, app.ScratchText))
        return 1;  // nothing to start; not noticed, like a failed start
    GString command;
    command.ClearWide();
    va_list args;
    va_start(args, format);
    int formatted = command.FormatAppendV(app.ScratchText.WideAt(0), args);
    va_end(args);
    if (formatted)
        StartCommandLine(command, kCommandWaitMs);
    return 1;
}
