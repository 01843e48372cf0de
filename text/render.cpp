// Number renderers: floating-point values and binary-prefixed sizes as narrow
// text. Digits come from std::to_chars with a precision, which is correctly
// rounded and gives the same digits on every platform.
#include "text/render.h"

#include <charconv>
#include <math.h>
#include <string.h>

const char kDigitsLower[] = "0123456789abcdef";
const char kDigitsUpper[] = "0123456789ABCDEF";
const WChar kWideDigitsLower[] = WSTR("0123456789abcdef");
const WChar kWideDigitsUpper[] = WSTR("0123456789ABCDEF");

namespace {

const int kFieldMax = 512;     // widths beyond this are clamped
const int kMaxPrecision = 308;

// Working room of the decimal renderers: the output and its padding stay
// below kDigitOffset bytes after the text's end; the digit string lives
// behind them, so no separate buffer is needed. The fixed conversion writes
// its point too, hence one byte beyond the 352 digits.
const int kDigitOffset = 528;
const int kDigitRoom = 352;
const int kWorkRoom = kDigitOffset + kDigitRoom + 1;

const char kSpecialNan[] = "{ nan}";
const char kSpecialPlusInf[] = "{+inf}";
const char kSpecialMinusInf[] = "{-inf}";
const int kSpecialChars = 6;

// SI prefixes for exponents -24 .. 24 in steps of 3; 0 is a space.
const char* const kSiPrefixes[] = {
    "y", "z", "a", "f", "p", "n", "\xC2\xB5", "m",
    " ",
    "k", "M", "G", "T", "P", "E", "Z", "Y",
};
static_assert(sizeof kSiPrefixes / sizeof kSiPrefixes[0] == 17, "one prefix per third power from -24 to 24");

// Binary size units for the exponent step K; K = 0 keeps the column with spaces.
const char kSizeUnits[][3] = {"  ", "Ki", "Mi", "Gi", "Ti", "Pi", "Ei", "Zi", "Yi"};
static_assert(sizeof kSizeUnits / sizeof kSizeUnits[0] == 9, "units for K = 0 to 8");

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

char* TextEnd(GString* out)
{
    return reinterpret_cast<char*>(out->block) + 4 + out->start + out->length;
}

char SignOf(int negative, uint32_t flags)
{
    if (negative)
        return '-';
    if (flags & kFlagPlus)
        return '+';
    if (flags & kFlagSpace)
        return ' ';
    return 0;
}

// The layout every renderer shares: [spaces] sign [lead] [zeros] body [spaces].
// Writes everything before the body and returns where the body goes; the
// right padding is left in *padRight for CloseField.
char* OpenField(char* p, const RenderField& field, char sign, const char* lead, int cchBody, int* padRight)
{
    int cchLead = int(strlen(lead));
    int cch = (sign ? 1 : 0) + cchLead + cchBody;
    int width = field.width < kFieldMax ? field.width : kFieldMax;
    int pad = width > cch ? width - cch : 0;
    int left = (field.flags & kFlagLeft) != 0;
    int zero = !left && (field.flags & kFlagZero);
    if (!left && !zero) {
        memset(p, ' ', size_t(pad));
        p += pad;
    }
    if (sign)
        *p++ = sign;
    memcpy(p, lead, size_t(cchLead));
    p += cchLead;
    if (zero) {
        memset(p, '0', size_t(pad));
        p += pad;
    }
    *padRight = left ? pad : 0;
    return p;
}

int CloseField(GString* out, char* end, int padRight)
{
    memset(end, ' ', size_t(padRight));
    end += padRight;
    out->length = int32_t(end - (reinterpret_cast<char*>(out->block) + 4 + out->start));
    out->Terminate();
    return 1;
}

int RenderSpecial(GString* out, const RenderField& field, double value)
{
    const char* text = isnan(value) ? kSpecialNan : value > 0 ? kSpecialPlusInf : kSpecialMinusInf;
    if (!out->Grow(kSpecialChars + kFieldMax))
        return 0;
    int padRight;
    char* p = OpenField(TextEnd(out), field, 0, "", kSpecialChars, &padRight);
    memcpy(p, text, kSpecialChars);
    return CloseField(out, p + kSpecialChars, padRight);
}

// Makes the working room of a decimal renderer and returns its digit buffer,
// or null when the room cannot be had.
char* OpenDigitBuffer(GString* out)
{
    if (out->length > INT32_MAX - kWorkRoom || !out->Reserve(out->length + kWorkRoom))
        return nullptr;
    return TextEnd(out) + kDigitOffset;
}

// Exactly cDigits significant digits of magnitude, rounded, into digits (no
// point), and the position of the decimal point (1 for zero). 0 when they do
// not fit the buffer.
int SignificantDigits(double magnitude, int cDigits, char* digits, int* point)
{
    std::to_chars_result r = std::to_chars(digits, digits + kDigitRoom, magnitude,
                                           std::chars_format::scientific, cDigits - 1);
    if (r.ec != std::errc())
        return 0;
    // The text is "d.ddde+xx" ("de+xx" for one digit): drop the point, read
    // the exponent.
    const char* e = static_cast<const char*>(memchr(digits, 'e', size_t(r.ptr - digits)));
    int exponent = 0;
    for (const char* q = e + 2; q < r.ptr; ++q)
        exponent = exponent * 10 + (*q - '0');
    if (e[1] == '-')
        exponent = -exponent;
    if (cDigits > 1)
        memmove(digits + 1, digits + 2, size_t(cDigits - 1));
    *point = exponent + 1;
    return 1;
}

int ExponentChars(int exponent)
{
    return exponent >= 100 || exponent <= -100 ? 5 : 4;
}

char* PutExponent(char* p, char letter, int exponent)
{
    *p++ = letter;
    *p++ = exponent < 0 ? '-' : '+';
    unsigned magnitude = unsigned(exponent < 0 ? -exponent : exponent);
    if (magnitude >= 100)
        *p++ = char('0' + magnitude / 100);
    *p++ = char('0' + magnitude / 10 % 10);
    *p++ = char('0' + magnitude % 10);
    return p;
}

char* PutChars(char* p, const char* from, int cb)
{
    memcpy(p, from, size_t(cb));
    return p + cb;
}

char* PutZeros(char* p, int count)
{
    memset(p, '0', size_t(count));
    return p + count;
}

}  // namespace

