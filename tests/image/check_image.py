#!/usr/bin/env python3
"""Checks that an executable is an image every supported Windows can load.

    check_image.py IMAGE.exe

A PE32 (i386) GUI executable, relocatable with a .reloc section and marked
DYNAMIC_BASE and NX_COMPAT, asking for at most Windows 5.0, importing only
from system DLLs (so the runtimes are linked in statically) and none of the
functions Windows 2000 lacks. Prints every problem found; exit code 1 when
there is one, 0 otherwise.
"""

import struct
import sys

MACHINE_I386 = 0x14C
SUBSYSTEM_GUI = 2
FILE_RELOCS_STRIPPED = 0x0001
FILE_DLL = 0x2000
DLLCHAR_DYNAMIC_BASE = 0x0040
DLLCHAR_NX_COMPAT = 0x0100
DIR_IMPORT, DIR_BASERELOC, DIR_DELAY_IMPORT = 1, 5, 13

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
    "shlwapi.dll", "ole32.dll", "oleaut32.dll", "comctl32.dll", "comdlg32.dll",
    "msvcrt.dll", "version.dll",
}

# Functions the system DLLs of Windows 2000 do not export: a static import of
# one of them stops the image from loading there. Look them up at run time.
NEWER_FUNCTIONS = {
    "kernel32.dll": """
        GetNativeSystemInfo IsWow64Process IsWow64Process2
        Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection
        Wow64EnableWow64FsRedirection GetSystemWow64DirectoryW GetSystemWow64DirectoryA
        SetDefaultDllDirectories SetDllDirectoryW SetDllDirectoryA GetDllDirectoryW
        GetDllDirectoryA AddDllDirectory RemoveDllDirectory GetTickCount64
        InitializeCriticalSectionEx InitOnceExecuteOnce InitOnceInitialize
        GetLogicalProcessorInformation SetProcessDEPPolicy GetProcessDEPPolicy
        HeapSetInformation GetModuleHandleExW GetModuleHandleExA AttachConsole
        GetProcessId GetThreadId FlsAlloc FlsFree FlsGetValue FlsSetValue
        AddVectoredExceptionHandler RemoveVectoredExceptionHandler
        InitializeSListHead InterlockedPushEntrySList InterlockedPopEntrySList
        InterlockedFlushSList EncodePointer DecodePointer GetSystemTimes
        TzSpecificLocalTimeToSystemTime CreateSymbolicLinkW CreateSymbolicLinkA
        GetFinalPathNameByHandleW QueryFullProcessImageNameW QueryFullProcessImageNameA
        LocaleNameToLCID LCIDToLocaleName GetUserDefaultLocaleName CompareStringEx
        InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared
        ReleaseSRWLockExclusive ReleaseSRWLockShared InitializeConditionVariable
        SleepConditionVariableCS SleepConditionVariableSRW WakeConditionVariable
        WakeAllConditionVariable CreateEventExW CreateMutexExW CreateSemaphoreExW
        GetErrorMode SetThreadErrorMode GetThreadErrorMode CreateActCtxW
        ActivateActCtx DeactivateActCtx ReleaseActCtx GetCurrentProcessorNumber
        GetFileInformationByHandleEx SetFileInformationByHandle
        """,
    "advapi32.dll": """
        RegDeleteKeyExW RegDeleteKeyExA RegGetValueW RegGetValueA RegDeleteTreeW
        RegDeleteTreeA RegCopyTreeW RegSetKeyValueW RegDeleteKeyValueW
        RegLoadMUIStringW RegDisableReflectionKey RegEnableReflectionKey
        RegQueryReflectionKey RegOpenKeyTransactedW
        """,
    "user32.dll": """
        SetProcessDPIAware SetProcessDpiAwarenessContext GetDpiForWindow
        ChangeWindowMessageFilter ChangeWindowMessageFilterEx
        GetLayeredWindowAttributes PrintWindow RegisterRawInputDevices
        """,
    "shell32.dll": """
        SHGetKnownFolderPath SHCreateItemFromParsingName SHGetStockIconInfo
        """,
    "comctl32.dll": "TaskDialog TaskDialogIndirect",
    # Later runtime additions: the secure (_s) family is matched by suffix.
    "msvcrt.dll": """
        _aligned_malloc _aligned_free _aligned_realloc _aligned_offset_malloc
        _scprintf _scwprintf _vscprintf _vscwprintf _fseeki64 _ftelli64
        _time64 _localtime64 _gmtime64 _mktime64 _wfindfirst64 _stat64 _wstat64
        """,
}
NEWER_FUNCTIONS = {dll: set(names.split()) for dll, names in NEWER_FUNCTIONS.items()}


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, nsections, _, _, _, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        if self.magic != 0x10B:
            raise ValueError("not a PE32 image (optional header magic 0x%x)" % self.magic)
        self.os_version = struct.unpack_from("<HH", data, opt + 40)
        self.subsystem_version = struct.unpack_from("<HH", data, opt + 48)
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, opt + 68)
        ndirs = struct.unpack_from("<I", data, opt + 92)[0]
        self.dirs = [struct.unpack_from("<II", data, opt + 96 + 8 * i) for i in range(min(ndirs, 16))]
        self.sections = []
        for i in range(nsections):
            off = opt + opt_size + 40 * i
            name = data[off:off + 8].rstrip(b"\0").decode("latin-1")
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, off + 8)
            self.sections.append((name, va, max(vsize, rawsize), rawptr, rawsize))

    def directory(self, index):
        return self.dirs[index] if index < len(self.dirs) else (0, 0)

    def offset(self, rva):
        for _, va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size and rva - va < rawsize:
                return rawptr + rva - va
        raise ValueError("RVA 0x%x outside the sections" % rva)

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def cstring(self, rva):
        off = self.offset(rva)
        return self.data[off:self.data.index(b"\0", off)].decode("latin-1")

    def thunk_names(self, rva):
        names = []
        while rva:
            value = self.u32(rva)
            if value == 0:
                break
            names.append("#%d" % (value & 0xFFFF) if value & 0x80000000 else self.cstring(value + 2))
            rva += 4
        return names

    def imports(self):
        """{dll name (lower case): [function names]}, delay-loaded ones included."""
        result = {}
        rva, size = self.directory(DIR_IMPORT)
        while rva and size:
            lookup, _, _, name, iat = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if name == 0:
                break
            result.setdefault(self.cstring(name).lower(), []).extend(self.thunk_names(lookup or iat))
            rva += 20
        rva, size = self.directory(DIR_DELAY_IMPORT)
        while rva and size:
            fields = struct.unpack_from("<8I", self.data, self.offset(rva))
            if fields[1] == 0:
                break
            result.setdefault(self.cstring(fields[1]).lower(), []).extend(self.thunk_names(fields[4]))
            rva += 32
        return result


