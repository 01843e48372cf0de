// File operations: creating, writing, deleting and scheduling files for the
// next restart. Results: non-zero for success, 0 for failure (handles: null,
// never INVALID_HANDLE_VALUE). Files in use are never forced: a delete that
// cannot happen now is handed to Windows for the next restart.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "payload/payload.h"
#include "payload/text_id.h"
#include "text/gstring.h"

class CGuard;
class CInstallBase;

// Exclusive write access; creates the file or truncates it.
HANDLE CreateFileForWrite(const WChar* path);
int WriteBytes(HANDLE file, const void* bytes, uint32_t cb);
// Writes the string's UTF-8 form: no byte-order mark, no terminator.
int WriteText(HANDLE file, GString& text);
// 1 when the file is gone now, or its delete at the next restart was recorded.
int DeleteOrSchedule(const WChar* path);
int DeleteOrSchedule(GString& path);
// Removes an empty folder only.
int RemoveDir(GString& path);
// One level; 1 also when the folder exists already.
int EnsureDir(const WChar* path);
// The temporary folder, with its trailing backslash.
int GetTempDir(GString& out);
// Creates an empty file with a unique name in folder (or the temporary
// folder when folder is null) and puts its full name in out.
int MakeTempFile(CInstallBase& app, GString& out, TextId prefix, const WChar* folder);
// Unpacks a payload item into a new file at path; 1 when the whole unpacked
// data was written.
int WritePayloadFile(const CGuard& guard, const WChar* path, const PayloadBlob& blob);
// Restart-time replacement and delete; the results are not examined.
void ScheduleReplace(const WChar* staging, const WChar* target);
void ScheduleDelete(const WChar* path);
