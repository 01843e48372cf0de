#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "payload/guard.h"

namespace {

// A 16-byte block makes the moves easy to read; steps that should do nothing
// have out-of-range positions.
GuardParams SmallParams()
{
    GuardParams p = {};
    p.BlockLength = 16;
    p.KeyOffset = 4;
    p.KeyLength = 8;
    p.Move1Source = p.Move1Target = -1;
    p.Move2Source = p.Move2Target = -1;
    p.MaskPosition = p.XorStart = -1;
    return p;
}

std::vector<uint8_t> Counting(int n)
{
    std::vector<uint8_t> block(n);
    for (int i = 0; i < n; ++i)
        block[i] = (uint8_t)i;
    return block;
}

std::vector<uint8_t> CopyOf(const CGuard& guard)
{
    return std::vector<uint8_t>(guard.KeyCopy, guard.KeyCopy + guard.BlockLength);
}

TEST(Guard, LoadOnlyTakesABlockOfTheExactLength)
{
    GuardParams p = SmallParams();
    CGuard guard(p);
    const std::vector<uint8_t> block = Counting(17);
    ASSERT_TRUE(guard.Load(block.data(), 16));
    for (uint32_t cb : {15u, 17u, 0u}) {
        ASSERT_TRUE(guard.Load(block.data(), 16));
        EXPECT_FALSE(guard.Load(block.data(), cb)) << cb;
        EXPECT_EQ(nullptr, guard.KeyCopy) << "a failed load keeps no copy";
    }
    ASSERT_TRUE(guard.Load(block.data(), 16));
    EXPECT_FALSE(guard.Load(nullptr, 16));
    EXPECT_FALSE(guard.IsLoaded());
}

TEST(Guard, KeySliceIsTheRearrangedCopy)
{
    GuardParams p = SmallParams();
    p.Move1Source = 0;  p.Move1Target = 4;  p.Move1Count = 2;   // 0 1 -> 4 5
    p.Move2Source = 12; p.Move2Target = 6;  p.Move2Count = 2;   // 12 13 -> 6 7
    p.MaskPosition = 15; p.XorStart = 8; p.XorCount = 2;        // 8 9 ^= 15
    CGuard guard(p);
    uint32_t cbKey = 0;
    EXPECT_EQ(nullptr, guard.KeySlice(&cbKey));
    const std::vector<uint8_t> block = Counting(16);
    ASSERT_TRUE(guard.Load(block.data(), 16));
    const uint8_t* key = guard.KeySlice(&cbKey);
    ASSERT_NE(nullptr, key);
    ASSERT_EQ(8u, cbKey);
    const std::vector<uint8_t> expected = {0, 1, 12, 13, 8 ^ 15, 9 ^ 15, 10, 11};
    EXPECT_EQ(expected, std::vector<uint8_t>(key, key + cbKey));
    EXPECT_EQ(0, memcmp(block.data(), Counting(16).data(), 16)) << "the source block stays as it was";
}

struct MoveCase {
    const char* name;
    int32_t target, source, count;
    std::vector<uint8_t> expected;
};

TEST(Guard, MoveBytes)
{
    const MoveCase cases[] = {
        {"forward, no overlap", 0, 8, 3, {8, 9, 10, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"overlap, target below", 0, 2, 4, {2, 3, 4, 5, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"overlap, target above", 2, 0, 4, {0, 1, 0, 1, 2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"count past the end from the source", 0, 13, 10, {13, 14, 15, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"count past the end from the target", 14, 1, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1, 2}},
        {"target equals source", 5, 5, 4, Counting(16)},
        {"negative target", -1, 0, 4, Counting(16)},
        {"target at the end", 16, 0, 4, Counting(16)},
        {"source at the end", 0, 16, 4, Counting(16)},
        {"negative source", 0, -3, 4, Counting(16)},
        {"zero count", 0, 8, 0, Counting(16)},
        {"negative count", 0, 8, -5, Counting(16)},
        {"huge count", 15, 0, 0x7FFFFFFF, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0}},
    };
    for (const MoveCase& c : cases) {
        CGuard guard(SmallParams());
        const std::vector<uint8_t> block = Counting(16);
        ASSERT_TRUE(guard.Load(block.data(), 16));
        guard.MoveBytes(c.target, c.source, c.count);
        EXPECT_EQ(c.expected, CopyOf(guard)) << c.name;
    }
}

struct XorCase {
    const char* name;
    int32_t start, count, mask;
    std::vector<uint8_t> expected;
};

TEST(Guard, XorBytes)
{
    const XorCase cases[] = {
        {"mask outside the range", 0, 2, 15, {0 ^ 15, 1 ^ 15, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        // the mask byte is read once: it becomes 0, the bytes after it still
        // see the value it had before the pass
        {"mask inside the range", 2, 4, 3, {0, 1, 2 ^ 3, 0, 4 ^ 3, 5 ^ 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"count past the end", 14, 100, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14 ^ 1, 15 ^ 1}},
        {"negative start", -1, 4, 1, Counting(16)},
        {"start at the end", 16, 4, 1, Counting(16)},
        {"mask at the end", 0, 4, 16, Counting(16)},
        {"negative mask", 0, 4, -1, Counting(16)},
        {"huge count", 15, 0x7FFFFFFF, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 ^ 1}},
    };
    for (const XorCase& c : cases) {
        CGuard guard(SmallParams());
        const std::vector<uint8_t> block = Counting(16);
        ASSERT_TRUE(guard.Load(block.data(), 16));
        guard.XorBytes(c.start, c.count, c.mask);
        EXPECT_EQ(c.expected, CopyOf(guard)) << c.name;
    }
}

TEST(Guard, WipeDropsTheCopyAndCanBeRepeated)
{
    CGuard guard(SmallParams());
    const std::vector<uint8_t> block = Counting(16);
    ASSERT_TRUE(guard.Load(block.data(), 16));
    guard.Wipe();
    EXPECT_FALSE(guard.IsLoaded());
    uint32_t cbKey = 0;
    EXPECT_EQ(nullptr, guard.KeySlice(&cbKey));
    guard.Wipe();
    EXPECT_FALSE(guard.IsLoaded());
    // The steps do nothing (and touch nothing) without a copy.
    guard.MoveBytes(0, 1, 2);
    guard.XorBytes(0, 1, 2);
}

}  // namespace
