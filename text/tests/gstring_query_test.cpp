#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/debug_trace.h"
#include "text/gstring.h"
#include "text/tests/test_util.h"

namespace {

// A string of either kind holding the UTF-8 text (wide strings decode it).
void Make(GString& s, const char* utf8, int wideKind)
{
    ASSERT_TRUE(s.AssignNarrow(utf8, -1, -1));
    if (wideKind) {
        ASSERT_NE(s.ToWide(-1), nullptr);
    }
}

}  // namespace

// Searching ----------------------------------------------------------------

TEST(GStringFind, AllKindCombinations)
{
    struct {
        const char* text;
        const char* needle;  // null: a null needle
        int from;
        int narrowResult;  // index in bytes when the string is narrow
        int wideResult;    // index in units when it is wide
    } const cases[] = {
        {"abcabc", "bc", 0, 1, 1},
        {"abcabc", "bc", 2, 4, 4},
        {"abcabc", "abc", 4, -1, -1},  // from + needle length > length
        {"abc", "x", 3, -1, -1},        // from is not below the length
        {"abc", "c", 2, 2, 2},
        {"abc", "", 0, -1, -1},
        {"abc", nullptr, 0, -1, -1},
        {"abc", "a", -1, -1, -1},
        {"", "a", 0, -1, -1},
        {"g\xC4\x99\xC5\x9B" "g\xC4\x99\xC5\x9B", "\xC5\x9B", 0, 3, 2},
        {"g\xC4\x99\xC5\x9B" "g\xC4\x99\xC5\x9B", "\xC5\x9B", 4, 8, 5},
    };
    for (const auto& c : cases) {
        for (int wideKind = 0; wideKind < 2; wideKind++) {
            for (int needleWide = 0; needleWide < 2; needleWide++) {
                SCOPED_TRACE(testing::Message() << c.text << " / " << (c.needle ? c.needle : "(null)") << " from "
                                                << c.from << " wide " << wideKind << needleWide);
                GString s, needle;
                Make(s, c.text, wideKind);
                Make(needle, c.needle ? c.needle : "", needleWide);
                int expected = wideKind ? c.wideResult : c.narrowResult;
                int found;
                if (!c.needle)
                    found = needleWide ? s.FindWide(nullptr, c.from, 3) : s.FindNarrow(nullptr, c.from, 3);
                else if (needleWide)
                    found = s.FindWide(needle.WideAt(0), c.from, -1);
                else
                    found = s.FindNarrow(needle.NarrowAt(0), c.from, -1);
                EXPECT_EQ(found, expected);
                if (c.needle) {
                    EXPECT_EQ(s.Find(needle, c.from), expected);
                }
            }
        }
    }
}

TEST(GStringFind, UndecodableNeedle)
{
    GString s;
    Make(s, "abc", 1);
    EXPECT_EQ(s.FindNarrow("\xC3", 0, -1), -1);
    EXPECT_EQ(s.FindNarrow("bc", 0, 1), 1);  // an explicit needle length
}

TEST(GStringFind, LastChar)
{
    struct {
        const char* text;
        unsigned ch;
        int from;
        int narrowResult, wideResult;
    } const cases[] = {
        {"C:\\dir\\file.exe", '\\', 0, 6, 6},
        {"C:\\dir\\file.exe", '\\', 6, 6, 6},
        {"C:\\dir\\file.exe", '\\', 7, -1, -1},
        {"C:\\dir\\file.exe", 'C', 0, 0, 0},
        {"C:\\dir\\file.exe", 'x', 15, -1, -1},  // from outside the text
        {"C:\\dir\\file.exe", 'x', -1, -1, -1},
        {"", 'x', 0, -1, -1},
        {"\xC5\x82\xC3\xB3\xC5\x82" "d", 0x0142, 0, 4, 2},  // byte position on narrow text
        {"\xC5\x82\xC3\xB3\xC5\x82" "d", 0x0142, 5, -1, -1},
        {"\xE2\x82\xAC", 0x20AC, 0, 0, 0},
    };
    for (const auto& c : cases) {
        for (int wideKind = 0; wideKind < 2; wideKind++) {
            GString s;
            Make(s, c.text, wideKind);
            EXPECT_EQ(s.FindLastChar(WChar(c.ch), c.from), wideKind ? c.wideResult : c.narrowResult)
                << c.text << " " << std::hex << c.ch << " from " << std::dec << c.from << " wide " << wideKind;
        }
    }

    GString path;
    Make(path, "C:\\dir\\file.exe", 1);
    ASSERT_TRUE(path.CutFront(path.FindLastChar('\\', 0) + 1));
    EXPECT_EQ(WideText(path), WSTR("file.exe"));
}

