// The key table: per physical key, its standard virtual key, the name shown on
// the expert pages, a virtual-key override for the layout file and a
// system-wide scan-code remap.
#pragma once

#include <stdint.h>

struct KeyEntry {
    uint16_t ScanCode;    // 0xE0nn / 0xE1nn for prefixed keys; 0 ends the table
    uint16_t Vk;          // DefaultKeyTable: the standard VK with flag bits;
                          // KeyTable: the override, 0 = keep the standard
    uint16_t NameTextId;
    uint16_t ScanRemap;   // 0 = none, 0xFF = key switched off
};

const int kKeyTableCount = 146;
extern const KeyEntry DefaultKeyTable[kKeyTableCount];
