#include "text/convert.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// The same ASCII text as UTF-16 units; null stays null.
static const WChar* Widen(std::u16string& storage, const char* p, int n)
{
    if (!p)
        return nullptr;
    storage.assign(p, p + (n > 0 ? n : 0));
    return storage.c_str();
}

// Conversions ---------------------------------------------------------------

TEST(Utf8, Encode)
{
    struct {
        std::u16string units;
        std::string bytes;
    } const cases[] = {
        {u"A", "A"},
        {std::u16string(1, u'\0'), std::string(1, '\0')},  // a zero unit is one byte
        {u"\u00E9", "\xC3\xA9"},
        {u"\u07FF", "\xDF\xBF"},
        {u"\u0800", "\xE0\xA0\x80"},
        {u"\u20AC", "\xE2\x82\xAC"},
        {u"\uFFFF", "\xEF\xBF\xBF"},
        {u"\U0001F600", "\xED\xA0\xBD\xED\xB8\x80"},  // each surrogate on its own
        {u"", ""},
    };
    for (const auto& c : cases) {
        int cch = int(c.units.size());
        ASSERT_EQ(Utf8EncodedSize(c.units.data(), cch), int(c.bytes.size()));
        char out[16] = {};
        EXPECT_EQ(Utf8Encode(c.units.data(), cch, out), int(c.bytes.size()));
        EXPECT_EQ(std::string(out, c.bytes.size()), c.bytes);
    }
}