// Comparison ---------------------------------------------------------------

TEST(GStringCompare, AllKindCombinations)
{
    struct {
        const char* a;
        const char* b;
        int result;
    } const cases[] = {
        {"aa", "b", 1},  // the longer text orders after
        {"aa", "ab", -1},
        {"ab", "aa", 1},
        {"ab", "ab", 0},
        {"", "", 0},
        {"", "a", -1},
        {"a", "", 1},
        {"\xC4\x85", "\xC4\x85", 0},
    };
    for (const auto& c : cases) {
        for (int aWide = 0; aWide < 2; aWide++) {
            for (int bWide = 0; bWide < 2; bWide++) {
                SCOPED_TRACE(testing::Message() << c.a << " vs " << c.b << " wide " << aWide << bWide);
                GString a, b;
                Make(a, c.a, aWide);
                Make(b, c.b, bWide);
                int order = bWide ? a.CompareWide(b.WideAt(0), b.Length()) : a.CompareNarrow(b.NarrowAt(0), b.Length());
                EXPECT_EQ(order, c.result);
                EXPECT_EQ(a == b, c.result == 0);
                EXPECT_EQ(a != b, c.result != 0);
            }
        }
    }
}

TEST(GStringCompare, NullAndUnsigned)
{
    GString s;
    Make(s, "a", 1);
    EXPECT_EQ(s.CompareWide(nullptr, 4), 1);
    EXPECT_EQ(s.CompareWide(WSTR("\uFFFF"), -1), -1);  // units compare unsigned
    GString empty;
    EXPECT_EQ(empty.CompareNarrow(nullptr, 0), 0);
    EXPECT_EQ(empty.CompareWide(WSTR(""), -1), 0);
    GString n;
    Make(n, "\xC3\xA9", 0);
    EXPECT_EQ(n.CompareNarrow("ab", -1), 1);  // 0xC3 after 'a'
}

// A text that cannot be converted compares as 0 but is not equal.
TEST(GStringCompare, UndecodableTextIsNotEqual)
{
    GString wide, invalid;
    Make(wide, "abc", 1);
    ASSERT_TRUE(invalid.AssignNarrow("ab\xC3", -1, -1));
    EXPECT_EQ(wide.CompareNarrow("ab\xC3", -1), 0);
    EXPECT_FALSE(wide == invalid);
    EXPECT_TRUE(wide != invalid);
    EXPECT_TRUE(wide == wide);
}

// Upper-casing -------------------------------------------------------------

