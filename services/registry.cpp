// Registry layer: thin wrappers over the Win32 registry calls with strict
// type checks, and their TextId-named forms.
#include "services/registry.h"

#include <stdlib.h>

#include "core/install.h"

namespace {

inline int IsEmpty(const WChar* text) { return text == nullptr || text[0] == 0; }

}  // namespace

// Plain operations ---------------------------------------------------------

HKEY OpenKey(HKEY parent, const WChar* subPath, REGSAM access)
{
    if (parent == nullptr || IsEmpty(subPath))
        return nullptr;  // an empty path would hand back the parent itself
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, subPath, 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CreateKey(HKEY parent, const WChar* subPath, REGSAM access)
{
    if (parent == nullptr || IsEmpty(subPath))
        return nullptr;
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, subPath, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

int SetBinaryValue(HKEY key, const WChar* name, const void* bytes, uint32_t cb)
{
    return RegSetValueExW(key, name, 0, REG_BINARY, static_cast<const BYTE*>(bytes), cb) == ERROR_SUCCESS;
}

uint8_t* QueryBinaryValue(HKEY key, const WChar* name, uint32_t& cb)
{
    cb = 0;
    DWORD type = 0;
    DWORD cbFirst = 0;
    LONG rc = RegQueryValueExW(key, name, nullptr, &type, nullptr, &cbFirst);
    if ((rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) || cbFirst == 0 || type != REG_BINARY)
        return nullptr;
    uint8_t* buffer = static_cast<uint8_t*>(malloc(cbFirst));
    if (buffer == nullptr)
        return nullptr;
    // The value may change between the two reads: only the same size and
    // type count.
    DWORD cbRead = cbFirst;
    rc = RegQueryValueExW(key, name, nullptr, &type, buffer, &cbRead);
    if (rc != ERROR_SUCCESS || cbRead != cbFirst || type != REG_BINARY) {
        free(buffer);
        return nullptr;
    }
    cb = cbRead;
    return buffer;
}

int SetDwordValue(HKEY key, const WChar* name, uint32_t value)
{
    DWORD data = value;
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
           ERROR_SUCCESS;
}

int QueryDwordValue(HKEY key, const WChar* name, uint32_t& value)
{
    // Room for more than four bytes, so that a longer value is reported as
    // what it is instead of as a short read.
    DWORD data[2] = {0, 0};
    DWORD type = 0;
    DWORD cb = sizeof data;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &cb) != ERROR_SUCCESS ||
        type != REG_DWORD || cb != sizeof(DWORD))
        return 0;
    value = data[0];
    return 1;
}

int SetStringValue(HKEY key, const WChar* name, GString& data)
{
    if (key == nullptr || IsEmpty(name))
        return 0;
    const WChar* text = data.ToWide(-1);
    if (text == nullptr)
        return 0;
    DWORD cb = DWORD(data.Length() + 1) * sizeof(WChar);  // terminator included
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), cb) == ERROR_SUCCESS;
}

int QueryStringValue(HKEY key, const WChar* name, GString& out)
{
    if (key == nullptr || IsEmpty(name))
        return 0;
    out.ClearWide();
    DWORD type = 0;
    DWORD cb = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &cb) != ERROR_SUCCESS || type != REG_SZ)
        return 0;
    if (cb == 0)
        return 1;
    // One unit more than the value holds, so that the text always ends in a
    // zero even when the value was stored without its terminator.
    int cchRoom = int(cb / sizeof(WChar)) + 1;
    WChar* tail = out.WideTail(cchRoom);
    if (tail == nullptr)
        return 0;
    DWORD cbRead = DWORD(cchRoom - 1) * sizeof(WChar);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(tail), &cbRead) != ERROR_SUCCESS ||
        type != REG_SZ)
        return 0;
    out.SetLength(cbRead == 0 ? 0 : int((cbRead - 1) / sizeof(WChar)));
    return 1;
}

