// File operations over the Win32 file API.
#include "services/files.h"

#include <stdlib.h>

#include "core/install.h"
#include "payload/guard.h"

namespace {

const int kTempDirRoom = 772;   // the platform is told one less
const int kTempNameRoom = 261;  // MAX_PATH + 1

inline int IsEmpty(const WChar* text) { return text == nullptr || text[0] == 0; }

}  // namespace

HANDLE CreateFileForWrite(const WChar* path)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

int WriteBytes(HANDLE file, const void* bytes, uint32_t cb)
{
    if (file == nullptr || bytes == nullptr || cb == 0)
        return 0;
    DWORD cbWritten = 0;
    return WriteFile(file, bytes, cb, &cbWritten, nullptr) && cbWritten == cb;
}

int WriteText(HANDLE file, GString& text)
{
    if (file == nullptr || text.IsEmpty())
        return 0;
    const char* bytes = text.ToNarrow(-1);
    if (bytes == nullptr)
        return 0;
    return WriteBytes(file, bytes, uint32_t(text.Length()));
}

int DeleteOrSchedule(const WChar* path)
{
    if (IsEmpty(path))
        return 0;
    if (DeleteFileW(path))
        return 1;
    if (GetLastError() == ERROR_FILE_NOT_FOUND)
        return 1;  // already gone
    return MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

int DeleteOrSchedule(GString& path)
{
    if (path.IsEmpty())
        return 0;
    return DeleteOrSchedule(path.ToWide(-1));
}

int RemoveDir(GString& path)
{
    if (path.IsEmpty())
        return 0;
    const WChar* text = path.ToWide(-1);
    return text != nullptr && RemoveDirectoryW(text);
}

int EnsureDir(const WChar* path)
{
    if (IsEmpty(path))
        return 0;
    return CreateDirectoryW(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

int GetTempDir(GString& out)
{
    out.ClearWide();
    WChar* tail = out.WideTail(kTempDirRoom);
    if (tail == nullptr)
        return 0;
    DWORD cch = GetTempPathW(kTempDirRoom - 1, tail);
    if (cch == 0 || cch > DWORD(kTempDirRoom - 1))
        return 0;
    return out.SetLength(int(cch));
}

int MakeTempFile(CInstallBase& app, GString& out, TextId prefix, const WChar* folder)
{
    if (prefix == 0)
        return 0;
    GString prefixText;
    app.GetText(prefix, prefixText);  // an absent text is an empty prefix
    GString tempDir;
    if (folder == nullptr) {
        if (!GetTempDir(tempDir))
            return 0;
        folder = tempDir.WideAt(0);
    }
    out.ClearWide();
    WChar* tail = out.WideTail(kTempNameRoom);
    const WChar* prefixWide = prefixText.ToWide(-1);
    if (tail == nullptr || prefixWide == nullptr)
        return 0;
    if (GetTempFileNameW(folder, prefixWide, 0, tail) == 0) {
        out.SetLength(0);
        return 0;
    }
    return out.SetLength(-1);
}

int WritePayloadFile(const CGuard& guard, const WChar* path, const PayloadBlob& blob)
{
    if (path == nullptr || blob.Data == nullptr)
        return 0;
    uint32_t cb = blob.Size;  // stored size in, unpacked size out
    uint8_t* data = guard.UnpackBlob(blob.Data, cb, nullptr);
    if (data == nullptr)
        return 0;
    int ok = 0;
    HANDLE file = CreateFileForWrite(path);
    if (file != nullptr) {
        ok = WriteBytes(file, data, cb);
        CloseHandle(file);
    }
    free(data);
    return ok;
}

void ScheduleReplace(const WChar* staging, const WChar* target)
{
    if (IsEmpty(staging) || IsEmpty(target))
        return;
    MoveFileExW(staging, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
}

void ScheduleDelete(const WChar* path)
{
    if (IsEmpty(path))
        return;
    MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
