#include "text/gstring.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <vector>

#include "text/tests/test_util.h"

// Construction and storage --------------------------------------------------

TEST(GStringStorage, DefaultHasNoBlockAndSharedEmptyTexts)
{
    GString a, b;
    EXPECT_EQ(a.block, nullptr);
    EXPECT_EQ(a.capacity, 0);
    EXPECT_EQ(a.granule, 64);
    EXPECT_EQ(a.traceWidth, 80);
    EXPECT_EQ(a.wide, 0);
    EXPECT_EQ(a.scratch, nullptr);
    ASSERT_NE(a.NarrowAt(0), nullptr);
    ASSERT_NE(a.WideAt(0), nullptr);
    EXPECT_EQ(a.NarrowAt(0)[0], 0);
    EXPECT_EQ(a.WideAt(0)[0], 0);
    EXPECT_EQ(a.NarrowAt(0), b.NarrowAt(0));
    EXPECT_EQ(a.WideAt(0), b.WideAt(0));
    EXPECT_EQ(a.SetLength(5), 0);
    a.Terminate();
    EXPECT_EQ(a.block, nullptr);
    EXPECT_EQ(a.Reserve(0), 0);  // n <= length compacts, and there is no block
    EXPECT_EQ(a.Compact(), 0);
}

TEST(GStringStorage, FillConstructor)
{
    GString comma(WChar(','), 1);
    EXPECT_EQ(comma.wide, 1);
    EXPECT_EQ(WideText(comma), WSTR(","));
    EXPECT_EQ(comma.capacity, 64);

    GString none(WChar('x'), 0);
    EXPECT_EQ(none.wide, 1);
    EXPECT_EQ(none.block, nullptr);
    EXPECT_EQ(none.Length(), 0);
}

TEST(GStringStorage, BlockSizes)
{
    GString w;
    w.ClearWide();
    ASSERT_TRUE(w.AppendWideChar('a', 1));
    EXPECT_EQ(w.capacity, 64);
    ASSERT_TRUE(w.AppendWideChar('a', 28));
    EXPECT_EQ(w.capacity, 64);  // 29 units fit the first granule

    GString n;
    ASSERT_TRUE(n.AppendNarrowChar('a', 59));
    EXPECT_EQ(n.capacity, 64);  // 59 bytes fit the first granule
    ASSERT_TRUE(n.AppendNarrowChar('a', 1));
    EXPECT_EQ(n.capacity, 128);

    struct {
        int n;
        int capacity;
    } const tails[] = {{261, 576}, {2048, 4160}, {10, 64}, {2309, 4672}};
    for (const auto& c : tails) {
        GString s;
        WChar* p = s.WideTail(c.n);
        ASSERT_NE(p, nullptr) << c.n;
        EXPECT_EQ(s.wide, 1);
        EXPECT_EQ(s.capacity, c.capacity) << c.n;
        for (int i = 0; i <= c.n; i++)
            p[i] = 'x';  // n characters and the terminator are writable (ASan checks)
    }
}

TEST(GStringStorage, GrowsByHalfTheLength)
{
    GString s;
    s.ClearWide();
    std::vector<int> capacities;
    for (int i = 0; i < 200; i++) {
        ASSERT_TRUE(s.AppendWideChar('x', 1));
        if (capacities.empty() || capacities.back() != s.capacity)
            capacities.push_back(s.capacity);
    }
    // 29 -> 30 units reserves max(30, 29 + 14) = 43: (43 + 1) * 2 + 4 = 92 -> 128,
    // and so on.
    EXPECT_EQ(capacities, (std::vector<int>{64, 128, 192, 320, 512}));
    EXPECT_EQ(WideText(s), WText(200, WSTR('x')));
}

