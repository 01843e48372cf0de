// Opening a licence blob: the byte-order mark is dropped, everything else is
// kept byte for byte, and a blob that does not open leaves the target alone.
#include <gtest/gtest.h>

#include <string>

#include "payload/packer/pack.h"
#include "wizard/licence_text.h"

namespace {

class LicenceTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(GenerateKeyMaterial("licence test seed", key));
        guard = new CGuard(key.Params);
        ASSERT_TRUE(guard->Load(key.Block.data(), (uint32_t)key.Block.size()));
    }
    void TearDown() override { delete guard; }

    Bytes Blob(const std::string& raw)
    {
        Bytes stored;
        EXPECT_TRUE(MakeBlob(*guard, Bytes(raw.begin(), raw.end()), 0, stored));
        return stored;
    }

    KeyMaterial key;
    CGuard* guard = nullptr;
};

TEST_F(LicenceTextTest, KeepsTheTextAndDropsOnlyALeadingMark)
{
    struct Case {
        std::string raw, shown;
    } cases[] = {
        {"\xEF\xBB\xBFLicence\r\nTwo", "Licence\r\nTwo"},
        {"Umowa \xC5\x82", "Umowa \xC5\x82"},  // no mark: from the first byte
        {"\xEF\xBB\xBF", ""},
        {"\xEF\xBB", "\xEF\xBB"},              // too short for a mark
        {"A", "A"},
        {"x\xEF\xBB\xBF", "x\xEF\xBB\xBF"},    // a mark later on is text
    };
    for (const Case& c : cases) {
        const Bytes stored = Blob(c.raw);
        GString out;
        ASSERT_TRUE(LoadLicenceText(*guard, stored.data(), (uint32_t)stored.size(), out)) << c.raw;
        EXPECT_FALSE(out.IsWide());
        EXPECT_EQ(c.shown, std::string(out.NarrowAt(0), out.Length())) << c.raw;
    }
}

TEST_F(LicenceTextTest, RefusesMissingOrDamagedBlobs)
{
    Bytes stored = Blob("Licence");
    GString out;
    out.AssignNarrow("kept", -1, 0);
    EXPECT_FALSE(LoadLicenceText(*guard, nullptr, 16, out));
    EXPECT_FALSE(LoadLicenceText(*guard, stored.data(), 0, out));
    stored[stored.size() - 1] ^= 0x55;
    EXPECT_FALSE(LoadLicenceText(*guard, stored.data(), (uint32_t)stored.size(), out));
    EXPECT_EQ("kept", std::string(out.NarrowAt(0), out.Length()));

    CGuard empty(key.Params);  // no key loaded
    const Bytes good = Blob("Licence");
    EXPECT_FALSE(LoadLicenceText(empty, good.data(), (uint32_t)good.size(), out));
}

}  // namespace
