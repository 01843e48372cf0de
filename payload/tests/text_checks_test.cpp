#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/packer/inventory.h"
#include "payload/packer/pack.h"

namespace {

// A fixture holding every text of the inventory once: language texts in both
// language tables, the rest in common; patterns are valid.
struct Texts {
    TextMap tables[TABLE_COUNT];
    SignatureMap signatures = {{97, "s"}, {12, "u"}, {129, ""}};

    Texts()
    {
        for (int row = 0; row < kTextInventoryCount; ++row) {
            for (uint32_t id = kTextInventory[row].First; id <= kTextInventory[row].Last; ++id) {
                if (IsPatternText(id)) {
                    tables[TABLE_COMMON][id] = u"0A1B";
                } else if (id >= 90) {
                    tables[TABLE_LANGUAGE0][id] = u"text";
                    tables[TABLE_LANGUAGE1][id] = u"tekst";
                } else {
                    tables[TABLE_COMMON][id] = u"name";
                }
            }
        }
        tables[TABLE_LANGUAGE0][97] = u"Welcome to %s";
        tables[TABLE_LANGUAGE1][97] = u"Witamy w %s";
        tables[TABLE_COMMON][12] = u"%08X";
        tables[TABLE_LANGUAGE0][129] = u"Remove it 100%%?";
        tables[TABLE_LANGUAGE1][129] = u"Usunąć w 100%%?";
        tables[TABLE_EXTRA][900] = u"extra";
    }

    std::vector<std::string> Errors(bool requireComplete = false)
    {
        std::vector<std::string> errors, warnings;
        CheckTexts(tables, signatures, requireComplete, errors, warnings);
        return errors;
    }
};

bool HasError(const std::vector<std::string>& errors, const std::string& fragment)
{
    for (const std::string& e : errors)
        if (e.find(fragment) != std::string::npos)
            return true;
    return false;
}

TEST(TextChecks, CompleteFixturePasses)
{
    Texts texts;
    EXPECT_EQ(std::vector<std::string>{}, texts.Errors(true));
}

TEST(TextChecks, EachBrokenFixtureNamesItsText)
{
    struct Case {
        const char* name;
        void (*breakIt)(Texts&);
        const char* fragment;
    };
    const Case cases[] = {
        {"inventory text missing", [](Texts& t) { t.tables[TABLE_COMMON].erase(44); },
         "text 44 is in no table"},
        {"key name missing", [](Texts& t) { t.tables[TABLE_LANGUAGE0].erase(326); t.tables[TABLE_LANGUAGE1].erase(326); },
         "text 326 is in no table"},
        {"language text without counterpart", [](Texts& t) { t.tables[TABLE_LANGUAGE1].erase(99); },
         "text 99 (en) has no counterpart in pl"},
        {"argument kind differs", [](Texts& t) { t.tables[TABLE_LANGUAGE1][97] = u"Witamy w %d"; },
         "format text 97 (pl): its directives take \"u\", its call site passes \"s\""},
        {"argument missing", [](Texts& t) { t.tables[TABLE_LANGUAGE0][97] = u"Welcome"; },
         "format text 97 (en): its directives take \"-\""},
        {"argument too many", [](Texts& t) { t.tables[TABLE_COMMON][12] = u"%X%X"; },
         "format text 12 (common): its directives take \"uu\""},
        {"lone percent in a no-argument format", [](Texts& t) { t.tables[TABLE_LANGUAGE0][129] = u"100% sure?"; },
         "format text 129 (en): its directives take \"s\""},
        {"unsupported conversion", [](Texts& t) { t.tables[TABLE_COMMON][12] = u"%f"; },
         "format text 12 (common): directive %f"},
        {"listed format missing", [](Texts& t) { t.signatures[5000] = "s"; },
         "format text 5000 is in no table"},
        {"lower-case pattern", [](Texts& t) { t.tables[TABLE_COMMON][147] = u"0a1b"; },
         "pattern text 147 (common)"},
        {"odd pattern", [](Texts& t) { t.tables[TABLE_COMMON][150] = u"ABC"; },
         "pattern text 150 (common)"},
        {"spaced pattern", [](Texts& t) { t.tables[TABLE_COMMON][151] = u"AB CD"; },
         "pattern text 151 (common)"},
    };
    for (const Case& c : cases) {
        Texts texts;
        c.breakIt(texts);
        const std::vector<std::string> errors = texts.Errors();
        EXPECT_TRUE(HasError(errors, c.fragment))
            << c.name << ": " << (errors.empty() ? "no error" : errors[0]);
    }
}

TEST(TextChecks, MissingPatternsFailOnlyWhenCompletenessIsRequired)
{
    Texts texts;
    texts.tables[TABLE_COMMON].erase(148);
    EXPECT_EQ(std::vector<std::string>{}, texts.Errors(false));
    EXPECT_TRUE(HasError(texts.Errors(true), "text 148 is in no table"));
}

}  // namespace