TEST(GStringStorage, ReserveKeepsTextAndWritesHeader)
{
    GString s;
    ASSERT_TRUE(s.AssignNarrow("hello", -1, -1));
    ASSERT_TRUE(s.Reserve(100));
    EXPECT_EQ(s.capacity, 128);
    EXPECT_EQ(NarrowText(s), "hello");
    uint32_t header;
    memcpy(&header, s.block, 4);
    EXPECT_EQ(header, 0x80000005u);  // narrow, five bytes when the block was made

    GString w;
    ASSERT_TRUE(w.AssignWide(WSTR("abc"), -1));
    ASSERT_TRUE(w.Reserve(100));
    memcpy(&header, w.block, 4);
    EXPECT_EQ(header, 6u);  // wide, three units = six bytes

    uint8_t* block = w.block;
    EXPECT_EQ(w.Reserve(-1), 1);
    EXPECT_EQ(w.Reserve(50), 1);  // fits: the block stays
    EXPECT_EQ(w.block, block);
    EXPECT_EQ(w.Reserve(2), 1);  // below the length: only compacts
    EXPECT_EQ(w.block, block);
}

TEST(GStringStorage, ImpossibleSizesFailAndLeaveTheText)
{
    GString s;
    ASSERT_TRUE(s.AssignWide(WSTR("keep"), -1));
    uint8_t* block = s.block;
    EXPECT_EQ(s.Reserve(0x40000000), 0);
    EXPECT_EQ(s.Grow(INT_MAX), 0);
    EXPECT_EQ(s.AppendWideChar('x', INT_MAX), 0);
    EXPECT_EQ(s.WideTail(INT_MAX - 1), nullptr);
    EXPECT_EQ(s.block, block);
    EXPECT_EQ(WideText(s), WSTR("keep"));
}

TEST(GStringStorage, CutFrontDoesNotMoveTheText)
{
    GString s;
    ASSERT_TRUE(s.AssignWide(WSTR("C:\\a"), -1));
    uint8_t* block = s.block;
    const WChar* a = s.WideAt(3);
    ASSERT_EQ(s.CutFront(3), 1);
    EXPECT_EQ(WideText(s), WSTR("a"));
    EXPECT_EQ(s.start, 3);
    EXPECT_EQ(s.WideAt(0), a);

    // 64 bytes hold 29 units; from position 3 only 26 remain. An append that
    // needs more moves the text to the front instead of reallocating.
    ASSERT_TRUE(s.AppendWideChar('b', 5));
    EXPECT_EQ(s.start, 3);
    ASSERT_TRUE(s.CutFront(5));
    WText more(26, WSTR('c'));
    ASSERT_TRUE(s.AppendWide(more.c_str(), -1));
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.block, block);
    EXPECT_EQ(s.capacity, 64);
    EXPECT_EQ(WideText(s), WSTR("b") + more);
    EXPECT_EQ(s.WideAt(0)[s.Length()], 0);
}

TEST(GStringStorage, CutFrontLimits)
{
    GString s;
    ASSERT_TRUE(s.AssignNarrow("abcd", -1, -1));
    EXPECT_EQ(s.CutFront(0), 0);
    EXPECT_EQ(s.CutFront(-2), 0);
    EXPECT_EQ(NarrowText(s), "abcd");
    EXPECT_EQ(s.CutFront(10), 1);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(reinterpret_cast<char*>(s.block)[4], 0);
}

TEST(GStringStorage, WideTailThenSetLength)
{
    GString s;  // narrow, no block
    WChar* p = s.WideTail(261);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(s.wide, 1);
    const WChar path[] = WSTR("C:\\Windows");
    memcpy(p, path, sizeof path);
    ASSERT_EQ(s.SetLength(-1), 1);
    EXPECT_EQ(WideText(s), WSTR("C:\\Windows"));

    // A second tail goes after the committed text.
    p = s.WideTail(4);
    ASSERT_NE(p, nullptr);
    memcpy(p, WSTR("\\x"), 3 * sizeof(WChar));
    ASSERT_EQ(s.SetLength(-1), 1);
    EXPECT_EQ(WideText(s), WSTR("C:\\Windows\\x"));
}