int RenderFixed(GString* out, const RenderField& field, double value)
{
    if (!isfinite(value))
        return RenderSpecial(out, field, value);
    int precision = field.precision <= 0 ? 6 : Clamp(field.precision, 1, kMaxPrecision);
    char* digits = OpenDigitBuffer(out);
    if (!digits)
        return 0;
    // The fixed text "iii.fff" is the output itself: the integer digits (or a
    // zero), the point and exactly `precision` digits after it.
    std::to_chars_result r = std::to_chars(digits, digits + kDigitRoom + 1, fabs(value),
                                           std::chars_format::fixed, precision);
    if (r.ec != std::errc())
        return 0;
    int cb = int(r.ptr - digits);
    int padRight;
    char* p = OpenField(TextEnd(out), field, SignOf(signbit(value), field.flags), "", cb, &padRight);
    p = PutChars(p, digits, cb);
    return CloseField(out, p, padRight);
}

int RenderExponent(GString* out, const RenderField& field, double value)
{
    if (!isfinite(value))
        return RenderSpecial(out, field, value);
    int precision = field.precision <= 0 ? 6 : Clamp(field.precision, 1, kMaxPrecision);
    char* digits = OpenDigitBuffer(out);
    int point;
    if (!digits || !SignificantDigits(fabs(value), precision + 1, digits, &point))
        return 0;
    int exponent = point - 1;
    int cch = 2 + precision + ExponentChars(exponent);
    int padRight;
    char* p = OpenField(TextEnd(out), field, SignOf(signbit(value), field.flags), "", cch, &padRight);
    *p++ = digits[0];
    *p++ = '.';
    p = PutChars(p, digits + 1, precision);
    p = PutExponent(p, (field.flags & kFlagUpper) ? 'E' : 'e', exponent);
    return CloseField(out, p, padRight);
}

