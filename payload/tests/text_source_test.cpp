#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/packer/format_check.h"
#include "payload/packer/text_source.h"

namespace {

TEST(TextSource, LinesEscapesAndBlocks)
{
    const std::string source =
        "# a comment\n"
        "\n"
        "1\tplain text  \n"
        "2\tC:\\\\Windows\\\\%SystemRoot%\n"
        "3\ta\\nb\\rc\\td\\\\e\\x41\\u0142\\uD800\n"
        "4\t\n"
        "5\t<<<\n"
        "first line\n"
        "  second \\n stays\n"
        ">>>\n"
        "6\tzażółć\tgęślą\r\n"
        "7\t<<<\n"
        ">>>\n";
    TextMap texts;
    std::vector<std::string> errors;
    ASSERT_TRUE(ParseTextSource(source, "t.txt", texts, errors)) << (errors.empty() ? "" : errors[0]);
    const TextMap expected = {
        {1, u"plain text  "},
        {2, u"C:\\Windows\\%SystemRoot%"},
        {3, u"a\nb\rc\td\\eA\u0142" + std::u16string(1, (char16_t)0xD800)},
        {4, u""},
        {5, u"first line\r\n  second \\n stays"},
        {6, u"zażółć\tgęślą"},
        {7, u""},
    };
    EXPECT_EQ(expected, texts);
}

TEST(TextSource, ErrorsNameTheLineAndText)
{
    struct Case {
        const char* source;
        const char* fragment;
    };
    const Case cases[] = {
        {"1\tC:\\Windows\n", "t.txt:1: text 1: unknown escape \\W"},
        {"1\tend\\\n", "backslash at the end"},
        {"1\t\\x4\n", "\\x needs two"},
        {"1\t\\u12G4\n", "\\u needs four"},
        {"1\ta\n\n1\tb\n", "t.txt:3: text 1 appears twice"},
        {"1\t<<<\nnever closed\n", "block without a closing"},
        {"abc\ttext\n", "t.txt:1: expected a TextId"},
        {"12 text without a tab\n", "expected a TextId"},
        {"1\t\xC3\x28\n", "invalid UTF-8"},
        {"\xEF\xBB\xBF" "1\ttext\n", "byte-order mark"},
    };
    for (const Case& c : cases) {
        TextMap texts;
        std::vector<std::string> errors;
        EXPECT_FALSE(ParseTextSource(c.source, "t.txt", texts, errors)) << c.source;
        ASSERT_FALSE(errors.empty()) << c.source;
        EXPECT_NE(std::string::npos, errors[0].find(c.fragment)) << errors[0];
    }
}

TEST(FormatCheck, DirectiveKinds)
{
    struct Case {
        const char16_t* text;
        const char* kinds;
    };
    const Case cases[] = {
        {u"no directives", ""},
        {u"100%% sure%N", ""},
        {u"%s and %S", "ss"},
        {u"%d %i %u %x %X %o %y %c %C", "uuuuuuuuu"},
        {u"%-+ 0#$`12.3ls", "s"},
        {u"%*.*s", "uus"},
        {u"%.*d%08lX", "uuu"},
        {u"%04hx", "u"},
        {u"%1234567890d", "u"},
    };
    for (const Case& c : cases) {
        std::string kinds, problem;
        EXPECT_TRUE(DirectiveKinds(c.text, kinds, problem)) << problem;
        EXPECT_EQ(c.kinds, kinds) << std::string(c.kinds);
    }
    const char16_t* const bad[] = {
        u"%hs", u"%lld", u"%Ld", u"%f", u"%p", u"%z", u"%n", u"trailing %", u"%12345678901d", u"%5",
    };
    for (const char16_t* text : bad) {
        std::string kinds, problem;
        EXPECT_FALSE(DirectiveKinds(text, kinds, problem));
        EXPECT_FALSE(problem.empty());
    }
}

TEST(FormatCheck, SignatureFile)
{
    SignatureMap signatures;
    std::vector<std::string> errors;
    ASSERT_TRUE(ParseSignatures("# formats\n12\tsu\n97\ts\n129\t-\n", "sig.txt", signatures, errors));
    EXPECT_EQ((SignatureMap{{12, "su"}, {97, "s"}, {129, ""}}), signatures);
    for (const char* bad : {"12\tsx\n", "12\t\n", "x\ts\n", "12\ts\n12\tu\n"}) {
        SignatureMap s;
        std::vector<std::string> e;
        EXPECT_FALSE(ParseSignatures(bad, "sig.txt", s, e)) << bad;
    }
}

}  // namespace
