// Process services: libraries loaded by TextId from the system folder,
// functions resolved at run time, and external commands started and briefly
// waited for.
#pragma once

#include <windows.h>

#include "payload/text_id.h"
#include "text/gstring.h"

class CInstallBase;

// The system folder (as this 32-bit process sees it) into out, no trailing
// backslash; 0 when it cannot be read.
int SystemFolder(GString& out);

// Loads the library named by text library from the system folder only: a
// library of the same name beside the executable or in the current folder is
// never taken. The caller releases it with FreeLibrary.
HMODULE LoadLibraryById(CInstallBase& app, TextId library);

// The function named by text function in the library named by text library.
// The library is loaded into *slot when the slot holds none, and stays there
// for the caller to free, also when the function is missing.
FARPROC ResolveFunction(CInstallBase& app, TextId function, TextId library, HMODULE* slot);

// Formats text format with the wide-text arguments that follow and starts
// the command, waiting for it at most one second. 0 only for a format of 0:
// a command that cannot be started is not noticed.
int RunCommand(CInstallBase& app, TextId format, ...);

// Starts a command line. A program given as a bare file name is started
// from the system folder and nowhere else. Waits at most waitMs; 1 when the
// process was started.
int StartCommandLine(GString& commandLine, DWORD waitMs);