int RenderGeneral(GString* out, const RenderField& field, double value)
{
    if (!isfinite(value))
        return RenderSpecial(out, field, value);
    int precision = field.precision < 0 ? 6 : Clamp(field.precision, 1, kMaxPrecision);
    int alt = (field.flags & kFlagAlt) != 0;
    char* digits = OpenDigitBuffer(out);
    int point;
    if (!digits || !SignificantDigits(fabs(value), precision, digits, &point))
        return 0;
    int exponent = point - 1;
    char sign = SignOf(signbit(value), field.flags);
    int padRight;
    char* p;
    if (exponent < -4 || exponent >= precision) {
        // Exponent style; the first digit always stays.
        if (!alt)
            while (precision > 1 && digits[precision - 1] == '0')
                --precision;
        int withPoint = precision > 1 || alt;
        int cch = 1 + withPoint + (precision - 1) + ExponentChars(exponent);
        p = OpenField(TextEnd(out), field, sign, "", cch, &padRight);
        *p++ = digits[0];
        if (withPoint)
            *p++ = '.';
        p = PutChars(p, digits + 1, precision - 1);
        p = PutExponent(p, (field.flags & kFlagUpper) ? 'E' : 'e', exponent);
    } else {
        // Fixed style. A zero has the point position 1, so it shrinks to "0".
        if (!alt)
            while (precision > point && digits[precision - 1] == '0')
                --precision;
        if (point > 0) {
            int withPoint = precision > point || alt;
            p = OpenField(TextEnd(out), field, sign, "", precision + withPoint, &padRight);
            p = PutChars(p, digits, point);
            if (withPoint)
                *p++ = '.';
            p = PutChars(p, digits + point, precision - point);
        } else {
            p = OpenField(TextEnd(out), field, sign, "", 2 - point + precision, &padRight);
            *p++ = '0';
            *p++ = '.';
            p = PutZeros(p, -point);
            p = PutChars(p, digits, precision);
        }
    }
    return CloseField(out, p, padRight);
}

int RenderHexFloat(GString* out, const RenderField& field, double value)
{
    if (!isfinite(value))
        return RenderSpecial(out, field, value);
    const int kFractionDigits = 13;
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    int negative = int(bits >> 63);
    int biased = int(bits >> 52) & 0x7FF;
    uint64_t fraction = bits & ((uint64_t(1) << 52) - 1);
    int lead = biased != 0;
    int exponent = biased ? biased - 1023 : fraction ? -1022 : 0;

    int precision = field.precision > kMaxPrecision ? kMaxPrecision : field.precision;
    if (precision <= 0) {
        precision = 0;
        for (uint64_t rest = fraction; rest; rest = (rest << 4) & ((uint64_t(1) << 52) - 1))
            ++precision;
    }
    int withPoint = precision > 0 || (field.flags & kFlagAlt);
    unsigned exponentMagnitude = unsigned(exponent < 0 ? -exponent : exponent);
    int cchExponent = exponentMagnitude >= 1000 ? 4 : exponentMagnitude >= 100 ? 3 : exponentMagnitude >= 10 ? 2 : 1;
    int cchBody = 1 + withPoint + precision + 2 + cchExponent;
    if (!out->Grow(1 + 2 + cchBody + kFieldMax))
        return 0;

    int upper = (field.flags & kFlagUpper) != 0;
    const char* table = upper ? kDigitsUpper : kDigitsLower;
    int padRight;
    char* p = OpenField(TextEnd(out), field, SignOf(negative, field.flags), "0x", cchBody, &padRight);
    *p++ = char('0' + lead);
    if (withPoint)
        *p++ = '.';
    for (int i = 0; i < precision; ++i)
        *p++ = i < kFractionDigits ? table[(fraction >> (48 - 4 * i)) & 0xF] : '0';
    if (precision < kFractionDigits && ((fraction >> (48 - 4 * precision)) & 0xF) >= 8) {
        // Round the printed digits up; the carry stops at the lead digit at
        // the latest, which is 0 or 1.
        for (char* q = p - 1;; --q) {
            if (*q == '.')
                continue;
            if (*q == 'f' || *q == 'F') {
                *q = '0';
                continue;
            }
            *q = *q == '9' ? (upper ? 'A' : 'a') : char(*q + 1);
            break;
        }
    }
    *p++ = upper ? 'P' : 'p';
    *p++ = exponent < 0 ? '-' : '+';
    for (int i = cchExponent - 1; i >= 0; --i, exponentMagnitude /= 10)
        p[i] = char('0' + exponentMagnitude % 10);
    p += cchExponent;
    return CloseField(out, p, padRight);
}

