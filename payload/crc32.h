// CRC-32 (reflected polynomial 0xEDB88320, initial value all ones, final
// complement): the checksum of the payload headers, computed a nibble at a
// time from a 16-entry table.
#pragma once

#include <stdint.h>

// The CRC of cb bytes at p; 0 for an empty or absent buffer.
uint32_t Crc32(const uint8_t* p, uint32_t cb);
