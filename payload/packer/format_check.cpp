#include "payload/packer/format_check.h"

namespace {

bool IsFlag(char16_t c)
{
    return c == '-' || c == '+' || c == ' ' || c == '0' || c == '#' || c == '$' || c == '`';
}

bool IsDigit(char16_t c)
{
    return c >= '0' && c <= '9';
}

// Width or precision digits (at most 10) or `*`, which takes an integer.
bool ReadCount(const std::u16string& text, size_t& i, std::string& kinds, std::string& problem)
{
    if (i < text.size() && text[i] == '*') {
        kinds += 'u';
        ++i;
        return true;
    }
    int digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (digits > 10) {
        problem = "a width or precision of more than 10 digits";
        return false;
    }
    return true;
}

}  // namespace

bool DirectiveKinds(const std::u16string& text, std::string& kinds, std::string& problem)
{
    kinds.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        const size_t start = i++;
        if (i < text.size() && text[i] == '%')
            continue;
        while (i < text.size() && IsFlag(text[i]))
            ++i;
        if (!ReadCount(text, i, kinds, problem))
            return false;
        if (i < text.size() && text[i] == '.') {
            ++i;
            if (!ReadCount(text, i, kinds, problem))
                return false;
        }
        enum { NONE, SHORT, LONG, LONGLONG } size = NONE;
        if (i < text.size() && text[i] == 'h') {
            size = SHORT;
            ++i;
        } else if (i + 1 < text.size() && text[i] == 'l' && text[i + 1] == 'l') {
            size = LONGLONG;
            i += 2;
        } else if (i < text.size() && (text[i] == 'l' || text[i] == 'L')) {
            size = text[i] == 'L' ? LONGLONG : LONG;
            ++i;
        }
        if (i >= text.size()) {
            problem = "a `%` without a conversion at the end";
            return false;
        }
        const char16_t conversion = text[i];
        std::string directive;
        for (size_t k = start; k <= i; ++k)
            directive += text[k] < 128 ? (char)text[k] : '?';
        switch (conversion) {
        case 's': case 'S':
            if (size == SHORT || size == LONGLONG) {
                problem = "directive " + directive + " does not take a wide text";
                return false;
            }
            kinds += 's';
            break;
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'y': case 'c': case 'C':
            if (size == LONGLONG) {
                problem = "directive " + directive + " takes a 64-bit integer";
                return false;
            }
            kinds += 'u';
            break;
        case 'N':
            break;
        default:
            problem = "directive " + directive + " is not one the call sites use";
            return false;
        }
    }
    return true;
}

bool ParseSignatures(const std::string& contents, const std::string& origin,
                     SignatureMap& signatures, std::vector<std::string>& errors)
{
    const size_t errorsBefore = errors.size();
    size_t pos = 0;
    for (int lineNo = 1; pos <= contents.size(); ++lineNo) {
        size_t end = contents.find('\n', pos);
        if (end == std::string::npos)
            end = contents.size();
        std::string line = contents.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::string where = origin + ":" + std::to_string(lineNo) + ": ";
        size_t tab = line.find('\t');
        uint64_t id = 0;
        bool ok = tab != std::string::npos && tab > 0 && tab <= 9;
        for (size_t k = 0; ok && k < tab; ++k) {
            ok = IsDigit((char16_t)line[k]);
            id = id * 10 + (line[k] - '0');
        }
        std::string kinds = ok ? line.substr(tab + 1) : "";
        if (kinds == "-")
            kinds.clear();
        else
            ok = ok && !kinds.empty() && kinds.find_first_not_of("su") == std::string::npos;
        if (!ok || id > 0xFFFFFFFFu) {
            errors.push_back(where + "expected a TextId, a tab and the kinds (s, u or -)");
            continue;
        }
        if (!signatures.emplace((uint32_t)id, kinds).second)
            errors.push_back(where + "text " + std::to_string(id) + " is listed twice");
    }
    return errors.size() == errorsBefore;
}
