// Any image the table adopts can be looked up without reading outside it.
// Input: a 4-byte entry count, then the image.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "payload/bytes.h"
#include "payload/text_table.h"

volatile uint32_t g_recordSum;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const int32_t count = (int32_t)ReadLe32(data);
    const size_t cb = size - 4;
    uint8_t* buffer = (uint8_t*)malloc(cb ? cb : 1);
    memcpy(buffer, data + 4, cb);
    TextTable table;
    table.Clear();
    if (!table.Adopt(buffer, (uint32_t)cb, count)) {
        free(buffer);
        return 0;
    }
    uint32_t sum = 0;
    for (int32_t i = 0; i < table.EntryCount; ++i) {
        const TextId id = ReadLe32(table.Index + (size_t)i * 8);
        const uint8_t* record = (const uint8_t*)table.Lookup(id);
        if (record == nullptr)
            abort();  // every indexed TextId is found
        const uint32_t header = ReadLe32(record);
        const size_t cbChars = (header & kRecordNarrowBit) ? (header & kRecordLengthMask)
                                                           : (size_t)(header & kRecordLengthMask) * 2;
        for (size_t k = 0; k < cbChars; ++k)
            sum += record[4 + k];
    }
    table.Release();
    g_recordSum = sum;  // keeps the reads
    return 0;
}
