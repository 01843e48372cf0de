#include "payload/packer/text_source.h"

namespace {

std::string Where(const std::string& origin, int line)
{
    return origin + ":" + std::to_string(line) + ": ";
}

int HexValue(char16_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at text[i]; -1 when they are not all there.
long ReadHex(const std::u16string& text, size_t i, int digits)
{
    if (i + digits > text.size())
        return -1;
    long value = 0;
    for (int k = 0; k < digits; ++k) {
        int v = HexValue(text[i + k]);
        if (v < 0)
            return -1;
        value = value * 16 + v;
    }
    return value;
}

bool Unescape(const std::u16string& raw, std::u16string& out, std::string& problem)
{
    out.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            out += raw[i];
            continue;
        }
        if (i + 1 >= raw.size()) {
            problem = "backslash at the end of the line";
            return false;
        }
        char16_t c = raw[++i];
        long value;
        switch (c) {
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case '\\': out += u'\\'; break;
        case 'x':
            if ((value = ReadHex(raw, i + 1, 2)) < 0) {
                problem = "\\x needs two hexadecimal digits";
                return false;
            }
            out += (char16_t)value;
            i += 2;
            break;
        case 'u':
            if ((value = ReadHex(raw, i + 1, 4)) < 0) {
                problem = "\\u needs four hexadecimal digits";
                return false;
            }
            out += (char16_t)value;
            i += 4;
            break;
        default:
            problem = "unknown escape \\" + std::string(1, c < 128 ? (char)c : '?')
                      + " (write a backslash as \\\\)";
            return false;
        }
    }
    return true;
}

// Splits "NNN<TAB>rest"; false when the line has no such shape.
bool SplitIdLine(const std::string& line, uint32_t& id, std::string& rest)
{
    size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0 || tab > 9)
        return false;
    uint64_t value = 0;
    for (size_t i = 0; i < tab; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return false;
        value = value * 10 + (line[i] - '0');
    }
    if (value > 0xFFFFFFFFu)
        return false;
    id = (uint32_t)value;
    rest = line.substr(tab + 1);
    return true;
}

}  // namespace

bool Utf8ToUtf16(const std::string& in, std::u16string& out)
{
    out.clear();
    for (size_t i = 0; i < in.size();) {
        const uint8_t b = (uint8_t)in[i];
        uint32_t cp;
        int extra;
        if (b < 0x80) { cp = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; extra = 3; }
        else return false;
        if (i + extra >= in.size())
            return false;  // truncated sequence
        for (int k = 1; k <= extra; ++k) {
            const uint8_t c = (uint8_t)in[i + k];
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;  // overlong, out of range or a surrogate
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += (char16_t)(0xD800 + (cp >> 10));
            out += (char16_t)(0xDC00 + (cp & 0x3FF));
        } else {
            out += (char16_t)cp;
        }
        i += 1 + extra;
    }
    return true;
}

bool Utf16ToUtf8(const std::u16string& in, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        uint32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 >= in.size() || in[i + 1] < 0xDC00 || in[i + 1] > 0xDFFF)
                return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[++i] - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        if (cp < 0x80) {
            out += (char)cp;
        } else if (cp < 0x800) {
            out += (char)(0xC0 | (cp >> 6));
            out += (char)(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += (char)(0xE0 | (cp >> 12));
            out += (char)(0x80 | ((cp >> 6) & 0x3F));
            out += (char)(0x80 | (cp & 0x3F));
        } else {
            out += (char)(0xF0 | (cp >> 18));
            out += (char)(0x80 | ((cp >> 12) & 0x3F));
            out += (char)(0x80 | ((cp >> 6) & 0x3F));
            out += (char)(0x80 | (cp & 0x3F));
        }
    }
    return true;
}

bool ParseTextSource(const std::string& contents, const std::string& origin,
                     TextMap& texts, std::vector<std::string>& errors)
{
    const size_t errorsBefore = errors.size();
    if (contents.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        errors.push_back(origin + ": starts with a byte-order mark");
        return false;
    }
    std::vector<std::string> lines;
    for (size_t pos = 0; pos <= contents.size();) {
        size_t end = contents.find('\n', pos);
        if (end == std::string::npos)
            end = contents.size();
        std::string line = contents.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();  // a CR LF line end is a line end
        lines.push_back(line);
        pos = end + 1;
    }

    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const int lineNo = (int)n + 1;
        if (line.empty() || line[0] == '#')
            continue;
        uint32_t id;
        std::string rest;
        if (!SplitIdLine(line, id, rest)) {
            errors.push_back(Where(origin, lineNo) + "expected a TextId, a tab and the text");
            continue;
        }
        std::u16string text;
        if (rest == "<<<") {
            // Block text: verbatim lines up to ">>>", joined with CR LF.
            std::string joined;
            size_t k = n + 1;
            for (; k < lines.size() && lines[k] != ">>>"; ++k) {
                if (k > n + 1)
                    joined += "\r\n";
                joined += lines[k];
            }
            if (k >= lines.size()) {
                errors.push_back(Where(origin, lineNo) + "text " + std::to_string(id)
                                 + ": block without a closing >>>");
                break;
            }
            n = k;
            if (!Utf8ToUtf16(joined, text)) {
                errors.push_back(Where(origin, lineNo) + "text " + std::to_string(id) + ": invalid UTF-8");
                continue;
            }
        } else {
            std::u16string raw;
            std::string problem;
            if (!Utf8ToUtf16(rest, raw)) {
                errors.push_back(Where(origin, lineNo) + "text " + std::to_string(id) + ": invalid UTF-8");
                continue;
            }
            if (!Unescape(raw, text, problem)) {
                errors.push_back(Where(origin, lineNo) + "text " + std::to_string(id) + ": " + problem);
                continue;
            }
        }
        if (!texts.emplace(id, text).second)
            errors.push_back(Where(origin, lineNo) + "text " + std::to_string(id) + " appears twice");
    }
    return errors.size() == errorsBefore;
}
