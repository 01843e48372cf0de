#include "payload/text_table.h"

#include <stdlib.h>

#include "payload/bytes.h"
#include "payload/guard.h"

namespace {

const uint32_t kIndexEntrySize = 8;

// Whether the image is one this table may adopt: the index fits, the TextIds
// rise strictly, and every record (header and characters) lies inside.
int IsSoundImage(const uint8_t* buffer, uint32_t cb, int32_t count)
{
    const uint64_t cbIndex = (uint64_t)count * kIndexEntrySize;
    if (cbIndex > cb)
        return 0;
    const uint64_t cbStrings = cb - cbIndex;
    const uint8_t* strings = buffer + cbIndex;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* entry = buffer + (uint64_t)i * kIndexEntrySize;
        if (i > 0 && ReadLe32(entry) <= ReadLe32(entry - kIndexEntrySize))
            return 0;  // unsorted or duplicate
        const uint64_t offset = ReadLe32(entry + 4);
        if (offset + 4 > cbStrings)
            return 0;  // header outside the image
        const uint32_t header = ReadLe32(strings + offset);
        const uint64_t cchRecord = header & kRecordLengthMask;
        const uint64_t cbChars = (header & kRecordNarrowBit) ? cchRecord : cchRecord * 2;
        if (offset + 4 + cbChars > cbStrings)
            return 0;  // characters outside the image
    }
    return 1;
}

}  // namespace

void TextTable::Clear()
{
    EntryCount = 0;
    Buffer = nullptr;
    Index = nullptr;
    Strings = nullptr;
}

void TextTable::Release()
{
    free(Buffer);
    Clear();
}

int TextTable::Adopt(uint8_t* buffer, uint32_t cb, int32_t count)
{
    if (buffer == nullptr || count <= 0 || !IsSoundImage(buffer, cb, count))
        return 0;
    Release();
    Buffer = buffer;
    EntryCount = count;
    Index = buffer;
    Strings = buffer + (uint32_t)count * kIndexEntrySize;
    return 1;
}

const TextRecord* TextTable::Lookup(TextId id) const
{
    if (Index == nullptr || Strings == nullptr)
        return nullptr;
    int32_t lo = 0, hi = EntryCount - 1;
    while (lo <= hi) {
        const int32_t mid = (lo + hi) / 2;
        const uint8_t* entry = Index + (uint32_t)mid * kIndexEntrySize;
        const TextId entryId = ReadLe32(entry);
        if (id == entryId)
            return (const TextRecord*)(Strings + ReadLe32(entry + 4));
        if (id > entryId)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return nullptr;
}

const TextRecord* LookupInOrder(const TextTable* const* tables, int count, TextId id)
{
    for (int i = 0; i < count; ++i) {
        const TextRecord* record = tables[i] ? tables[i]->Lookup(id) : nullptr;
        if (record != nullptr)
            return record;
    }
    return nullptr;
}

int UnpackTextTable(const CGuard& guard, const uint8_t* blob, uint32_t cbBlob, TextTable& table)
{
    uint32_t cb = cbBlob;
    uint32_t count = 0;
    uint8_t* buffer = guard.UnpackBlob(blob, cb, &count);
    if (buffer == nullptr)
        return 0;
    if (count > 0x7FFFFFFFu || !table.Adopt(buffer, cb, (int32_t)count)) {
        free(buffer);
        return 0;
    }
    return 1;
}
