#include "payload/packer/pack.h"

#include <string.h>

#include <zlib.h>

#include "payload/bytes.h"
#include "payload/crc32.h"
#include "payload/payload.h"
#include "payload/packer/inventory.h"
#include "payload/blowfish.h"
#include "text/gstring.h"

namespace {

void AppendLe32(Bytes& out, uint32_t value)
{
    uint8_t b[4];
    WriteLe32(b, value);
    out.insert(out.end(), b, b + 4);
}

bool Deflate(const Bytes& raw, Bytes& out)
{
    z_stream stream;
    memset(&stream, 0, sizeof(stream));
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&stream, raw.size()) + 16);
    stream.next_in = (Bytef*)raw.data();
    stream.avail_in = (uInt)raw.size();
    stream.next_out = out.data();
    stream.avail_out = (uInt)out.size();
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return status == Z_STREAM_END;
}

// SplitMix64: a small generator whose output depends only on its seed.
struct Random {
    uint64_t state;
    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int32_t Below(int32_t n) { return (int32_t)(Next() % (uint64_t)n); }
    int32_t Between(int32_t lo, int32_t hi) { return lo + Below(hi - lo + 1); }
};

uint64_t Fnv1a64(const std::string& text)
{
    uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001B3ull;
    }
    return h;
}

bool Overlaps(int32_t start, int32_t count, int32_t otherStart, int32_t otherCount)
{
    return start < otherStart + otherCount && otherStart < start + count;
}