TEST(GStringStorage, SetLengthLimits)
{
    GString s;
    WChar* p = s.WideTail(10);
    ASSERT_NE(p, nullptr);
    int room = (s.capacity - 4) / 2 - 1;
    for (int i = 0; i < room; i++)
        p[i] = 'z';
    EXPECT_EQ(s.SetLength(-1), 1);  // no zero among the first Room units
    EXPECT_EQ(s.Length(), 0);
    for (int i = 0; i < room; i++)
        p[i] = 'z';
    EXPECT_EQ(s.SetLength(room + 5), 1);
    EXPECT_EQ(s.Length(), room);
    EXPECT_EQ(s.WideAt(0)[room], 0);
    EXPECT_EQ(s.SetLength(3), 1);
    EXPECT_EQ(WideText(s), WSTR("zzz"));

    ASSERT_TRUE(s.AssignWide(WSTR("abcdef"), -1));
    ASSERT_TRUE(s.CutFront(2));
    EXPECT_EQ(s.SetLength(0), 1);
    EXPECT_EQ(s.start, 0);
}

TEST(GStringStorage, WideTailOfZeroStillGivesATerminatorSlot)
{
    GString s;
    WChar* p = s.WideTail(0);
    ASSERT_NE(p, nullptr);
    *p = 0;
    EXPECT_EQ(s.SetLength(-1), 1);
    EXPECT_EQ(s.Length(), 0);
}

// Access --------------------------------------------------------------------

TEST(GStringAccess, KindAndIndex)
{
    GString n;
    ASSERT_TRUE(n.AssignNarrow("abc", -1, -1));
    EXPECT_STREQ(n.NarrowAt(1), "bc");
    EXPECT_STREQ(n.NarrowAt(99), "");
    EXPECT_EQ(n.NarrowAt(99), n.NarrowAt(3));  // clamped to the terminator
    EXPECT_EQ(n.NarrowAt(-1)[0], 0);
    EXPECT_EQ(n.WideAt(0)[0], 0);  // no wide text in a narrow string

    GString w;
    ASSERT_TRUE(w.AssignWide(WSTR("abc"), -1));
    EXPECT_EQ(WText(w.WideAt(2)), WSTR("c"));
    EXPECT_EQ(w.NarrowAt(0)[0], 0);

    w.Clear();
    EXPECT_EQ(w.wide, 1);
    EXPECT_NE(w.block, nullptr);
    n.ClearWide();
    EXPECT_EQ(n.wide, 1);
    EXPECT_EQ(n.Length(), 0);
}

// Assignment ----------------------------------------------------------------

TEST(GStringAssign, TakesKindAndText)
{
    GString narrow, wide;
    ASSERT_TRUE(narrow.AssignNarrow("za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", -1, -1));
    ASSERT_TRUE(wide.AssignWide(WSTR("gęś"), -1));

    GString s;
    ASSERT_TRUE(s.Assign(wide));
    EXPECT_EQ(s.wide, 1);
    EXPECT_EQ(WideText(s), WSTR("gęś"));
    ASSERT_TRUE(s.Assign(narrow));
    EXPECT_EQ(s.wide, 0);
    EXPECT_EQ(NarrowText(s), NarrowText(narrow));
    ASSERT_TRUE(s.Assign(s));  // assigning a string to itself keeps it
    EXPECT_EQ(NarrowText(s), NarrowText(narrow));

    ASSERT_TRUE(s.AssignAsWide(&narrow));
    EXPECT_EQ(WideText(s), WSTR("zażółć"));
    ASSERT_TRUE(s.AssignAsNarrow(&wide));
    EXPECT_EQ(NarrowText(s), "g\xC4\x99\xC5\x9B");
    ASSERT_TRUE(s.AssignAsWide(&s));
    EXPECT_EQ(WideText(s), WSTR("gęś"));

    EXPECT_EQ(s.AssignAsNarrow(nullptr), 0);
    EXPECT_EQ(s.wide, 0);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.AssignAsWide(nullptr), 0);
    EXPECT_EQ(s.wide, 1);
}