int StringValueEquals(HKEY key, const WChar* name, GString& data)
{
    GString stored;
    if (!QueryStringValue(key, name, stored))
        return 0;
    return stored == data;
}

int DeleteValue(HKEY key, const WChar* name)
{
    if (key == nullptr || IsEmpty(name))
        return 0;
    return RegDeleteValueW(key, name) == ERROR_SUCCESS;
}

// Named operations ---------------------------------------------------------

namespace {

// The text of id in the installer's scratch string, or null.
const WChar* ScratchName(CInstallBase& app, TextId id)
{
    if (!app.GetText(id, app.ScratchText))
        return nullptr;
    return app.ScratchText.ToWide(-1);
}

}  // namespace

HKEY OpenKeyById(CInstallBase& app, HKEY parent, TextId path, REGSAM access)
{
    const WChar* name = ScratchName(app, path);
    return name ? OpenKey(parent, name, access) : nullptr;
}

HKEY CreateKeyById(CInstallBase& app, HKEY parent, TextId path, REGSAM access)
{
    const WChar* name = ScratchName(app, path);
    return name ? CreateKey(parent, name, access) : nullptr;
}

int SetBinaryValueById(CInstallBase& app, HKEY key, TextId name, const void* bytes, uint32_t cb)
{
    const WChar* text = ScratchName(app, name);
    return text ? SetBinaryValue(key, text, bytes, cb) : 0;
}

uint8_t* QueryBinaryValueById(CInstallBase& app, HKEY key, TextId name, uint32_t& cb)
{
    cb = 0;
    const WChar* text = ScratchName(app, name);
    return text ? QueryBinaryValue(key, text, cb) : nullptr;
}

int SetDwordValueById(CInstallBase& app, HKEY key, TextId name, uint32_t value)
{
    const WChar* text = ScratchName(app, name);
    return text ? SetDwordValue(key, text, value) : 0;
}

int QueryDwordValueById(CInstallBase& app, HKEY key, TextId name, uint32_t& value)
{
    const WChar* text = ScratchName(app, name);
    return text ? QueryDwordValue(key, text, value) : 0;
}

int QueryStringValueById(CInstallBase& app, HKEY key, TextId name, GString& out)
{
    const WChar* text = ScratchName(app, name);
    return text ? QueryStringValue(key, text, out) : 0;
}

void DeleteValueById(CInstallBase& app, HKEY key, TextId name)
{
    const WChar* text = ScratchName(app, name);
    if (text)
        DeleteValue(key, text);
}

int DeleteKeyById(CInstallBase& app, HKEY parent, TextId name)
{
    if (parent == nullptr)
        return 0;
    const WChar* text = ScratchName(app, name);
    if (text == nullptr || text[0] == 0)
        return 0;  // an empty name would delete the parent itself
    return RegDeleteKeyW(parent, text) == ERROR_SUCCESS;
}

int SetStringValueById(CInstallBase& app, HKEY key, TextId name, GString& data)
{
    GString text;
    if (!app.GetText(name, text))
        return 0;
    return SetStringValue(key, text.ToWide(-1), data);
}

int SetTextValueById(CInstallBase& app, HKEY key, TextId name, TextId data)
{
    GString value;
    if (!app.GetText(data, value))
        return 0;
    return SetStringValueById(app, key, name, value);
}

int StringValueEqualsById(CInstallBase& app, HKEY key, TextId name, GString& data)
{
    GString text;
    if (!app.GetText(name, text))
        return 0;
    return StringValueEquals(key, text.ToWide(-1), data);
}

int SetHklmTextValue(CInstallBase& app, TextId path, TextId name, TextId data)
{
    HKEY key = OpenKeyById(app, HKEY_LOCAL_MACHINE, path, KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    if (key == nullptr)
        return 0;
    int ok = SetTextValueById(app, key, name, data);
    RegCloseKey(key);
    return ok;
}
