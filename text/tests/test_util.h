// Small helpers shared by the string tests.
#pragma once

#include <string>

#include "text/gstring.h"

inline std::u16string WideText(const GString& s)
{
    return std::u16string(s.WideAt(0), size_t(s.Length()));
}

inline std::string NarrowText(const GString& s)
{
    return std::string(s.NarrowAt(0), size_t(s.Length()));
}