TEST(GStringAssign, Records)
{
    struct Record {
        uint32_t header;
        uint8_t chars[8];
    };
    const Record narrow = {0x80000002u, {0xC3, 0xA9}};
    const Record wide = {0x60000002u, {'o', 0, 'k', 0}};  // bits 29-30 are ignored
    const Record empty = {0x80000000u, {}};

    GString s;
    ASSERT_TRUE(s.AssignRecord(reinterpret_cast<const TextRecord*>(&narrow)));
    EXPECT_EQ(s.wide, 0);
    EXPECT_EQ(NarrowText(s), "\xC3\xA9");
    ASSERT_NE(s.ToWide(-1), nullptr);
    EXPECT_EQ(WideText(s), WSTR("\u00E9"));

    ASSERT_TRUE(s.AssignRecord(reinterpret_cast<const TextRecord*>(&wide)));
    EXPECT_EQ(WideText(s), WSTR("ok"));
    ASSERT_TRUE(s.AssignRecord(reinterpret_cast<const TextRecord*>(&empty)));
    EXPECT_EQ(s.wide, 0);
    EXPECT_EQ(s.Length(), 0);

    ASSERT_TRUE(s.AssignWide(WSTR("x"), -1));
    EXPECT_EQ(s.AssignRecord(nullptr), 0);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.wide, 1);  // kind kept
}

// Appending -----------------------------------------------------------------

TEST(GStringAppend, KindRules)
{
    GString n, w;
    w.ClearWide();
    EXPECT_EQ(n.AppendWide(WSTR("x"), -1), 0);
    EXPECT_EQ(w.AppendNarrow("x", -1, -1), 0);
    EXPECT_EQ(n.AppendWide(nullptr, 5), 0);  // the kind is checked first
    EXPECT_EQ(w.AppendWide(nullptr, 5), 1);  // null counts as empty
    EXPECT_EQ(w.AppendWide(WSTR(""), -1), 1);
    EXPECT_EQ(w.block, nullptr);

    ASSERT_TRUE(n.AppendWideText(WSTR("z\u0142\u20AC"), -1));
    EXPECT_EQ(NarrowText(n), "z\xC5\x82\xE2\x82\xAC");
    ASSERT_TRUE(w.AppendNarrowText("z\xC5\x82", -1, -1));
    EXPECT_EQ(WideText(w), WSTR("z\u0142"));
    ASSERT_TRUE(w.AppendNarrowText("abc", 2, 0));  // an explicit length
    EXPECT_EQ(WideText(w), WSTR("z\u0142ab"));

    // Invalid UTF-8 appends nothing, not even the valid part before it.
    EXPECT_EQ(w.AppendNarrowText("ok\xC3", -1, -1), 0);
    EXPECT_EQ(w.AppendNarrowText("ok\xF0\x9F\x98\x80", -1, -1), 0);
    EXPECT_EQ(WideText(w), WSTR("z\u0142ab"));
    EXPECT_EQ(w.WideAt(0)[w.Length()], 0);
}

TEST(GStringAppend, SingleCharacters)
{
    GString n;
    ASSERT_TRUE(n.AppendNarrowChar('-', 3));
    ASSERT_TRUE(n.AppendWideChar('=', 2));
    EXPECT_EQ(n.AppendWideChar(0xE9, 1), 0);
    EXPECT_EQ(n.AppendWideChar(0, 4), 1);
    EXPECT_EQ(n.AppendNarrowChar('x', 0), 1);
    EXPECT_EQ(n.AppendNarrowChar(char(0xE9), 1), 1);  // narrow onto narrow: any byte
    EXPECT_EQ(NarrowText(n), "---==\xE9");

    GString w(WChar('a'), 2);
    ASSERT_TRUE(w.AppendNarrowChar('b', 1));
    EXPECT_EQ(w.AppendNarrowChar(char(0xE9), 1), 0);
    EXPECT_EQ(w.AppendWideChar(0x0107, -1), 1);
    ASSERT_TRUE(w.AppendWideChar(0x0107, 2));
    EXPECT_EQ(WideText(w), WSTR("aab\u0107\u0107"));
}

