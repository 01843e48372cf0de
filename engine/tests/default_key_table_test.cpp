// Checks of the constant key table: shape, terminators, one row per key, and
// names that the text tables actually carry.
#include <gtest/gtest.h>

#include <set>

#include "engine/key_table.h"

namespace {

const int kKeyRows = kKeyTableCount - 2;

// The key names of the text inventory: every NameTextId must be one of these
// and every one of these must be used.
std::set<int> KeyNameInventory()
{
    const struct { int first, last; } ranges[] = {
        {154, 154}, {162, 162}, {166, 169}, {173, 184}, {188, 232}, {243, 244}, {246, 246},
        {248, 275}, {278, 315}, {317, 317}, {326, 326},
    };
    std::set<int> ids;
    for (const auto& r : ranges)
        for (int id = r.first; id <= r.last; ++id)
            ids.insert(id);
    return ids;
}

TEST(DefaultKeyTable, EndsWithTheUnchangedRowThenTheZeroRow)
{
    const KeyEntry& named = DefaultKeyTable[kKeyTableCount - 2];
    const KeyEntry& last = DefaultKeyTable[kKeyTableCount - 1];
    EXPECT_EQ(0, named.ScanCode);
    EXPECT_EQ(0, named.Vk);
    EXPECT_EQ(154, named.NameTextId);
    EXPECT_EQ(0, named.ScanRemap);
    EXPECT_EQ(0, last.ScanCode);
    EXPECT_EQ(0, last.Vk);
    EXPECT_EQ(0, last.NameTextId);
    EXPECT_EQ(0, last.ScanRemap);
}

// A search stops at the first zero scan code, so every key row must come
// before it, carry a standard virtual key and no remap.
TEST(DefaultKeyTable, KeyRowsAreCompleteAndAscending)
{
    for (int i = 0; i < kKeyRows; ++i) {
        const KeyEntry& e = DefaultKeyTable[i];
        SCOPED_TRACE(i);
        EXPECT_NE(0, e.ScanCode);
        EXPECT_NE(0, e.Vk);
        EXPECT_EQ(0, e.ScanRemap);
        const int prefix = e.ScanCode >> 8;
        EXPECT_TRUE(prefix == 0 || prefix == 0xE0 || prefix == 0xE1) << std::hex << e.ScanCode;
        if (i > 0) {
            EXPECT_LT(DefaultKeyTable[i - 1].ScanCode, e.ScanCode) << "rows out of order or repeated";
        }
    }
}

TEST(DefaultKeyTable, NamesAreExactlyTheKeyNameInventory)
{
    const std::set<int> inventory = KeyNameInventory();
    ASSERT_EQ(134u, inventory.size());
    std::set<int> used;
    for (int i = 0; i < kKeyTableCount - 1; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(1u, inventory.count(DefaultKeyTable[i].NameTextId));
        used.insert(DefaultKeyTable[i].NameTextId);
    }
    EXPECT_EQ(inventory, used);
}

// Spot checks against the layout-file conventions: flag bits where the
// keypad, the extended keys and the special keys need them.
TEST(DefaultKeyTable, SampleRowsCarryTheirFlags)
{
    const struct { uint16_t scanCode, vk, name; } cases[] = {
        {0x0001, 0x01B, 175},  // Esc
        {0x0036, 0x1A1, 281},  // right Shift: extended flag
        {0x0047, 0xC24, 180},  // keypad 7 / Home: numeric pad and special
        {0x00FF, 0x0FF, 326},  // key error code: the "disabled" name
        {0xE01C, 0x10D, 286},  // keypad Enter
        {0xE11D, 0x013, 173},  // Pause
    };
    for (const auto& c : cases) {
        const KeyEntry* found = nullptr;
        for (int i = 0; i < kKeyRows && found == nullptr; ++i)
            if (DefaultKeyTable[i].ScanCode == c.scanCode)
                found = &DefaultKeyTable[i];
        ASSERT_NE(nullptr, found) << std::hex << c.scanCode;
        EXPECT_EQ(c.vk, found->Vk);
        EXPECT_EQ(c.name, found->NameTextId);
    }
}

}  // namespace
