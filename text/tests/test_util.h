// Small helpers shared by the string tests.
#pragma once

#include <string>

#include "text/gstring.h"

// Wide text in the unit type of the platform (char16_t here, wchar_t on Windows).
typedef std::basic_string<WChar> WText;

inline WText WideText(const GString& s)
{
    return WText(s.WideAt(0), size_t(s.Length()));
}

inline std::string NarrowText(const GString& s)
{
    return std::string(s.NarrowAt(0), size_t(s.Length()));
}
