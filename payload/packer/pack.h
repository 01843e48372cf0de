// The packer's building blocks: text table images, blobs, key material, the
// payload area and its generated header, and the checks of the texts.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "payload/guard.h"
#include "payload/packer/format_check.h"
#include "payload/packer/text_source.h"

typedef std::vector<uint8_t> Bytes;

// The four text tables, in the order of TableName.
enum TextTableKind { TABLE_COMMON, TABLE_LANGUAGE0, TABLE_LANGUAGE1, TABLE_EXTRA, TABLE_COUNT };
const char* TableName(int table);  // "common", "en", "pl", "extra"

// A table image: the sorted index, then one record per text at a 4-byte
// aligned offset, UTF-8 where the text allows, else UTF-16.
Bytes BuildTextTableImage(const TextMap& texts);

// Checks the texts: the inventory, that each language text has a
// counterpart for the other language, the format signatures and the
// patterns. Missing patterns are warnings unless requireComplete.
bool CheckTexts(const TextMap (&tables)[TABLE_COUNT], const SignatureMap& signatures,
                bool requireComplete, std::vector<std::string>& errors,
                std::vector<std::string>& warnings);

// The key material: the stored (scrambled) KeyBlock and the parameters that
// rearrange it, derived deterministically from the seed text.
struct KeyMaterial {
    Bytes Block;
    GuardParams Params;
};
bool GenerateKeyMaterial(const std::string& seed, KeyMaterial& key);

// Header, raw deflate (level 9) and zero padding to a multiple of 8,
// enciphered with the key of `guard`.
bool MakeBlob(const CGuard& guard, const Bytes& raw, uint32_t extra, Bytes& stored);

// One item of the payload: its stored bytes, and for a blob the raw data
// and extra value it must unpack to.
struct PackedItem {
    bool IsBlob = true;
    Bytes Stored;
    Bytes Raw;
    uint32_t Extra = 0;
};

// The pair layout: for each pair, both stored sizes (u32 little endian),
// then both items. offsets[i] is the offset of item i (1-based; [0] unused).
Bytes AssembleArea(const std::vector<PackedItem>& items, std::vector<uint32_t>& offsets);

// Walks the area's pairs and unpacks every blob again, comparing it with
// what was packed; each difference is an error naming the item.
bool VerifyArea(const Bytes& area, const std::vector<PackedItem>& items, const KeyMaterial& key,
                std::vector<std::string>& errors);

// The generated header: offsets and stored sizes of the items and the
// parameters of the embedded KeyBlock.
std::string GenerateHeader(const std::vector<PackedItem>& items, const std::vector<uint32_t>& offsets,
                           uint32_t cbArea, const GuardParams& params);
