// Opens the payload embedded in this program with the guard of the embedded
// key block: the four text tables, both licences, and every text of the
// inventory in both languages.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>

#include "payload/bytes.h"
#include "payload/guard.h"
#include "payload/packer/inventory.h"
#include "payload/payload.h"
#include "payload/text_table.h"

namespace {

// A record as the installer would show it: UTF-16, from either kind.
std::wstring RecordText(const TextRecord* record)
{
    const uint8_t* p = (const uint8_t*)record;
    const uint32_t header = ReadLe32(p);
    const int cch = (int)(header & kRecordLengthMask);
    if (!(header & kRecordNarrowBit))
        return std::wstring((const wchar_t*)(p + 4), cch);
    if (cch == 0)
        return std::wstring();
    const int cchWide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, (const char*)p + 4, cch, nullptr, 0);
    EXPECT_GT(cchWide, 0) << "invalid UTF-8 in a record";
    std::wstring wide(cchWide > 0 ? cchWide : 0, L'\0');
    if (cchWide > 0)
        MultiByteToWideChar(CP_UTF8, 0, (const char*)p + 4, cch, &wide[0], cchWide);
    return wide;
}

class EmbeddedPayload : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (TextTable& t : tables)
            t.Clear();
        const PayloadBlob key = PayloadItemBlob(ITEM_KEY_BLOCK);
        ASSERT_EQ(968u, key.Size);
        ASSERT_TRUE(guard.Load(key.Data, key.Size));
        const int items[] = {ITEM_COMMON_TEXTS, ITEM_LANGUAGE0_TEXTS, ITEM_LANGUAGE1_TEXTS, ITEM_EXTRA_TEXTS};
        for (int i = 0; i < 4; ++i) {
            const PayloadBlob blob = PayloadItemBlob(items[i]);
            ASSERT_TRUE(UnpackTextTable(guard, blob.Data, blob.Size, tables[i])) << "item " << items[i];
        }
    }
    void TearDown() override
    {
        for (TextTable& t : tables)
            t.Release();
    }

    // The installer's order: language table, common, extra.
    const TextRecord* Find(int language, TextId id)
    {
        const TextTable* order[] = {&tables[1 + language], &tables[0], &tables[3]};
        return LookupInOrder(order, 3, id);
    }

    CGuard guard;
    TextTable tables[4];  // common, language 0, language 1, extra
};

TEST_F(EmbeddedPayload, EveryInventoryTextInBothLanguages)
{
    int differing = 0;
    for (int row = 0; row < kTextInventoryCount; ++row) {
        for (TextId id = kTextInventory[row].First; id <= kTextInventory[row].Last; ++id) {
            const TextRecord* en = Find(0, id);
            const TextRecord* pl = Find(1, id);
            if (IsPatternText(id) && en == nullptr)
                continue;  // a build without the layout files has no patterns
            ASSERT_NE(nullptr, en) << id;
            ASSERT_NE(nullptr, pl) << id;
            differing += RecordText(en) != RecordText(pl);
        }
    }
    EXPECT_GT(differing, 0);
    EXPECT_NE(RecordText(Find(0, TXT_BUTTON_CANCEL)), RecordText(Find(1, TXT_BUTTON_CANCEL)));
    // The window title and the main window's class are never empty.
    EXPECT_FALSE(RecordText(Find(0, TXT_WINDOW_TITLE)).empty());
    EXPECT_FALSE(RecordText(Find(1, TXT_WINDOW_CLASS)).empty());
}

// A text of a language table hides the same TextId in the other tables.
TEST_F(EmbeddedPayload, LanguageTableComesFirst)
{
    for (int language = 0; language < 2; ++language) {
        const TextTable& table = tables[1 + language];
        ASSERT_GT(table.EntryCount, 0);
        for (int32_t i = 0; i < table.EntryCount; ++i) {
            const TextId id = ReadLe32(table.Index + i * 8);
            EXPECT_EQ(table.Lookup(id), Find(language, id)) << id;
        }
    }
}

TEST_F(EmbeddedPayload, PolishTextsKeepTheirDiacritics)
{
    bool sawDiacritic = false;
    for (TextId id = 90; id < 160 && !sawDiacritic; ++id) {
        const TextRecord* pl = Find(1, id);
        if (pl != nullptr)
            sawDiacritic = RecordText(pl).find_first_of(L"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ") != std::wstring::npos;
    }
    EXPECT_TRUE(sawDiacritic);
}

TEST_F(EmbeddedPayload, BothLicencesOpen)
{
    std::string licences[2];
    for (int language = 0; language < 2; ++language) {
        const PayloadBlob blob = LicenceBlob(language);
        uint32_t cb = blob.Size;
        uint8_t* text = guard.UnpackBlob(blob.Data, cb, nullptr);
        ASSERT_NE(nullptr, text) << language;
        licences[language].assign((const char*)text, cb);
        free(text);
        EXPECT_GT(cb, 200u);
        EXPECT_NE(std::string::npos, licences[language].find("\r\n"));
        EXPECT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, licences[language].data(), (int)cb, nullptr, 0), 0);
    }
    EXPECT_NE(licences[0], licences[1]);
    EXPECT_EQ(nullptr, LicenceBlob(2).Data);
}

TEST_F(EmbeddedPayload, NothingOpensAfterWipe)
{
    guard.Wipe();
    const PayloadBlob blob = PayloadItemBlob(ITEM_COMMON_TEXTS);
    uint32_t cb = blob.Size;
    EXPECT_EQ(nullptr, guard.UnpackBlob(blob.Data, cb, nullptr));
    EXPECT_EQ(blob.Size, cb);
}

}  // namespace
