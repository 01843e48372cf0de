// The TextIds the installer uses: every one must be in some text table.
#pragma once

#include <stdint.h>

struct TextIdRange {
    uint32_t First;
    uint32_t Last;
};

extern const TextIdRange kTextInventory[];
extern const int kTextInventoryCount;

// The byte patterns that locate the places to patch in a layout file; they
// come from the layout build and are upper-case hexadecimal.
const uint32_t kFirstPatternText = 146;
const uint32_t kLastPatternText = 151;

inline bool IsPatternText(uint32_t id)
{
    return id >= kFirstPatternText && id <= kLastPatternText;
}
