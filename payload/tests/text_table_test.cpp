#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "payload/bytes.h"
#include "payload/packer/pack.h"
#include "payload/text_table.h"

namespace {

// The table takes ownership of a malloc'd copy of the image.
uint8_t* HeapCopy(const Bytes& image)
{
    uint8_t* p = (uint8_t*)malloc(image.size() ? image.size() : 1);
    memcpy(p, image.data(), image.size());
    return p;
}

std::string RecordText(const TextRecord* record)
{
    EXPECT_NE(nullptr, record);
    if (record == nullptr)
        return "";
    const uint8_t* p = (const uint8_t*)record;
    const uint32_t header = ReadLe32(p);
    EXPECT_TRUE(header & kRecordNarrowBit);
    return std::string((const char*)p + 4, header & kRecordLengthMask);
}

struct OwnedTable : TextTable {
    OwnedTable() { Clear(); }
    ~OwnedTable() { Release(); }
};

// Adopts the image of `texts`; the test fails when the table refuses it.
void Load(OwnedTable& table, const TextMap& texts)
{
    const Bytes image = BuildTextTableImage(texts);
    uint8_t* buffer = HeapCopy(image);
    ASSERT_TRUE(table.Adopt(buffer, (uint32_t)image.size(), (int32_t)texts.size()));
}

TEST(TextTable, LookupFindsOnlyWhatIsThere)
{
    OwnedTable one;
    Load(one, {{42, u"answer"}});
    EXPECT_EQ("answer", RecordText(one.Lookup(42)));
    for (TextId absent : {0u, 41u, 43u, 0xFFFFFFFFu})
        EXPECT_EQ(nullptr, one.Lookup(absent)) << absent;

    OwnedTable many;
    TextMap texts;
    for (uint32_t id = 0; id < 300; id += 3)
        texts[id] = u"t" + std::u16string(1, (char16_t)('a' + id % 26));
    Load(many, texts);
    for (uint32_t id = 0; id < 302; ++id) {
        const TextRecord* record = many.Lookup(id);
        EXPECT_EQ(id % 3 == 0 && id < 300, record != nullptr) << id;
    }
}

TEST(TextTable, TextIdsCompareUnsigned)
{
    OwnedTable table;
    Load(table, {{1, u"one"}, {0x7FFFFFFF, u"max"}, {0x80000000u, u"high"}, {0xFFFFFFFEu, u"top"}});
    EXPECT_EQ("one", RecordText(table.Lookup(1)));
    EXPECT_EQ("high", RecordText(table.Lookup(0x80000000u)));
    EXPECT_EQ("top", RecordText(table.Lookup(0xFFFFFFFEu)));
    EXPECT_EQ(nullptr, table.Lookup(0x80000001u));
}

TEST(TextTable, EmptyAndReleasedTablesFindNothing)
{
    OwnedTable table;
    EXPECT_EQ(nullptr, table.Lookup(0));
    Load(table, {{5, u"five"}});
    table.Release();
    EXPECT_EQ(nullptr, table.Lookup(5));
    EXPECT_EQ(0, table.EntryCount);
    EXPECT_EQ(nullptr, table.Buffer);
}

// A damaged image is refused and the table keeps what it had.
TEST(TextTable, AdoptRefusesDamagedImages)
{
    const Bytes good = BuildTextTableImage({{10, u"ten"}, {20, u"twenty"}, {30, u"thirty"}});
    const uint32_t cbIndex = 3 * 8;
    struct Case {
        const char* name;
        Bytes image;
        int32_t count;
    };
    std::vector<Case> cases;
    cases.push_back({"zero count", good, 0});
    cases.push_back({"negative count", good, -1});
    cases.push_back({"index past the end", good, 1000});
    Bytes offsetPast = good;
    WriteLe32(&offsetPast[8 + 4], (uint32_t)(good.size() - cbIndex - 3));  // header cut
    cases.push_back({"offset past the end", offsetPast, 3});
    Bytes offsetHuge = good;
    WriteLe32(&offsetHuge[4], 0xFFFFFFFCu);
    cases.push_back({"offset near 4 GiB", offsetHuge, 3});
    Bytes lengthPast = good;
    const uint32_t lastRecord = ReadLe32(&good[16 + 4]);
    WriteLe32(&lengthPast[cbIndex + lastRecord], kRecordNarrowBit | 7);  // "thirty" is 6
    cases.push_back({"narrow length past the end", lengthPast, 3});
    Bytes wideLengthPast = good;
    WriteLe32(&wideLengthPast[cbIndex + lastRecord], 4);  // 8 bytes as UTF-16
    cases.push_back({"wide length past the end", wideLengthPast, 3});
    Bytes unsorted = good;
    WriteLe32(&unsorted[8], 5);
    cases.push_back({"unsorted index", unsorted, 3});
    Bytes duplicate = good;
    WriteLe32(&duplicate[8], 10);
    cases.push_back({"duplicate TextId", duplicate, 3});

    for (const Case& c : cases) {
        OwnedTable table;
        Load(table, {{1, u"before"}});
        uint8_t* buffer = HeapCopy(c.image);
        EXPECT_FALSE(table.Adopt(buffer, (uint32_t)c.image.size(), c.count)) << c.name;
        free(buffer);  // refused: still the caller's
        EXPECT_EQ("before", RecordText(table.Lookup(1))) << c.name;
    }

    OwnedTable table;
    EXPECT_FALSE(table.Adopt(nullptr, 100, 1));
    // The intact image, as a control.
    uint8_t* buffer = HeapCopy(good);
    EXPECT_TRUE(table.Adopt(buffer, (uint32_t)good.size(), 3));
    EXPECT_EQ("twenty", RecordText(table.Lookup(20)));
}

TEST(TextTable, RecordsThatEndAtTheImageEndAreAccepted)
{
    // A record may start at any byte offset; this one is the last bytes.
    Bytes image;
    image.resize(8 + 1 + 4 + 2);
    WriteLe32(&image[0], 7);
    WriteLe32(&image[4], 1);
    WriteLe32(&image[8 + 1], kRecordNarrowBit | 2);
    image[8 + 5] = 'o';
    image[8 + 6] = 'k';
    OwnedTable table;
    uint8_t* buffer = HeapCopy(image);
    ASSERT_TRUE(table.Adopt(buffer, (uint32_t)image.size(), 1));
    EXPECT_EQ((const uint8_t*)table.Lookup(7), table.Strings + 1);
}

TEST(TextTable, LanguageFallbackOrder)
{
    OwnedTable language, common, extra;
    Load(language, {{1, u"language"}});
    Load(common, {{1, u"common"}, {2, u"common only"}});
    Load(extra, {{1, u"extra"}, {2, u"extra"}, {3, u"extra only"}});

    const TextTable* base[] = {&language, &common};
    const TextTable* full[] = {&language, &common, &extra};
    EXPECT_EQ("language", RecordText(LookupInOrder(base, 2, 1)));  // hides common
    EXPECT_EQ("common only", RecordText(LookupInOrder(full, 3, 2)));
    EXPECT_EQ(nullptr, LookupInOrder(base, 2, 3));  // extra only when asked
    EXPECT_EQ("extra only", RecordText(LookupInOrder(full, 3, 3)));
    EXPECT_EQ(nullptr, LookupInOrder(full, 3, 4));
}

TEST(TextTable, ImagesStoreWideRecordsOnlyWithoutAUtf8Form)
{
    OwnedTable table;
    Load(table, {{1, u"zażółć"}, {2, std::u16string(1, (char16_t)0xD800) + u"x"}});
    const uint8_t* narrow = (const uint8_t*)table.Lookup(1);
    ASSERT_NE(nullptr, narrow);
    EXPECT_EQ(kRecordNarrowBit | 10u, ReadLe32(narrow));  // 6 characters, 10 UTF-8 bytes
    EXPECT_EQ(0, memcmp(narrow + 4, "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", 10));
    const uint8_t* wide = (const uint8_t*)table.Lookup(2);
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(2u, ReadLe32(wide));
    EXPECT_EQ(0xD800u, (uint32_t)wide[4] | wide[5] << 8);
    EXPECT_EQ(0u, ((const uint8_t*)table.Lookup(2) - table.Strings) % 4) << "records are aligned";
}

}  // namespace