TEST(GStringAppend, OtherStringsConvert)
{
    GString n, w, target;
    ASSERT_TRUE(n.AssignNarrow("\xC3\xB3", -1, -1));
    ASSERT_TRUE(w.AssignWide(WSTR("\u00F3"), -1));

    target.ClearWide();
    ASSERT_TRUE(target.Append(n));
    ASSERT_TRUE(target.Append(w));
    EXPECT_EQ(WideText(target), WSTR("\u00F3\u00F3"));
    ASSERT_TRUE(target.Append(target));  // doubling through a reallocation
    ASSERT_TRUE(target.Append(target));
    EXPECT_EQ(WideText(target), WText(8, WSTR('\u00F3')));

    GString narrowTarget;
    ASSERT_TRUE(narrowTarget.Append(w));
    ASSERT_TRUE(narrowTarget.Append(n));
    EXPECT_EQ(NarrowText(narrowTarget), "\xC3\xB3\xC3\xB3");

    GString invalid;
    ASSERT_TRUE(invalid.AssignNarrow("\x80", -1, -1));
    EXPECT_EQ(target.Append(invalid), 0);
    EXPECT_EQ(target.Length(), 8);
}

// Appending a part of the string's own text survives the block being replaced
// (ASan reports a read from the freed block otherwise).
TEST(GStringAppend, OwnTextAcrossReallocation)
{
    GString n;
    std::string text(50, 'a');
    text += "123456789";
    ASSERT_TRUE(n.AssignNarrow(text.c_str(), -1, -1));
    ASSERT_EQ(n.capacity, 64);
    ASSERT_TRUE(n.AppendNarrow(n.NarrowAt(50), 9, -1));
    EXPECT_GT(n.capacity, 64);
    EXPECT_EQ(NarrowText(n), text + "123456789");

    GString w;
    ASSERT_TRUE(w.AssignWide(WSTR("0123456789"), -1));
    ASSERT_TRUE(w.CutFront(2));
    ASSERT_TRUE(w.AppendWide(w.WideAt(1), 3));
    EXPECT_EQ(WideText(w), WSTR("23456789345"));
}

TEST(GStringAppend, EnsureEndsWith)
{
    GString s;
    s.ClearWide();
    EXPECT_EQ(s.EnsureEndsWithWide(WSTR("\\"), 1), 1);
    EXPECT_EQ(WideText(s), WSTR("\\"));
    EXPECT_EQ(s.EnsureEndsWithWide(WSTR("\\"), 1), 1);
    EXPECT_EQ(WideText(s), WSTR("\\"));
    EXPECT_EQ(s.EnsureEndsWithWide(nullptr, 1), 0);
    EXPECT_EQ(s.EnsureEndsWithWide(WSTR(""), -1), 0);
    EXPECT_EQ(s.EnsureEndsWithWide(WSTR("\0x"), 2), 0);  // starts with a zero character
    EXPECT_EQ(s.EnsureEndsWithNarrow("ab", -1), 1);  // converted through the scratch
    EXPECT_EQ(s.EnsureEndsWithNarrow("b", -1), 1);
    EXPECT_EQ(WideText(s), WSTR("\\ab"));
    EXPECT_EQ(s.EnsureEndsWithNarrow("\xFF", -1), 0);  // cannot be decoded

    GString n;
    ASSERT_TRUE(n.AssignNarrow("dir", -1, -1));
    EXPECT_EQ(n.EnsureEndsWithWide(WSTR("\u0142"), -1), 1);
    EXPECT_EQ(n.EnsureEndsWithWide(WSTR("\u0142"), -1), 1);
    EXPECT_EQ(NarrowText(n), "dir\xC5\x82");
}

