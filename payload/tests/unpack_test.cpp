#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include <zlib.h>

#include "payload/blowfish.h"
#include "payload/bytes.h"
#include "payload/crc32.h"
#include "payload/guard.h"
#include "payload/packer/pack.h"
#include "payload/payload.h"
#include "payload/text_table.h"

namespace {

class UnpackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(GenerateKeyMaterial("unpack test seed", key));
        guard = new CGuard(key.Params);
        ASSERT_TRUE(guard->Load(key.Block.data(), (uint32_t)key.Block.size()));
    }
    void TearDown() override { delete guard; }

    // Deciphers a blob, lets `change` edit the plaintext, enciphers it again.
    Bytes Reseal(const Bytes& stored, const std::function<void(Bytes&)>& change)
    {
        uint32_t cbKey = 0;
        const uint8_t* keyBytes = guard->KeySlice(&cbKey);
        BlowfishContext ctx;
        EXPECT_TRUE(BlowfishSetKey(&ctx, keyBytes, cbKey));
        Bytes plain = stored;
        for (size_t i = 0; i < plain.size(); i += 8)
            BlowfishDecryptBlock(&ctx, &plain[i]);
        change(plain);
        for (size_t i = 0; i < plain.size(); i += 8)
            BlowfishEncryptBlock(&ctx, &plain[i]);
        return plain;
    }

    static Bytes Sample(size_t cb)
    {
        Bytes raw(cb);
        for (size_t i = 0; i < cb; ++i)
            raw[i] = (uint8_t)("kreska layout "[i % 14] + (i / 977) % 3);
        return raw;
    }

    KeyMaterial key;
    CGuard* guard = nullptr;
};

TEST_F(UnpackTest, RoundTrip)
{
    for (size_t cb : {0u, 1u, 7u, 8u, 1000u, 300000u}) {
        const Bytes raw = Sample(cb);
        Bytes stored;
        ASSERT_TRUE(MakeBlob(*guard, raw, 4242, stored));
        ASSERT_EQ(0u, stored.size() % 8);
        uint32_t size = (uint32_t)stored.size();
        uint32_t extra = 0;
        uint8_t* out = guard->UnpackBlob(stored.data(), size, &extra);
        ASSERT_NE(nullptr, out) << cb;
        EXPECT_EQ(cb, size);
        EXPECT_EQ(4242u, extra);
        EXPECT_TRUE(cb == 0 || memcmp(out, raw.data(), cb) == 0);
        free(out);
        // The extra value is optional.
        size = (uint32_t)stored.size();
        out = guard->UnpackBlob(stored.data(), size, nullptr);
        EXPECT_NE(nullptr, out);
        free(out);
    }
}

// Every failure cause leaves the caller's size and extra value as they were.
TEST_F(UnpackTest, FailureCauses)
{
    const Bytes raw = Sample(5000);
    Bytes good;
    ASSERT_TRUE(MakeBlob(*guard, raw, 7, good));
    const uint32_t cbGood = (uint32_t)good.size();

    Bytes otherKeyBlob;
    {
        KeyMaterial other;
        ASSERT_TRUE(GenerateKeyMaterial("another seed", other));
        CGuard otherGuard(other.Params);
        ASSERT_TRUE(otherGuard.Load(other.Block.data(), (uint32_t)other.Block.size()));
        ASSERT_TRUE(MakeBlob(otherGuard, raw, 7, otherKeyBlob));
    }
    // A stream that ends early: the header is made consistent with the
    // shortened data, so only the inflater can notice.
    auto truncate = [](Bytes& p) {
        const uint32_t cbCompressed = ReadLe32(&p[HDR_COMPRESSED_SIZE]) - 10;
        WriteLe32(&p[HDR_COMPRESSED_SIZE], cbCompressed);
        WriteLe32(&p[HDR_COMPRESSED_CRC], Crc32(&p[HDR_SIZE], cbCompressed));
    };
    auto flipCompressed = [](Bytes& p) { p[HDR_SIZE + 5] ^= 0x10; };
    auto flipRawCrc = [](Bytes& p) { p[HDR_RAW_CRC] ^= 0x01; };
    auto flipCompressedCrc = [](Bytes& p) { p[HDR_COMPRESSED_CRC + 3] ^= 0x80; };
    auto tooLarge = [&](Bytes& p) { WriteLe32(&p[HDR_COMPRESSED_SIZE], cbGood - HDR_SIZE + 1); };
    auto hugeCompressed = [](Bytes& p) { WriteLe32(&p[HDR_COMPRESSED_SIZE], 0xFFFFFFF0u); };
    auto storedMismatch = [](Bytes& p) { WriteLe32(&p[HDR_STORED_SIZE], ReadLe32(&p[HDR_STORED_SIZE]) + 8); };
    auto rawShort = [](Bytes& p) { WriteLe32(&p[HDR_RAW_SIZE], ReadLe32(&p[HDR_RAW_SIZE]) - 1); };
    auto rawLong = [](Bytes& p) { WriteLe32(&p[HDR_RAW_SIZE], ReadLe32(&p[HDR_RAW_SIZE]) + 1); };
    // An empty stream whose CRC (0) matches, claiming gigabytes: refused
    // before anything is allocated for it.
    auto rawHuge = [](Bytes& p) {
        WriteLe32(&p[HDR_COMPRESSED_SIZE], 0);
        WriteLe32(&p[HDR_COMPRESSED_CRC], 0);
        WriteLe32(&p[HDR_RAW_SIZE], 0xC0000000u);
    };

    struct Case {
        const char* name;
        Bytes blob;
        uint32_t cb;
    };
    const Case cases[] = {
        {"zero size", good, 0},
        {"size below a header", good, 16},
        {"size that wraps when rounded", good, 0xFFFFFFFCu},
        {"wrong key", otherKeyBlob, (uint32_t)otherKeyBlob.size()},
        {"stored size differs", Reseal(good, storedMismatch), cbGood},
        {"caller's size differs", good, cbGood - 8},
        {"flipped bit in the compressed data", Reseal(good, flipCompressed), cbGood},
        {"flipped bit in the compressed CRC", Reseal(good, flipCompressedCrc), cbGood},
        {"flipped bit in the raw CRC", Reseal(good, flipRawCrc), cbGood},
        {"truncated stream", Reseal(good, truncate), cbGood},
        {"compressed size past the stored size", Reseal(good, tooLarge), cbGood},
        {"compressed size near 4 GiB", Reseal(good, hugeCompressed), cbGood},
        {"raw size one short (long result)", Reseal(good, rawShort), cbGood},
        {"raw size one long (short result)", Reseal(good, rawLong), cbGood},
        {"raw size beyond any deflate stream", Reseal(good, rawHuge), cbGood},
    };
    for (const Case& c : cases) {
        uint32_t size = c.cb;
        uint32_t extra = 0xABCD;
        // A heap copy, so that the sanitizer sees any read past the blob.
        uint8_t* copy = (uint8_t*)malloc(c.blob.size());
        memcpy(copy, c.blob.data(), c.blob.size());
        uint8_t* out = guard->UnpackBlob(copy, size, &extra);
        EXPECT_EQ(nullptr, out) << c.name;
        EXPECT_EQ(c.cb, size) << c.name;
        EXPECT_EQ(0xABCDu, extra) << c.name;
        free(out);
        free(copy);
    }

    // The unchanged blob still opens: the cases above failed for their cause.
    uint32_t size = cbGood;
    uint8_t* out = guard->UnpackBlob(good.data(), size, nullptr);
    EXPECT_NE(nullptr, out);
    free(out);
}

