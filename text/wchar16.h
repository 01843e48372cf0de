// One UTF-16 code unit, the wide character of every W function.
//
// On Windows that is wchar_t; on the host build (Linux, where wchar_t is four
// bytes) it is char16_t. Nothing else in the code depends on the platform.
#pragma once

#if defined(_WIN32)
typedef wchar_t WChar;
#define WSTR(s) L##s
#else
typedef char16_t WChar;
#define WSTR(s) u##s
#endif

static_assert(sizeof(WChar) == 2, "wide text is UTF-16");