TEST(GStringAppend, PathJoining)
{
    struct {
        const char* base;
        const char* part;  // null: no component
        const char* joined;
    } const cases[] = {
        {"C:\\dir", "\\file", "C:\\dir\\file"},
        {"C:\\dir\\", "\\file", "C:\\dir\\file"},
        {"C:\\dir\\", "file", "C:\\dir\\file"},
        {"C:\\dir", "/file", "C:\\dir\\file"},
        {"C:\\dir", nullptr, "C:\\dir\\"},
        {"C:\\dir", "", "C:\\dir\\"},
        {"C:\\dir", "\\", "C:\\dir\\"},
        {"C:\\dir/", "file", "C:\\dir/\\file"},  // only a backslash is a separator
        {"", "file", "\\file"},
        {"a", "\\\\b", "a\\\\b"},  // only the first separator is dropped
        {"x", "\xC5\x82\xC3\xB3" "d\xC5\xBA", "x\\\xC5\x82\xC3\xB3" "d\xC5\xBA"},
    };
    for (const auto& c : cases) {
        for (int baseWide = 0; baseWide < 2; baseWide++) {
            for (int partWide = 0; partWide < 2; partWide++) {
                SCOPED_TRACE(testing::Message() << c.base << " + " << (c.part ? c.part : "(null)")
                                                << " base wide " << baseWide << " part wide " << partWide);
                GString s, part;
                ASSERT_TRUE(s.AssignNarrow(c.base, -1, -1));
                if (baseWide) {
                    ASSERT_NE(s.ToWide(-1), nullptr);
                }
                ASSERT_TRUE(part.AssignNarrow(c.part, -1, -1));
                ASSERT_NE(part.ToWide(-1), nullptr);
                int ok;
                if (partWide)
                    ok = s.AppendPathWide(c.part ? part.WideAt(0) : nullptr, c.part ? -1 : 0);
                else
                    ok = s.AppendPathNarrow(c.part, c.part ? -1 : 0);
                EXPECT_EQ(ok, 1);
                EXPECT_EQ(s.wide, baseWide);
                ASSERT_NE(s.ToNarrow(-1), nullptr);
                EXPECT_EQ(NarrowText(s), c.joined);
            }
        }
    }

    GString s, part;
    ASSERT_TRUE(s.AssignWide(WSTR("C:\\dir"), -1));
    ASSERT_TRUE(part.AssignNarrow("file.txt", -1, -1));
    EXPECT_EQ(&s.AppendPath(part), &s);
    EXPECT_EQ(WideText(s), WSTR("C:\\dir\\file.txt"));
    EXPECT_EQ(s.AppendPathNarrow("\xC3", -1), 0);  // cannot be decoded
    EXPECT_EQ(WideText(s), WSTR("C:\\dir\\file.txt"));
}

// Conversion ----------------------------------------------------------------

TEST(GStringConvert, InPlace)
{
    GString s;
    ASSERT_TRUE(s.AssignNarrow("\xE2\x82\xAC \xED\xA0\xBD\xED\xB8\x80", -1, -1));
    const WChar* p = s.ToWide(-1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p, s.WideAt(0));
    EXPECT_EQ(WideText(s), WSTR("\u20AC \U0001F600"));
    EXPECT_EQ(s.ToWide(0), s.WideAt(0));  // already wide

    uint8_t* block = s.block;
    const char* q = s.ToNarrow(-1);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(s.wide, 0);
    EXPECT_EQ(NarrowText(s), "\xE2\x82\xAC \xED\xA0\xBD\xED\xB8\x80");  // a surrogate pair: two 3-byte forms
    EXPECT_EQ(s.block, block);  // the string keeps its storage
    EXPECT_EQ(s.ToNarrow(0), q);

    GString empty;
    empty.ClearWide();
    ASSERT_NE(empty.ToNarrow(-1), nullptr);
    EXPECT_EQ(empty.wide, 0);
    EXPECT_EQ(empty.block, nullptr);
    ASSERT_NE(empty.ToWide(-1), nullptr);
    EXPECT_EQ(empty.wide, 1);
}

TEST(GStringConvert, InvalidUtf8LeavesTheStringNarrow)
{
    const char* const invalid[] = {"ab\xC3", "\x80", "\xF0\x9F\x98\x80", "\xE2\x82x"};
    for (const char* text : invalid) {
        GString s;
        ASSERT_TRUE(s.AssignNarrow(text, -1, -1));
        EXPECT_EQ(s.ToWide(-1), nullptr) << text;
        EXPECT_EQ(s.wide, 0);
        EXPECT_EQ(NarrowText(s), text);
        EXPECT_EQ(s.WideTail(10), nullptr);
    }
}

TEST(GStringConvert, GrowsWhenTheOtherKindNeedsMoreRoom)
{
    GString s;
    std::string text(59, 'a');  // fills a 64-byte narrow block
    ASSERT_TRUE(s.AssignNarrow(text.c_str(), -1, -1));
    ASSERT_EQ(s.capacity, 64);
    ASSERT_NE(s.ToWide(-1), nullptr);
    EXPECT_EQ(WideText(s), WText(59, WSTR('a')));
    EXPECT_GE(s.capacity, 4 + 60 * 2);
}
