// The embedded payload: 88 items in 44 pairs, framed in one read-only area.
//
// Each pair is stored as the stored size of its first item (u32, little
// endian), that of its second item, then the bytes of both items. Every item
// but the KeyBlock is a blob: a 24-byte PayloadHeader and raw-deflate data,
// padded to a multiple of 8 and enciphered with Blowfish (CGuard::UnpackBlob
// opens one). Nothing walks the chain at run time: each item has its own
// reference, generated with the area by the packer.
#pragma once

#include <stdint.h>

// A stored item: its bytes and its stored size. Size 0: the build had no
// file for it; opening it fails.
struct PayloadBlob {
    const uint8_t* Data;
    uint32_t Size;
};

// PayloadHeader: six u32 fields at the start of a deciphered blob.
enum PayloadHeaderField {
    HDR_STORED_SIZE = 0,
    HDR_RAW_SIZE = 4,
    HDR_COMPRESSED_SIZE = 8,
    HDR_RAW_CRC = 12,
    HDR_COMPRESSED_CRC = 16,
    HDR_EXTRA = 20,
    HDR_SIZE = 24,
};

// Item numbers, in storage order (items 2k-1 and 2k form pair k).
enum PayloadItem {
    ITEM_COMMON_TEXTS = 1,
    ITEM_LANGUAGE0_TEXTS = 2,
    ITEM_LANGUAGE1_TEXTS = 3,
    ITEM_LICENCE0 = 4,
    ITEM_LICENCE1 = 5,
    ITEM_KEY_BLOCK = 6,
    ITEM_LAYOUT_FIRST = 7,       // set A: group 0 slots 0-12, group 1, group 2
    ITEM_ALT_LAYOUT_FIRST = 46,  // set B, same order
    ITEM_EXTRA_TEXTS = 85,
    ITEM_SHARED_DOC = 86,
    ITEM_POINTER_TARGET = 87,
    ITEM_DOC = 88,
    PAYLOAD_ITEM_COUNT = 88,
};

const int kLayoutGroupCount = 3;
const int kLayoutSlotCount = 13;

// The layout-file item of a set (0 = A, non-zero = B), group and slot;
// 0 when group or slot is out of range.
inline int LayoutFileItem(int altSet, int group, int slot)
{
    if ((unsigned)group >= (unsigned)kLayoutGroupCount || (unsigned)slot >= (unsigned)kLayoutSlotCount)
        return 0;
    return (altSet ? ITEM_ALT_LAYOUT_FIRST : ITEM_LAYOUT_FIRST) + group * kLayoutSlotCount + slot;
}

// The embedded items (installer only: the area is linked into the win32 tree).
// An item number outside 1..88 gives {null, 0}.
PayloadBlob PayloadItemBlob(int item);
// The licence text blob of a UI language (0 or 1); {null, 0} otherwise.
PayloadBlob LicenceBlob(int languageIndex);
// The layout-file blob of a set, group and slot; {null, 0} when out of range.
PayloadBlob LayoutFileBlob(int altSet, int group, int slot);
