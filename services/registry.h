// Registry layer: every registry access of the installer.
//
// Plain operations take the key path or value name as wide text; the named
// operations take a TextId, fetch the text through the installer and call
// the plain operation. A failed text lookup, a null key or an empty name
// fails without calling the platform. Reads check the stored type strictly:
// a value of another type is a failure even when it exists.
//
// Keys returned by OpenKey/CreateKey belong to the caller (RegCloseKey);
// buffers returned by QueryBinaryValue are released with free(). The named
// operations fetch names into the installer's ScratchText, so they are not
// re-entrant and a caller keeps no pointer into it across calls.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "payload/text_id.h"
#include "text/gstring.h"

class CInstallBase;

// Plain operations
HKEY OpenKey(HKEY parent, const WChar* subPath, REGSAM access);
HKEY CreateKey(HKEY parent, const WChar* subPath, REGSAM access);
int SetBinaryValue(HKEY key, const WChar* name, const void* bytes, uint32_t cb);
uint8_t* QueryBinaryValue(HKEY key, const WChar* name, uint32_t& cb);
int SetDwordValue(HKEY key, const WChar* name, uint32_t value);
int QueryDwordValue(HKEY key, const WChar* name, uint32_t& value);
int SetStringValue(HKEY key, const WChar* name, GString& data);
int QueryStringValue(HKEY key, const WChar* name, GString& out);
int StringValueEquals(HKEY key, const WChar* name, GString& data);
int DeleteValue(HKEY key, const WChar* name);

// Named operations
HKEY OpenKeyById(CInstallBase& app, HKEY parent, TextId path, REGSAM access);
HKEY CreateKeyById(CInstallBase& app, HKEY parent, TextId path, REGSAM access);
int SetBinaryValueById(CInstallBase& app, HKEY key, TextId name, const void* bytes, uint32_t cb);
uint8_t* QueryBinaryValueById(CInstallBase& app, HKEY key, TextId name, uint32_t& cb);
int SetDwordValueById(CInstallBase& app, HKEY key, TextId name, uint32_t value);
int QueryDwordValueById(CInstallBase& app, HKEY key, TextId name, uint32_t& value);
int QueryStringValueById(CInstallBase& app, HKEY key, TextId name, GString& out);
void DeleteValueById(CInstallBase& app, HKEY key, TextId name);
int DeleteKeyById(CInstallBase& app, HKEY parent, TextId name);
int SetStringValueById(CInstallBase& app, HKEY key, TextId name, GString& data);
int SetTextValueById(CInstallBase& app, HKEY key, TextId name, TextId data);
int StringValueEqualsById(CInstallBase& app, HKEY key, TextId name, GString& data);
// Opens HKEY_LOCAL_MACHINE\path (KEY_SET_VALUE | KEY_CREATE_SUB_KEY, never
// created), writes text data as value name, closes the key.
int SetHklmTextValue(CInstallBase& app, TextId path, TextId name, TextId data);
