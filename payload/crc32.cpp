#include "payload/crc32.h"

namespace {

struct NibbleTable {
    uint32_t entry[16];
};

// Entry i is the CRC register after shifting the four bits of i through it.
constexpr NibbleTable MakeNibbleTable()
{
    NibbleTable table{};
    for (uint32_t i = 0; i < 16; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 4; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        table.entry[i] = crc;
    }
    return table;
}

constexpr NibbleTable kNibble = MakeNibbleTable();
static_assert(kNibble.entry[8] == 0xEDB88320u, "nibble table");

}  // namespace

uint32_t Crc32(const uint8_t* p, uint32_t cb)
{
    if (p == nullptr)
        return 0;
    uint32_t crc = 0xFFFFFFFFu;
    for (uint32_t i = 0; i < cb; ++i) {
        crc ^= p[i];
        crc = (crc >> 4) ^ kNibble.entry[crc & 15];
        crc = (crc >> 4) ^ kNibble.entry[crc & 15];
    }
    return ~crc;
}