TEST(Utf8, Decode)
{
    struct {
        std::string bytes;
        int result;
        std::u16string units;
    } const cases[] = {
        {"\xC3\xA9", 1, u"\u00E9"},
        {std::string("\xC0\x80", 2), 1, std::u16string(1, u'\0')},  // overlong forms decode arithmetically
        {"\xED\xA0\xBD\xED\xB8\x80", 2, u"\U0001F600"},
        {"z\xC5\x82y", 3, u"z\u0142y"},
        {"", 0, u""},
        {"\xF0\x9F\x98\x80", -1, u""},  // no 4-byte forms
        {"\xC3", -1, u""},               // cut off
        {"\xE2\x82", -1, u""},
        {"a\x80", -1, u""},              // stray continuation byte
        {"\xC3\x41", -1, u""},           // continuation outside 0x80-0xBF
        {"\xE2\x82\xC0", -1, u""},
        {"\xFF", -1, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        WChar out[16];
        int n = Utf8Decode(c.bytes.data(), int(c.bytes.size()), out);
        ASSERT_EQ(n, c.result);
        if (n >= 0) {
            EXPECT_EQ(std::u16string(out, size_t(n)), c.units);
        }
    }
}

// Every unit, surrogates included, comes back from its own UTF-8 form.
TEST(Utf8, EveryUnitRoundTrips)
{
    for (unsigned c = 0; c <= 0xFFFF; c++) {
        WChar unit = WChar(c);
        char bytes[4];
        int cb = Utf8Encode(&unit, 1, bytes);
        ASSERT_EQ(cb, Utf8EncodedSize(&unit, 1));
        ASSERT_EQ(Utf8CharCount(bytes, cb), 1) << std::hex << c;
        WChar back = 0;
        ASSERT_EQ(Utf8Decode(bytes, cb, &back), 1) << std::hex << c;
        ASSERT_EQ(back, unit) << std::hex << c;
    }
}

TEST(Utf8, CharCountAndSpan)
{
    struct {
        std::string bytes;
        int count;
    } const cases[] = {
        {"", 0},
        {"abc", 3},
        {"\xC3\xA9" "a\xE2\x82\xAC", 3},
        {"\xF0\x9F\x98\x80" "a", 2},  // a 4-byte lead counts as one character
        {"a\x80" "bc", 2},            // stops after counting the stray byte
        {"a\xFF" "bc", 2},
        {"a\xE2\x82", 2},             // stops at a sequence running past the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8CharCount(c.bytes.data(), int(c.bytes.size())), c.count) << c.bytes;

    const char text[] = "\xC3\xA9" "a\xE2\x82\xAC" "b";
    EXPECT_EQ(Utf8CharSpan(text, 7, 0), 0);
    EXPECT_EQ(Utf8CharSpan(text, 7, 1), 2);
    EXPECT_EQ(Utf8CharSpan(text, 7, 3), 6);
    EXPECT_EQ(Utf8CharSpan(text, 7, 99), 7);
    EXPECT_EQ(Utf8CharSpan(text, 5, 3), 5);  // clamped where the euro sign is cut off
}

// Searches ------------------------------------------------------------------

TEST(Search, FindBytes)
{
    const char* hay = "abcabc";
    struct {
        const char* haystack;
        const char* needle;
        int cbHaystack, cbNeedle, from, result;
    } const cases[] = {
        {hay, "bc", 6, 2, 0, 1},
        {hay, "bc", 6, 2, 2, 4},  // the first match at or after from
        {hay, "bc", 6, 2, 5, -1},  // from + needle length > haystack length
        {hay, "c", 6, 1, 5, 5},
        {hay, "abc", 6, 3, 3, 3},
        {hay, "abd", 6, 3, 0, -1},
        {hay, "abcabcx", 6, 7, 0, -1},
        {hay, "", 6, 0, 0, -1},  // empty needle
        {hay, "a", 0, 1, 0, -1},
        {hay, "a", 6, 1, -1, -1},
        {nullptr, "a", 6, 1, 0, -1},
        {hay, nullptr, 6, 1, 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindBytes(c.haystack, c.needle, c.cbHaystack, c.cbNeedle, c.from), c.result)
            << (c.needle ? c.needle : "(null)") << " from " << c.from;
        std::u16string h, n;
        EXPECT_EQ(FindUnits(Widen(h, c.haystack, c.cbHaystack), Widen(n, c.needle, c.cbNeedle), c.cbHaystack,
                            c.cbNeedle, c.from),
                  c.result);
    }

    const uint8_t image[] = {0x00, 0xFF, 0x10, 0x00, 0xFF, 0x10};
    const uint8_t pattern[] = {0xFF, 0x10};
    EXPECT_EQ(FindBytes(image, pattern, 6, 2, 0), 1);
    EXPECT_EQ(FindBytes(image, pattern, 6, 2, 2), 4);
}

TEST(Search, Reverse)
{
    const char* hay = "a\\b\\c";
    EXPECT_EQ(FindLastBytes(hay, "\\", 5, 1, 0), 3);
    EXPECT_EQ(FindLastBytes(hay, "\\", 5, 1, 3), 3);
    EXPECT_EQ(FindLastBytes(hay, "\\", 5, 1, 4), -1);
    EXPECT_EQ(FindLastBytes(hay, "a\\", 5, 2, 0), 0);
    EXPECT_EQ(FindLastBytes(hay, "\\c", 5, 2, 4), -1);  // from + needle length > haystack length
    EXPECT_EQ(FindLastBytes(hay, "", 5, 0, 0), -1);
    EXPECT_EQ(FindLastBytes(hay, "x", 5, 1, -1), -1);

    EXPECT_EQ(FindLastByte(hay, 5, '\\', 0), 3);
    EXPECT_EQ(FindLastByte(hay, 5, '\\', 4), -1);
    EXPECT_EQ(FindLastByte(hay, 5, 'c', 4), 4);
    EXPECT_EQ(FindLastByte(hay, 5, 'a', 5), -1);  // from outside the range
    EXPECT_EQ(FindLastByte(hay, 0, 'a', 0), -1);
    EXPECT_EQ(FindLastByte(hay, 5, 'a', -1), -1);

    const WChar* wide = u"a\\b\\c";
    EXPECT_EQ(FindLastUnit(wide, 5, '\\', 0), 3);
    EXPECT_EQ(FindLastUnit(wide, 5, '\\', 4), -1);
    EXPECT_EQ(FindLastUnit(wide, 5, 'a', 0), 0);
    EXPECT_EQ(FindLastUnit(wide, 5, 'a', 1), -1);
    EXPECT_EQ(FindLastUnit(nullptr, 5, 'a', 0), -1);
}

// Comparisons ---------------------------------------------------------------

TEST(Compare, ThreeWay)
{
    struct {
        const char* a;
        int cbA;
        const char* b;
        int cbB;
        int result;
    } const cases[] = {
        {"ab", 2, "b", 1, 1},  // the longer orders after
        {"ab", 2, "ac", 2, -1},
        {"ac", 2, "ab", 2, 1},
        {"ab", 2, "ab", 2, 0},
        {"", 0, "", 0, 0},
        {nullptr, 0, "", 0, 0},
        {nullptr, 5, nullptr, 3, 0},  // null ranges are empty whatever their length
        {"", 0, "a", 1, -1},
        {"a", 1, nullptr, 0, 1},
        {"\xE9", 1, "a", 1, 1},  // unsigned bytes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareBytes(c.a, c.cbA, c.b, c.cbB), c.result);
        std::u16string a, b;
        EXPECT_EQ(CompareUnits(Widen(a, c.a, c.cbA), c.cbA, Widen(b, c.b, c.cbB), c.cbB), c.result);
    }
    EXPECT_EQ(CompareUnits(u"\uFFFF", 1, u"a", 1), 1);  // unsigned units
}

// Upper-casing --------------------------------------------------------------

TEST(UpperCase, Cases)
{
    struct {
        unsigned c, upper;
    } const cases[] = {
        {'a', 'A'},       {'z', 'Z'},       {'A', 'A'},       {'0', '0'},       {'{', '{'},
        {0x00E9, 0x00C9}, {0x00F7, 0x00F7}, {0x00FF, 0x0178}, {0x0131, 'I'},    {0x00DF, 0x00DF},
        {0x00B5, 0x00B5}, {0x0430, 0x0410}, {0x0101, 0x0100}, {0x0100, 0x0100}, {0x0105, 0x0104},
        {0x0107, 0x0106}, {0x0119, 0x0118}, {0x0142, 0x0141}, {0x0144, 0x0143}, {0x00F3, 0x00D3},
        {0x015B, 0x015A}, {0x017A, 0x0179}, {0x017C, 0x017B}, {0x0561, 0x0531}, {0x24D0, 0x24B6},
        {0x2D00, 0x10A0}, {0xFF41, 0xFF21}, {0x01C6, 0x01C4}, {0x03B1, 0x0391}, {0x1F80, 0x1F88},
        {0xA78C, 0xA78B}, {0x2C30, 0x2C00}, {0x1E01, 0x1E00}, {0xA733, 0xA732}, {0xFFFF, 0xFFFF},
        {0x10D0, 0x10D0},  // left unchanged by the range rule
    };
    for (const auto& c : cases)
        EXPECT_EQ(unsigned(UpperCaseMap(WChar(c.c))), c.upper) << std::hex << c.c;
}

TEST(UpperCase, TableIsSortedAndReachable)
{
    int count = 0;
    const UpperCasePair* table = UpperCaseTable(&count);
    // Unicode 15 (Debian's unicode-data) has 414 such mappings; data from
    // Unicode 6.0, the version the range rules were drawn from, would give 401.
    EXPECT_EQ(count, 414);
    for (int i = 0; i < count; i++) {
        if (i > 0) {
            EXPECT_LT(table[i - 1].lower, table[i].lower);
        }
        EXPECT_EQ(UpperCaseMap(WChar(table[i].lower)), WChar(table[i].upper)) << std::hex << table[i].lower;
    }
    EXPECT_EQ(table[count - 1].lower, 0xA78C);
}

TEST(UpperCase, GeneratedTableIsCurrent)
{
    std::string command = std::string(KRESKA_PYTHON) + " " KRESKA_SOURCE_DIR "/tools/gen_upper_case_map.py " UNICODE_DATA_FILE;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string generated;
    char buffer[4096];
    size_t cb;
    while ((cb = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        generated.append(buffer, cb);
    ASSERT_EQ(pclose(pipe), 0);

    std::ifstream committed(KRESKA_SOURCE_DIR "/text/upper_case_map.inc", std::ios::binary);
    ASSERT_TRUE(committed);
    std::stringstream content;
    content << committed.rdbuf();
    EXPECT_EQ(generated, content.str());
}

// Every result is the unit itself or its Unicode simple upper-case mapping:
// a wrong bound in a range rule shows up here.
TEST(UpperCase, AgreesWithUnicodeData)
{
    std::ifstream data(UNICODE_DATA_FILE);
    ASSERT_TRUE(data);
    std::map<unsigned, unsigned> upper;
    std::string line;
    while (std::getline(data, line)) {
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, ';'))
            fields.push_back(field);
        if (fields.size() > 12 && !fields[12].empty())
            upper[std::stoul(fields[0], nullptr, 16)] = std::stoul(fields[12], nullptr, 16);
    }
    ASSERT_GT(upper.size(), 1000u);
    int mapped = 0;
    for (unsigned c = 0; c <= 0xFFFF; c++) {
        unsigned r = UpperCaseMap(WChar(c));
        if (r == c)
            continue;
        mapped++;
        auto it = upper.find(c);
        ASSERT_TRUE(it != upper.end()) << std::hex << c << " -> " << r;
        EXPECT_EQ(r, it->second) << std::hex << c;
    }
    EXPECT_GT(mapped, 1000);
}