int RenderEngineering(GString* out, const RenderField& field, double value)
{
    if (!isfinite(value))
        return RenderSpecial(out, field, value);
    int precision = Clamp(field.precision, 3, kMaxPrecision);
    char* digits = OpenDigitBuffer(out);
    int point;
    if (!digits || !SignificantDigits(fabs(value), precision, digits, &point))
        return 0;
    // Bring the exponent down to a multiple of three (truncating remainder).
    int exponent = point - 1;
    int cchInteger = 1;
    switch (exponent % 3) {
    case 1: case -2: cchInteger = 2; exponent -= 1; break;
    case 2: case -1: cchInteger = 3; exponent -= 2; break;
    }
    const char* prefix = nullptr;
    if ((field.flags & kFlagAlt) && exponent >= -24 && exponent <= 24)
        prefix = kSiPrefixes[(exponent + 24) / 3];
    // The micro sign is two bytes but one character.
    int cchSuffix = prefix ? 2 : ExponentChars(exponent);
    int padRight;
    char* p = OpenField(TextEnd(out), field, SignOf(signbit(value), field.flags), "",
                        precision + 1 + cchSuffix, &padRight);
    p = PutChars(p, digits, cchInteger);
    *p++ = '.';
    p = PutChars(p, digits + cchInteger, precision - cchInteger);
    if (prefix) {
        *p++ = ' ';
        p = PutChars(p, prefix, int(strlen(prefix)));
    } else {
        p = PutExponent(p, 'e', exponent);
    }
    return CloseField(out, p, padRight);
}

int RenderSize(GString* out, const RenderField& field, uint64_t magnitude, int negative)
{
    int precision = field.precision < 0 ? 3 : Clamp(field.precision, 2, kMaxPrecision);
    char* digits = OpenDigitBuffer(out);
    if (!digits)
        return 0;
    double value = double(magnitude);
    int step = 0;
    for (uint64_t rest = magnitude; rest >> 10; rest >>= 10) {
        ++step;
        value /= 1024;
    }
    int point;
    if (!SignificantDigits(value, precision, digits, &point))
        return 0;
    int cDigits = precision;
    if (point > precision) {
        // Rounding reached the next power of ten (1000 with two digits):
        // show it as a fraction of the next unit.
        ++step;
        value /= 1024;
        cDigits = precision - 1 > 1 ? precision - 1 : 1;
        if (!SignificantDigits(value, cDigits, digits, &point))
            return 0;
    }
    int padRight;
    char* p = OpenField(TextEnd(out), field, SignOf(negative, field.flags), "", precision + 4, &padRight);
    int next = 0;
    for (int position = 0; position < precision; ++position) {
        if (position == 0 && point == 0) {
            *p++ = '0';
            *p++ = '.';
            continue;
        }
        *p++ = next < cDigits ? digits[next++] : '0';
        if (position + 1 == point)
            *p++ = '.';
    }
    if (field.flags & kFlagAlt) {
        *p++ = ' ';
        p = PutChars(p, kSizeUnits[step], 2);
    } else {
        *p++ = 'b';
        *p++ = char('0' + step);
        *p++ = '0';
    }
    return CloseField(out, p, padRight);
}