def problems(image):
    found = []
    if image.machine != MACHINE_I386:
        found.append("machine 0x%x, expected i386 (0x14c)" % image.machine)
    if image.characteristics & FILE_DLL:
        found.append("a DLL, expected an executable")
    if image.subsystem != SUBSYSTEM_GUI:
        found.append("subsystem %d, expected the GUI subsystem (2)" % image.subsystem)
    if not image.dll_characteristics & DLLCHAR_DYNAMIC_BASE:
        found.append("DYNAMIC_BASE is not set")
    if not image.dll_characteristics & DLLCHAR_NX_COMPAT:
        found.append("NX_COMPAT is not set")
    if image.characteristics & FILE_RELOCS_STRIPPED or image.directory(DIR_BASERELOC)[1] == 0 \
            or not any(s[0] == ".reloc" for s in image.sections):
        found.append("no base relocations (.reloc), so the image cannot be moved")
    for what, version in (("operating system", image.os_version),
                          ("subsystem", image.subsystem_version)):
        if version > (5, 0):
            found.append("asks for %s version %d.%d, Windows 2000 is 5.0" % ((what,) + version))
    for dll, names in sorted(image.imports().items()):
        if dll not in SYSTEM_DLLS:
            found.append("imports from %s, which is not a system DLL" % dll)
            continue
        for name in names:
            if name in NEWER_FUNCTIONS.get(dll, ()) or (dll == "msvcrt.dll" and name.endswith("_s")):
                found.append("imports %s!%s, which Windows 2000 lacks" % (dll, name))
    return found


def main(argv):
    if len(argv) != 1:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        with open(argv[0], "rb") as f:
            image = PeImage(f.read())
        found = problems(image)
    except (OSError, ValueError, struct.error) as e:
        print("%s: cannot read the image: %s" % (argv[0], e))
        return 1
    for problem in found:
        print("%s: %s" % (argv[0], problem))
    if found:
        return 1
    imports = image.imports()
    print("%s: ok (%s)" % (argv[0], ", ".join("%s: %d" % (d, len(n)) for d, n in sorted(imports.items()))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