TEST_F(UnpackTest, NullBlobAndNoKey)
{
    Bytes stored;
    ASSERT_TRUE(MakeBlob(*guard, Sample(100), 1, stored));
    uint32_t size = (uint32_t)stored.size();
    EXPECT_EQ(nullptr, guard->UnpackBlob(nullptr, size, nullptr));
    EXPECT_EQ(stored.size(), size);

    guard->Wipe();
    uint32_t extra = 99;
    EXPECT_EQ(nullptr, guard->UnpackBlob(stored.data(), size, &extra));
    EXPECT_EQ(stored.size(), size);
    EXPECT_EQ(99u, extra);

    CGuard neverLoaded(key.Params);
    EXPECT_EQ(nullptr, neverLoaded.UnpackBlob(stored.data(), size, &extra));
}

// A size that is not a multiple of 8 reads only that many bytes of the blob.
TEST_F(UnpackTest, UnalignedSizeReadsNoFurther)
{
    Bytes stored;
    ASSERT_TRUE(MakeBlob(*guard, Sample(100), 1, stored));
    const uint32_t cb = (uint32_t)stored.size() - 3;
    uint8_t* exact = (uint8_t*)malloc(cb);
    memcpy(exact, stored.data(), cb);
    uint32_t size = cb;
    EXPECT_EQ(nullptr, guard->UnpackBlob(exact, size, nullptr));
    EXPECT_EQ(cb, size);
    free(exact);
}

}  // namespace

namespace {

TEST_F(UnpackTest, TextTableFromBlob)
{
    const TextMap texts = {{1, u"one"}, {93, u"Kreska"}};
    const Bytes image = BuildTextTableImage(texts);
    Bytes good, zeroCount, overCount;
    ASSERT_TRUE(MakeBlob(*guard, image, 2, good));
    ASSERT_TRUE(MakeBlob(*guard, image, 0, zeroCount));
    ASSERT_TRUE(MakeBlob(*guard, image, 3, overCount));  // index would run into the strings

    TextTable table;
    table.Clear();
    ASSERT_TRUE(UnpackTextTable(*guard, good.data(), (uint32_t)good.size(), table));
    EXPECT_EQ(2, table.EntryCount);
    EXPECT_NE(nullptr, table.Lookup(93));
    // Refused buffers are freed (the leak checker would see them) and the
    // table keeps its texts.
    EXPECT_FALSE(UnpackTextTable(*guard, zeroCount.data(), (uint32_t)zeroCount.size(), table));
    EXPECT_FALSE(UnpackTextTable(*guard, overCount.data(), (uint32_t)overCount.size(), table));
    EXPECT_FALSE(UnpackTextTable(*guard, good.data(), 0, table));
    EXPECT_NE(nullptr, table.Lookup(93));
    table.Release();
}

}  // namespace
