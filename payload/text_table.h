// TextTable: a sorted table of numbered texts, as unpacked from the payload.
//
// Image: EntryCount index entries of 8 bytes (u32 TextId, u32 offset into the
// string area), sorted ascending by TextId, then the string area holding
// TextRecords. The entry count travels in the blob's header, not the image.
#pragma once

#include <stdint.h>

#include "payload/text_id.h"
#include "text/gstring.h"

struct TextTable {
    int32_t EntryCount;
    uint8_t* Buffer;
    const uint8_t* Index;
    const uint8_t* Strings;

    void Clear();
    void Release();
    // Takes ownership of buffer (cb bytes, count entries). Refuses a null
    // buffer, a zero count, or an image whose index or records reach outside
    // its cb bytes; a refused buffer stays with the caller.
    int Adopt(uint8_t* buffer, uint32_t cb, int32_t count);
    const TextRecord* Lookup(TextId id) const;
};

class CGuard;

// Opens the text blob of cbBlob stored bytes with guard and hands the
// buffer to table, whose entry count is the blob's extra value. 0 when the
// blob does not open or the table refuses it (the buffer is then freed).
int UnpackTextTable(const CGuard& guard, const uint8_t* blob, uint32_t cbBlob, TextTable& table);

// The first of count tables (in order; null entries skipped) that holds id:
// the language fallback of the installer's FindText.
const TextRecord* LookupInOrder(const TextTable* const* tables, int count, TextId id);