bool IsUpperHexPairs(const std::u16string& text)
{
    if (text.empty() || text.size() % 2 != 0)
        return false;
    for (char16_t c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

}  // namespace

const char* TableName(int table)
{
    static const char* const kNames[TABLE_COUNT] = {"common", "en", "pl", "extra"};
    return table >= 0 && table < TABLE_COUNT ? kNames[table] : "?";
}

Bytes BuildTextTableImage(const TextMap& texts)
{
    Bytes index, strings;
    for (const auto& entry : texts) {  // std::map: ascending TextIds
        while (strings.size() % 4 != 0)
            strings.push_back(0);
        AppendLe32(index, entry.first);
        AppendLe32(index, (uint32_t)strings.size());
        std::string utf8;
        if (Utf16ToUtf8(entry.second, utf8)) {
            AppendLe32(strings, kRecordNarrowBit | (uint32_t)utf8.size());
            strings.insert(strings.end(), utf8.begin(), utf8.end());
        } else {
            // An unpaired surrogate (from \u) has no UTF-8 form.
            AppendLe32(strings, (uint32_t)entry.second.size());
            for (char16_t unit : entry.second) {
                strings.push_back((uint8_t)unit);
                strings.push_back((uint8_t)(unit >> 8));
            }
        }
    }
    index.insert(index.end(), strings.begin(), strings.end());
    return index;
}

bool CheckTexts(const TextMap (&tables)[TABLE_COUNT], const SignatureMap& signatures,
                bool requireComplete, std::vector<std::string>& errors,
                std::vector<std::string>& warnings)
{
    const size_t errorsBefore = errors.size();
    auto inAny = [&](uint32_t id) {
        for (const TextMap& table : tables)
            if (table.count(id))
                return true;
        return false;
    };

    for (int row = 0; row < kTextInventoryCount; ++row) {
        for (uint32_t id = kTextInventory[row].First; id <= kTextInventory[row].Last; ++id) {
            if (inAny(id))
                continue;
            const std::string message = "text " + std::to_string(id) + " is in no table";
            if (IsPatternText(id) && !requireComplete)
                warnings.push_back(message + " (a pattern: the layout build provides it)");
            else
                errors.push_back(message);
        }
    }

    // A text in one language table only would leave the other language
    // without it unless a shared table holds it too.
    for (int lang = 0; lang < 2; ++lang) {
        const TextMap& mine = tables[TABLE_LANGUAGE0 + lang];
        const TextMap& other = tables[TABLE_LANGUAGE1 - lang];
        for (const auto& entry : mine) {
            const uint32_t id = entry.first;
            if (!other.count(id) && !tables[TABLE_COMMON].count(id) && !tables[TABLE_EXTRA].count(id))
                errors.push_back("text " + std::to_string(id) + " (" + TableName(TABLE_LANGUAGE0 + lang)
                                 + ") has no counterpart in " + TableName(TABLE_LANGUAGE1 - lang)
                                 + ", common or extra");
        }
    }

    for (const auto& signature : signatures) {
        const uint32_t id = signature.first;
        if (!inAny(id)) {
            errors.push_back("format text " + std::to_string(id) + " is in no table");
            continue;
        }
        for (int table = 0; table < TABLE_COUNT; ++table) {
            auto text = tables[table].find(id);
            if (text == tables[table].end())
                continue;
            const std::string name = "format text " + std::to_string(id) + " (" + TableName(table) + "): ";
            std::string kinds, problem;
            if (!DirectiveKinds(text->second, kinds, problem))
                errors.push_back(name + problem);
            else if (kinds != signature.second)
                errors.push_back(name + "its directives take \"" + (kinds.empty() ? "-" : kinds)
                                 + "\", its call site passes \""
                                 + (signature.second.empty() ? "-" : signature.second) + "\"");
        }
    }

    for (uint32_t id = kFirstPatternText; id <= kLastPatternText; ++id) {
        for (int table = 0; table < TABLE_COUNT; ++table) {
            auto text = tables[table].find(id);
            if (text != tables[table].end() && !IsUpperHexPairs(text->second))
                errors.push_back("pattern text " + std::to_string(id) + " (" + TableName(table)
                                 + ") is not upper-case hexadecimal with an even number of digits");
        }
    }
    return errors.size() == errorsBefore;
}

bool GenerateKeyMaterial(const std::string& seed, KeyMaterial& key)
{
    Random random{Fnv1a64(seed)};
    const int32_t n = kKeyBlockLength;
    key.Block.resize(n);
    for (uint8_t& b : key.Block)
        b = (uint8_t)random.Next();

    // Draw parameter sets until one scrambles the part of the key that the
    // cipher uses (its first 72 bytes): both moves land on it, the XOR pass
    // covers it with a non-zero mask, and it appears nowhere in the block.
    const int32_t cbUsed = 72;
    for (int attempt = 0; attempt < 100000; ++attempt) {
        GuardParams p;
        p.BlockLength = n;
        p.KeyLength = kKeySliceLength;
        p.KeyOffset = random.Between(0, n - kKeySliceLength);
        p.Move1Count = random.Between(32, 256);
        p.Move1Source = random.Between(0, n - p.Move1Count);
        p.Move1Target = random.Between(0, n - p.Move1Count);
        p.Move2Count = random.Between(32, 256);
        p.Move2Source = random.Between(0, n - p.Move2Count);
        p.Move2Target = random.Between(0, n - p.Move2Count);
        p.XorCount = random.Between(cbUsed, 600);
        p.XorStart = random.Between(0, n - p.XorCount);
        p.MaskPosition = random.Below(n);
        if (!Overlaps(p.Move1Target, p.Move1Count, p.KeyOffset, cbUsed)
            || !Overlaps(p.Move2Target, p.Move2Count, p.KeyOffset, cbUsed)
            || p.XorStart > p.KeyOffset || p.XorStart + p.XorCount < p.KeyOffset + cbUsed
            || p.Move1Source == p.Move1Target || p.Move2Source == p.Move2Target)
            continue;

        // The same arrangement without the XOR pass tells whether the mask
        // (read after the moves) changed the used bytes.
        GuardParams noXor = p;
        noXor.XorCount = 0;
        CGuard guard(p), unmasked(noXor);
        if (!guard.Load(key.Block.data(), (uint32_t)n) || !unmasked.Load(key.Block.data(), (uint32_t)n))
            return false;
        uint32_t cbKey = 0;
        const uint8_t* slice = guard.KeySlice(&cbKey);
        const uint8_t* plainSlice = unmasked.KeySlice(&cbKey);
        bool acceptable = slice != nullptr && plainSlice != nullptr
                          && memcmp(slice, plainSlice, cbUsed) != 0;
        for (int32_t at = 0; acceptable && at + cbUsed <= n; ++at)
            acceptable = memcmp(slice, key.Block.data() + at, cbUsed) != 0;
        if (!acceptable)
            continue;
        key.Params = p;
        return true;
    }
    return false;
}

bool MakeBlob(const CGuard& guard, const Bytes& raw, uint32_t extra, Bytes& stored)
{
    Bytes compressed;
    uint32_t cbKey = 0;
    const uint8_t* keyBytes = guard.KeySlice(&cbKey);
    if (keyBytes == nullptr || raw.size() > 0xFFFFFFF0u || !Deflate(raw, compressed))
        return false;
    const uint64_t cbStored = (HDR_SIZE + compressed.size() + 7) & ~(uint64_t)7;
    if (cbStored > 0xFFFFFFF0u)
        return false;
    stored.assign(cbStored, 0);
    WriteLe32(&stored[HDR_STORED_SIZE], (uint32_t)cbStored);
    WriteLe32(&stored[HDR_RAW_SIZE], (uint32_t)raw.size());
    WriteLe32(&stored[HDR_COMPRESSED_SIZE], (uint32_t)compressed.size());
    WriteLe32(&stored[HDR_RAW_CRC], Crc32(raw.data(), (uint32_t)raw.size()));
    WriteLe32(&stored[HDR_COMPRESSED_CRC], Crc32(compressed.data(), (uint32_t)compressed.size()));
    WriteLe32(&stored[HDR_EXTRA], extra);
    if (!compressed.empty())
        memcpy(&stored[HDR_SIZE], compressed.data(), compressed.size());

    BlowfishContext ctx;
    if (!BlowfishSetKey(&ctx, keyBytes, cbKey))
        return false;
    for (size_t offset = 0; offset < stored.size(); offset += 8)
        BlowfishEncryptBlock(&ctx, &stored[offset]);
    return true;
}

Bytes AssembleArea(const std::vector<PackedItem>& items, std::vector<uint32_t>& offsets)
{
    Bytes area;
    offsets.assign(items.size() + 1, 0);
    for (size_t first = 0; first + 1 < items.size(); first += 2) {
        AppendLe32(area, (uint32_t)items[first].Stored.size());
        AppendLe32(area, (uint32_t)items[first + 1].Stored.size());
        for (size_t i = first; i <= first + 1; ++i) {
            offsets[i + 1] = (uint32_t)area.size();
            area.insert(area.end(), items[i].Stored.begin(), items[i].Stored.end());
        }
    }
    return area;
}

bool VerifyArea(const Bytes& area, const std::vector<PackedItem>& items, const KeyMaterial& key,
                std::vector<std::string>& errors)
{
    const size_t errorsBefore = errors.size();
    CGuard guard(key.Params);
    size_t pos = 0;
    std::vector<const uint8_t*> data(items.size());
    std::vector<uint32_t> sizes(items.size());
    for (size_t first = 0; first + 1 < items.size(); first += 2) {
        if (pos + 8 > area.size()) {
            errors.push_back("payload area: pair " + std::to_string(first / 2 + 1) + " is cut short");
            return false;
        }
        sizes[first] = ReadLe32(&area[pos]);
        sizes[first + 1] = ReadLe32(&area[pos + 4]);
        pos += 8;
        for (size_t i = first; i <= first + 1; ++i) {
            if (pos + sizes[i] > area.size()) {
                errors.push_back("payload area: item " + std::to_string(i + 1) + " runs past the end");
                return false;
            }
            data[i] = area.data() + pos;
            pos += sizes[i];
        }
    }

    // The key block must be the one packed; the key is taken from the area.
    const size_t keyItem = ITEM_KEY_BLOCK - 1;
    if (!guard.Load(data[keyItem], sizes[keyItem])) {
        errors.push_back("payload area: the key block does not load");
        return false;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const PackedItem& item = items[i];
        const std::string name = "item " + std::to_string(i + 1);
        if (sizes[i] != item.Stored.size()) {
            errors.push_back(name + ": stored size differs");
            continue;
        }
        if (!item.IsBlob) {
            if (memcmp(data[i], item.Stored.data(), sizes[i]) != 0)
                errors.push_back(name + ": bytes differ");
            continue;
        }
        if (sizes[i] == 0)
            continue;  // no file for this item
        uint32_t cb = sizes[i];
        uint32_t extra = ~item.Extra;
        uint8_t* raw = guard.UnpackBlob(data[i], cb, &extra);
        if (raw == nullptr)
            errors.push_back(name + ": does not unpack");
        else if (cb != item.Raw.size() || (cb != 0 && memcmp(raw, item.Raw.data(), cb) != 0))
            errors.push_back(name + ": unpacks to different data");
        else if (extra != item.Extra)
            errors.push_back(name + ": extra value differs");
        free(raw);
    }
    return errors.size() == errorsBefore;
}

std::string GenerateHeader(const std::vector<PackedItem>& items, const std::vector<uint32_t>& offsets,
                           uint32_t cbArea, const GuardParams& params)
{
    std::string out;
    out += "// Generated by kreska-pack from the payload sources: do not edit.\n";
    out += "#pragma once\n\n#include <stdint.h>\n\n#include \"payload/guard.h\"\n\n";
    out += "#define KRESKA_PAYLOAD_AREA_SIZE " + std::to_string(cbArea) + "u\n\n";
    out += "// Offset of each item in the payload area and its stored size, by item\n";
    out += "// number (entry 0 unused); stored size 0: the build had no file for it.\n";
    out += "static const uint32_t kPayloadItemOffset[" + std::to_string(items.size() + 1) + "] = {\n    0,";
    for (size_t i = 1; i <= items.size(); ++i)
        out += (i % 8 == 0 ? "\n    " : " ") + std::to_string(offsets[i]) + "u,";
    out += "\n};\n";
    out += "static const uint32_t kPayloadItemSize[" + std::to_string(items.size() + 1) + "] = {\n    0,";
    for (size_t i = 1; i <= items.size(); ++i)
        out += (i % 8 == 0 ? "\n    " : " ") + std::to_string(items[i - 1].Stored.size()) + "u,";
    out += "\n};\n\n";
    const int32_t v[] = {params.BlockLength, params.KeyOffset, params.KeyLength,
                         params.Move1Source, params.Move1Target, params.Move1Count,
                         params.Move2Source, params.Move2Target, params.Move2Count,
                         params.MaskPosition, params.XorStart, params.XorCount};
    out += "// Where the pieces of the key lie in the embedded KeyBlock.\n";
    out += "static const GuardParams kEmbeddedGuardParams = {";
    for (size_t i = 0; i < sizeof(v) / sizeof(v[0]); ++i)
        out += (i ? ", " : "") + std::to_string(v[i]);
    out += "};\n";
    return out;
}
