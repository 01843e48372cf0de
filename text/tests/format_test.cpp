// Format engine and number renderers: the shared case table plus the
// behaviour a single row cannot show.
#include <gtest/gtest.h>
#include <stdint.h>

#include <string>

#include "text/convert.h"
#include "text/gstring.h"
#include "text/tests/format_cases.inc"
#include "text/tests/test_util.h"

namespace {

std::string Utf8(const WChar* p, int cch)
{
    std::string out(size_t(Utf8EncodedSize(p, cch)), '\0');
    Utf8Encode(p, cch, &out[0]);
    return out;
}

int Append(GString& s, const WChar* format, ...)
{
    va_list args;
    va_start(args, format);
    int ok = s.FormatAppendV(format, args);
    va_end(args);
    return ok;
}

TEST(Format, CaseTable)
{
    for (const FormatCase& c : kFormatCases) {
        GString s;
        int result = c.run(s);
        EXPECT_EQ(c.result, result) << "line " << c.line << ": " << c.call;
        EXPECT_EQ(Utf8(c.expected, c.cchExpected), Utf8(s.WideAt(0), s.Length()))
            << "line " << c.line << ": " << c.call;
        EXPECT_EQ(0, s.WideAt(0)[s.Length()]) << "line " << c.line << ": terminated";
    }
}

TEST(Format, StoresCountAppendedByThisCall)
{
    GString s;
    ASSERT_TRUE(s.AssignWide(WSTR("before:"), -1));
    int first = -1, second = -1;
    EXPECT_EQ(1, Append(s, WSTR("ab%ncd%5d%n!"), &first, 7, &second));
    EXPECT_EQ(u"before:abcd    7!", WideText(s));
    EXPECT_EQ(2, first);
    EXPECT_EQ(9, second);
}

TEST(Format, RefusesNullFormatAndNarrowTarget)
{
    GString narrow;
    ASSERT_TRUE(narrow.AssignNarrow("keep", -1, 0));
    EXPECT_EQ(0, Append(narrow, WSTR("%d"), 5));
    EXPECT_EQ("keep", NarrowText(narrow));

    GString wide;
    ASSERT_TRUE(wide.AssignWide(WSTR("keep"), -1));
    EXPECT_EQ(0, Append(wide, nullptr));
    EXPECT_EQ(u"keep", WideText(wide));
}

TEST(Format, FormatStartsAfreshAsWide)
{
    GString s;
    ASSERT_TRUE(s.AssignNarrow("old narrow text", -1, 0));
    EXPECT_EQ(1, s.Format(WSTR("%u-%s"), 42u, WSTR("x")));
    EXPECT_TRUE(s.IsWide());
    EXPECT_EQ(u"42-x", WideText(s));
    EXPECT_EQ(1, Append(s, WSTR("+%04X"), 0x409));
    EXPECT_EQ(u"42-x+0409", WideText(s));
}

TEST(Format, GStringArgumentsOfEitherKind)
{
    GString narrow, wide, s;
    ASSERT_TRUE(narrow.AssignNarrow(u8"\u0142\u00f3d\u017a", -1, 0));
    ASSERT_TRUE(wide.AssignWide(WSTR("W\tX"), -1));
    EXPECT_EQ(1, s.Format(WSTR("%z|%#Z|%$z|%.2z"), &narrow, &wide, &narrow, &wide));
    EXPECT_EQ(u"\u0142\u00f3d\u017a|W{09}X|{c5}{82}{c3}{b3}d{c5}{ba}|W\t", WideText(s));
}

TEST(Format, ClampsPrecisionAndRendererWidth)
{
    GString s;
    EXPECT_EQ(1, s.Format(WSTR("%.400d"), 1));
    EXPECT_EQ(std::u16string(307, u'0') + u"1", WideText(s));

    // Renderers limit the field to 512; integers pad to any width.
    EXPECT_EQ(1, s.Format(WSTR("%600f|%600d"), 1.0, 2));
    EXPECT_EQ(std::u16string(504, u' ') + u"1.000000|" + std::u16string(599, u' ') + u"2", WideText(s));

    EXPECT_EQ(1, s.Format(WSTR("%.400e"), 1.0));
    EXPECT_EQ(u"1." + std::u16string(308, u'0') + u"e+00", WideText(s));

    // The fixed conversion's digit string is limited to 352 digits.
    EXPECT_EQ(1, s.Format(WSTR("%.43f"), 1e308));
    EXPECT_EQ(309 + 1 + 43, s.Length());
    EXPECT_EQ(0, s.Format(WSTR("%.44f"), 1e308));
}

TEST(Format, UnobtainableStorageFailsCleanly)
{
    GString s;
    EXPECT_EQ(0, s.Format(WSTR("ab%2147483647d"), 1));
    EXPECT_EQ(u"ab", WideText(s));
    EXPECT_EQ(0, s.Format(WSTR("%*s"), INT32_MIN, WSTR("x")));
    EXPECT_EQ(0, s.Format(WSTR("%.*s"), INT32_MIN, WSTR("x")));
    EXPECT_EQ(0, s.Format(WSTR("%.2147483647b"), "x"));
    EXPECT_EQ(u"", WideText(s));
}

TEST(Format, ArgumentsAreReadInOrderAcrossKinds)
{
    GString s;
    EXPECT_EQ(1, s.Format(WSTR("%s|%*.*f|%lld|%c|%e|%hs|%#U|%p"),
                          WSTR("a"), 7, 2, 3.14159, -5LL, 'z', 0.25, "n", 2048, (void*)0x10));
    EXPECT_EQ(u"a|   3.14|-5|z|2.500000e-01|n|2.0 Ki|00000010", WideText(s));
}

}  // namespace
