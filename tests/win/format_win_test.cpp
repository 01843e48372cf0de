// The format engine on Windows: the host tests' case table, built for i686
// (wchar_t text, 32-bit pointers, the mingw runtime's digit conversions) and
// run under Wine.
#include <gtest/gtest.h>
#include <stdint.h>

#include <string>

#include "text/convert.h"
#include "text/gstring.h"
#include "text/tests/format_cases.inc"

namespace {

std::string Utf8(const WChar* p, int cch)
{
    std::string out(size_t(Utf8EncodedSize(p, cch)), '\0');
    Utf8Encode(p, cch, &out[0]);
    return out;
}

TEST(FormatWin, CaseTable)
{
    for (const FormatCase& c : kFormatCases) {
        GString s;
        int result = c.run(s);
        EXPECT_EQ(c.result, result) << "line " << c.line << ": " << c.call;
        EXPECT_EQ(Utf8(c.expected, c.cchExpected), Utf8(s.WideAt(0), s.Length()))
            << "line " << c.line << ": " << c.call;
    }
}

// On the 32-bit target a pointer fills exactly the 8 digits, and 64-bit
// integers and doubles take two slots between 32-bit ones.
TEST(FormatWin, ArgumentSlots)
{
    static_assert(sizeof(void*) == 4, "the installer is a 32-bit program");
    GString s;
    int local = 0;
    ASSERT_EQ(1, s.Format(L"%p", &local));
    EXPECT_EQ(8, s.Length());
    ASSERT_EQ(1, s.Format(L"%d|%lld|%d|%.2f|%d|%#llU|%d", 1, -(1LL << 40), 2, 2.5, 3, 1ULL << 50, 4));
    EXPECT_EQ(std::wstring(L"1|-1099511627776|2|2.50|3|1.0 Pi|4"), std::wstring(s.WideAt(0)));
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