TEST(GStringToUpper, BothKinds)
{
    struct {
        const char* text;
        const char* upper;
    } const cases[] = {
        {"za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85 ja\xC5\xBA\xC5\x84",
         "ZA\xC5\xBB\xC3\x93\xC5\x81\xC4\x86 G\xC4\x98\xC5\x9AL\xC4\x84 JA\xC5\xB9\xC5\x83"},
        {"stra\xC3\x9F" "e", "STRA\xC3\x9F" "E"},   // sharp s stays
        {"\xC4\xB1\xC4\xB1\xC4\xB1", "III"},       // dotless i: the UTF-8 form shrinks
        {"\xC9\x90", "\xE2\xB1\xAF"},              // U+0250 to U+2C6F: the UTF-8 form grows
        {"", ""},
        {"123 ABC", "123 ABC"},
    };
    for (const auto& c : cases) {
        for (int wideKind = 0; wideKind < 2; wideKind++) {
            GString s, expected;
            Make(s, c.text, wideKind);
            Make(expected, c.upper, wideKind);
            EXPECT_EQ(s.ToUpper(), 1);
            EXPECT_EQ(s.wide, wideKind);
            EXPECT_TRUE(s == expected) << c.text << " wide " << wideKind;
        }
    }

    GString invalid;
    ASSERT_TRUE(invalid.AssignNarrow("ab\xC3", -1, -1));
    EXPECT_EQ(invalid.ToUpper(), 0);
    EXPECT_EQ(NarrowText(invalid), "ab\xC3");
}

// Debug trace --------------------------------------------------------------

namespace {

struct TraceCapture {
    std::vector<WText> lines;

    TraceCapture() { SetDebugTraceSink(&TraceCapture::Receive, this); }
    ~TraceCapture() { SetDebugTraceSink(nullptr, nullptr); }

    static void Receive(const WChar* line, void* context)
    {
        static_cast<TraceCapture*>(context)->lines.push_back(line);
    }
};

WText Repeat(const WText& unit, int count)
{
    WText text;
    for (int i = 0; i < count; i++)
        text += unit;
    return text;
}

const WText kMark = WSTR(" \\\n");

}  // namespace

TEST(GStringTrace, LineSplitting)
{
    WText a80 = Repeat(WSTR("a"), 80);
    struct {
        int cch;
        int maxChars;
        std::vector<WText> lines;
    } const cases[] = {
        {200, 65535, {a80 + kMark, a80 + kMark, Repeat(WSTR("a"), 40) + WSTR("\n")}},
        {80, 65535, {a80 + WSTR("\n")}},
        {160, 65535, {a80 + kMark, a80 + WSTR("\n")}},
        {1, 65535, {WSTR("a\n")}},
        {200, 100, {a80 + kMark, Repeat(WSTR("a"), 20) + WSTR("\n")}},  // nothing past maxChars
        {200, 80, {a80 + WSTR("\n")}},
        {200, 0, {}},
        {0, 65535, {}},
    };
    for (const auto& c : cases) {
        GString s;
        s.ClearWide();
        ASSERT_TRUE(s.AppendWideChar('a', c.cch));
        TraceCapture capture;
        s.DebugTrace(c.maxChars);
        EXPECT_EQ(capture.lines, c.lines) << c.cch << " characters, at most " << c.maxChars;
        EXPECT_EQ(WideText(s), Repeat(WSTR("a"), c.cch));  // the text itself is untouched
    }
}

TEST(GStringTrace, NarrowTextCountsCharacters)
{
    std::string text;
    for (int i = 0; i < 100; i++)
        text += "\xC3\xA9";  // 100 characters in 200 bytes
    GString s;
    ASSERT_TRUE(s.AssignNarrow(text.c_str(), -1, -1));
    TraceCapture capture;
    s.DebugTrace(65535);
    std::vector<WText> expected = {Repeat(WSTR("\u00E9"), 80) + kMark, Repeat(WSTR("\u00E9"), 20) + WSTR("\n")};
    EXPECT_EQ(capture.lines, expected);
    EXPECT_EQ(s.wide, 0);

    // Text that cannot be decoded stops the trace at that line.
    std::string broken = std::string(85, 'x') + "\xC3";
    ASSERT_TRUE(s.AssignNarrow(broken.c_str(), -1, -1));
    capture.lines.clear();
    s.DebugTrace(65535);
    expected = {Repeat(WSTR("x"), 80) + kMark};
    EXPECT_EQ(capture.lines, expected);
}
