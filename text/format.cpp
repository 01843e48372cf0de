// The format engine: GString::Format and GString::FormatAppendV.
//
// A directive is parsed, its arguments read in order, its exact output width
// computed, the string grown once, and the characters written in place.
// Floating-point and size conversions go through the number renderers, which
// write narrow text into the target's scratch.
#include <stdarg.h>
#include <stdint.h>
#include <string.h>

#include "text/convert.h"
#include "text/format_directive.h"
#include "text/gstring.h"
#include "text/render.h"

namespace {

const int kMaxPrecision = 308;
const int kMaxNumberDigits = 10;  // of a width or precision in the text

const WChar kNullText[] = WSTR("{null}");
const int kNullChars = 6;

// Parsing --------------------------------------------------------------------

uint32_t FlagOf(WChar ch)
{
    switch (ch) {
    case '-': return kFlagLeft;
    case '+': return kFlagPlus;
    case ' ': return kFlagSpace;
    case '0': return kFlagZero;
    case '#': return kFlagAlt;
    case '$': return kFlagEscape;
    case '`': return kFlagGroup;
    }
    return 0;
}

// At most ten digits; values beyond the 32-bit range saturate.
const WChar* ParseNumber(const WChar* p, int32_t* value)
{
    int64_t n = 0;
    for (int i = 0; i < kMaxNumberDigits && *p >= '0' && *p <= '9'; ++i, ++p)
        n = n * 10 + (*p - '0');
    *value = n > INT32_MAX ? INT32_MAX : int32_t(n);
    return p;
}

// The parser itself; inline so that the main loop's common case stays short.
inline const WChar* ParseDirective(const WChar* p, FormatDirective* d)
{
    memset(d, 0, sizeof *d);
    for (uint32_t flag; *p && (flag = FlagOf(*p)) != 0; ++p)
        d->flags |= flag;
    if (*p == '*') {
        d->widthFromArg = 1;
        ++p;
    } else {
        p = ParseNumber(p, &d->width);
    }
    if (*p == '.') {
        d->hasPrecision = 1;
        ++p;
        if (*p == '*') {
            d->precisionFromArg = 1;
            ++p;
        } else {
            p = ParseNumber(p, &d->precision);
        }
    }
    if (*p == 'h') {
        d->size = kSizeShort;
        ++p;
    } else if (*p == 'L') {
        d->size = kSizeLongLong;
        ++p;
    } else if (*p == 'l') {
        ++p;
        d->size = kSizeLong;
        if (*p == 'l') {
            d->size = kSizeLongLong;
            ++p;
        }
    }
    d->conversion = *p;
    return *p ? p + 1 : p;
}

inline FormatArg ArgumentOf(const FormatDirective& d)
{
    FormatArg integer = d.size == kSizeLongLong ? kArgInt64 : kArgInt32;
    switch (d.conversion) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'y':
    case 'I': case 'U':
        return integer;
    case 'c': case 'C': case 'T': case 't': case 'Y':
        return kArgInt32;
    case 'p': case 'P': case 's': case 'S': case 'z': case 'Z':
    case 'b': case 'B': case 'w': case 'W': case 'n':
        return kArgPointer;
    case 'f': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
        return kArgDouble;
    case 'F':
        return d.size == kSizeShort ? kArgInt32 : d.size == kSizeLongLong ? kArgInt64 : kArgDouble;
    }
    return kArgNone;
}

}  // namespace

const WChar* ParseFormatDirective(const WChar* p, FormatDirective* d)
{
    return ParseDirective(p, d);
}

FormatArg FormatDirectiveArg(const FormatDirective& d)
{
    return ArgumentOf(d);
}

namespace {

// Scanning ---------------------------------------------------------------------
//
// Texts and the runs of a format are scanned four units at a time. The word
// loops read whole aligned 8-byte words, which never cross a page, so they may
// look at units after the terminating zero inside the word that holds it;
// AddressSanitizer cannot tell that from an overrun and skips these reads.

#if defined(__clang__) || defined(__GNUC__)
#define KRESKA_WORD_SCAN __attribute__((no_sanitize_address))
#else
#define KRESKA_WORD_SCAN
#endif

typedef uint64_t __attribute__((may_alias)) ScanWord;

inline int HasZeroUnit(uint64_t word)
{
    return ((word - 0x0001000100010001u) & ~word & 0x8000800080008000u) != 0;
}

inline int IsAligned(const WChar* p)
{
    return (reinterpret_cast<uintptr_t>(p) & (sizeof(ScanWord) - 1)) == 0;
}

// Units of a text up to its terminating zero.
KRESKA_WORD_SCAN int64_t WideLength(const WChar* text)
{
    const WChar* p = text;
    for (; !IsAligned(p); ++p)
        if (!*p)
            return p - text;
    while (!HasZeroUnit(*reinterpret_cast<const ScanWord*>(p)))
        p += 4;
    while (*p)
        ++p;
    return p - text;
}

// The first `%` or terminating zero at or after p.
KRESKA_WORD_SCAN const WChar* NextStop(const WChar* p)
{
    const uint64_t kPercents = 0x0025002500250025u;
    for (; !IsAligned(p); ++p)
        if (!*p || *p == '%')
            return p;
    for (;; p += 4) {
        uint64_t word = *reinterpret_cast<const ScanWord*>(p);
        if (HasZeroUnit(word) || HasZeroUnit(word ^ kPercents))
            break;
    }
    while (*p && *p != '%')
        ++p;
    return p;
}

// One argument as read from the list; which member holds it follows from
// FormatDirectiveArg. 32-bit integers are kept zero-extended.
struct FormatValue {
    uint64_t bits;
    double real;
    const void* pointer;
};

// The state of one FormatAppendV call.
class FormatCall {
public:
    FormatCall(GString* target) : s(target), lengthAtEntry(target->length) {}

    va_list args;

    int Run(const WChar* format);

private:
    GString* s;
    int32_t lengthAtEntry;
    FormatDirective d;
    int32_t padRight;

    FormatValue Read(FormatArg kind);
    int Convert(const FormatValue& v);

    WChar* Tail(int64_t cch);
    int AppendRun(const WChar* p, int64_t cch);
    WChar* OpenField(int64_t cchBody, int zeroPads);
    int CloseField(WChar* end);

    int Integer(const FormatValue& v);
    int Character(int32_t code);
    int Text(const void* p);
    int WideText(const WChar* p);
    int NarrowText(const char* p);
    int NullText(int zeroPads);
    int Bytes(const uint8_t* p);
    int Address(const uint8_t* p);
    int Guid(const uint8_t* p);
    int Rendered(const FormatValue& v);
    int LineBreak();
    int StoreCount(void* p);
};

int FormatCall::Run(const WChar* format)
{
    const WChar* p = format;
    for (;;) {
        const WChar* run = p;
        p = NextStop(p);
        if (p > run && !AppendRun(run, p - run))
            return 0;
        if (!*p || !p[1])
            return 1;  // a lone % at the end produces nothing
        ++p;
        if (*p == '%') {
            if (!AppendRun(p, 1))
                return 0;
            ++p;
            continue;
        }
        p = ParseDirective(p, &d);
        if (d.widthFromArg) {
            int32_t width = int32_t(Read(kArgInt32).bits);
            if (width < 0) {
                d.flags |= kFlagLeft;
                d.width = width == INT32_MIN ? INT32_MAX : -width;
            } else {
                d.width = width;
            }
        }
        if (d.precisionFromArg)
            d.precision = int32_t(Read(kArgInt32).bits);
        FormatArg kind = ArgumentOf(d);
        if (kind == kArgNone && d.conversion != 'N') {
            // Not a conversion: the character itself is copied as text.
            if (d.conversion)
                --p;
            continue;
        }
        if (!Convert(Read(kind)))
            return 0;
    }
}

FormatValue FormatCall::Read(FormatArg kind)
{
    FormatValue v = {0, 0.0, nullptr};
    switch (kind) {
    case kArgInt32:   v.bits = uint32_t(va_arg(args, int32_t)); break;
    case kArgInt64:   v.bits = uint64_t(va_arg(args, long long)); break;
    case kArgDouble:  v.real = va_arg(args, double); break;
    case kArgPointer: v.pointer = va_arg(args, const void*); break;
    case kArgNone:    break;
    }
    return v;
}

int FormatCall::Convert(const FormatValue& v)
{
    switch (d.conversion) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'y': case 'p': case 'P':
        return Integer(v);
    case 'c': case 'C':
        return Character(int32_t(v.bits));
    case 's': case 'S': case 'z': case 'Z':
        return Text(v.pointer);
    case 'b': case 'B':
        return Bytes(static_cast<const uint8_t*>(v.pointer));
    case 'w': case 'W':
        return d.size == kSizeShort ? Guid(static_cast<const uint8_t*>(v.pointer))
                                    : Address(static_cast<const uint8_t*>(v.pointer));
    case 'N':
        return LineBreak();
    case 'n':
        return StoreCount(const_cast<void*>(v.pointer));
    case 'T': case 't': case 'Y':
        return 0;  // not supported
    }
    return Rendered(v);
}

// Fields ---------------------------------------------------------------------

// Room for cch more characters and the terminator after the text: the
// position of the first, or null when the string cannot grow that far. The
// string is wide, so its block holds (capacity - 4) / 2 characters.
WChar* FormatCall::Tail(int64_t cch)
{
    WChar* area = reinterpret_cast<WChar*>(s->block + 4);
    int64_t cchFree = s->block ? int64_t(s->capacity - 4) / 2 - 1 - s->start - s->length : 0;
    if (cch > cchFree) {
        if (cch > INT32_MAX - s->length || !s->Grow(int(cch)) || !s->block)
            return nullptr;
        area = reinterpret_cast<WChar*>(s->block + 4);
    }
    return area + s->start + s->length;
}

// Commits characters written at Tail.
inline void Commit(GString* s, WChar* end)
{
    s->length = int32_t(end - (reinterpret_cast<WChar*>(s->block + 4) + s->start));
    *end = 0;
}

int FormatCall::AppendRun(const WChar* run, int64_t cch)
{
    WChar* p = Tail(cch);
    if (!p)
        return 0;
    memcpy(p, run, size_t(cch) * sizeof(WChar));
    Commit(s, p + cch);
    return 1;
}

// Grows the string once for the body and its padding, writes the left
// padding and returns where the body goes; null when there is no room.
// zeroPads: whether the zero flag pads with zeros (not for addresses).
WChar* FormatCall::OpenField(int64_t cchBody, int zeroPads)
{
    int left = (d.flags & kFlagLeft) != 0;
    int64_t pad = d.width > cchBody ? d.width - cchBody : 0;
    WChar* p = Tail(cchBody + pad);
    if (!p)
        return nullptr;
    if (!left) {
        WChar fill = zeroPads && (d.flags & kFlagZero) ? '0' : ' ';
        for (int64_t i = 0; i < pad; ++i)
            *p++ = fill;
    }
    padRight = left ? int32_t(pad) : 0;
    return p;
}

int FormatCall::CloseField(WChar* end)
{
    for (int i = 0; i < padRight; ++i)
        *end++ = ' ';
    Commit(s, end);
    return 1;
}

WChar* PutEscape(WChar* p, unsigned code, const WChar* digits)
{
    p[0] = '{';
    p[1] = digits[(code >> 4) & 0xF];
    p[2] = digits[code & 0xF];
    p[3] = '}';
    return p + 4;
}

// Integers -------------------------------------------------------------------

// Digits of a magnitude in a base (0 for 0): from the bit length for the
// powers of two, by comparison for decimal.
int CountDigits(uint64_t magnitude, unsigned shift)
{
    if (shift) {
        int bits = magnitude ? 64 - __builtin_clzll(magnitude) : 0;
        return int((unsigned(bits) + shift - 1) / shift);
    }
    int n = 0;
    for (uint64_t power = 1; n < 20 && magnitude >= power; ++n)
        power *= 10;
    return n;
}

int FormatCall::Integer(const FormatValue& v)
{
    WChar conversion = d.conversion;
    int pointer = conversion == 'p' || conversion == 'P';
    unsigned shift = 0;  // bits per digit; 0 for decimal
    const WChar* prefix = WSTR("");
    switch (conversion) {
    case 'x': case 'X': case 'p': case 'P': shift = 4; prefix = WSTR("0x"); break;
    case 'o':                               shift = 3; prefix = WSTR("0"); break;
    case 'y':                               shift = 1; prefix = WSTR("0y"); break;
    }
    int cchPrefix = (d.flags & kFlagAlt) ? int(shift == 3 ? 1 : shift ? 2 : 0) : 0;

    uint64_t magnitude;
    int precision = d.precision;
    WChar sign = 0;
    if (pointer) {
        // Pointers keep their own width; 8 digits is the minimum.
        magnitude = uint64_t(reinterpret_cast<uintptr_t>(v.pointer));
        precision = 8;
    } else if (conversion == 'd' || conversion == 'i') {
        int64_t value = d.size == kSizeLongLong ? int64_t(v.bits) : int64_t(int32_t(v.bits));
        magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
        sign = value < 0 ? '-' : (d.flags & kFlagPlus) ? '+' : (d.flags & kFlagSpace) ? ' ' : 0;
    } else {
        magnitude = v.bits;
    }
    if (precision <= 0)
        precision = 1;
    if (precision > kMaxPrecision)
        precision = kMaxPrecision;

    int cchSign = sign != 0;
    int cDigits = CountDigits(magnitude, shift);
    if (cDigits == 0)
        cDigits = 1;
    if (precision >= cchSign + cchPrefix + cDigits) {
        cDigits = precision;
        if (shift == 3)
            cchPrefix = 0;  // the leading zeros already say octal
    }
    int groupSize = shift == 0 || shift == 3 ? 3 : 4;
    int cSeparators = (d.flags & kFlagGroup) ? (cDigits - 1) / groupSize : 0;
    int cchTotal = cchSign + cchPrefix + cDigits + cSeparators;

    if (pointer && magnitude == 0) {
        int cchBlank = cchTotal > kNullChars ? cchTotal - kNullChars : 0;
        WChar* p = OpenField(cchBlank + kNullChars, 1);
        if (!p)
            return 0;
        for (int i = 0; i < cchBlank; ++i)
            *p++ = ' ';
        memcpy(p, kNullText, kNullChars * sizeof(WChar));
        return CloseField(p + kNullChars);
    }

    WChar* p = OpenField(cchTotal, 1);
    if (!p)
        return 0;
    if (sign)
        *p++ = sign;
    for (int i = 0; i < cchPrefix; ++i)
        *p++ = prefix[i];
    // Digits from the last one backwards; grouping counts from the right.
    const WChar* digits = conversion == 'X' || conversion == 'P' ? kWideDigitsUpper : kWideDigitsLower;
    WChar* end = p + cDigits + cSeparators;
    WChar* q = end;
    int group = cSeparators ? groupSize : 0;
    if (shift) {
        unsigned mask = (1u << shift) - 1;
        for (int i = 0; i < cDigits; ++i, magnitude >>= shift) {
            if (group && i && i % group == 0)
                *--q = ' ';
            *--q = digits[magnitude & mask];
        }
    } else {
        for (int i = 0; i < cDigits; ++i) {
            if (group && i && i % group == 0)
                *--q = ' ';
            // 32-bit division where it suffices: 64-bit division is a library
            // call on the 32-bit target.
            if (magnitude <= UINT32_MAX) {
                uint32_t m = uint32_t(magnitude);
                *--q = digits[m % 10];
                magnitude = m / 10;
            } else {
                *--q = digits[magnitude % 10];
                magnitude /= 10;
            }
        }
    }
    return CloseField(end);
}

// Characters and text --------------------------------------------------------

int FormatCall::Character(int32_t code)
{
    const WChar* digits = d.conversion == 'C' ? kWideDigitsUpper : kWideDigitsLower;
    int escaped = ((d.flags & kFlagEscape) && (code < 32 || code > 126)) ||
                  ((d.flags & kFlagAlt) && code < 32);
    // A narrow character is a single UTF-8 byte, so only ASCII qualifies.
    if (!escaped && d.size == kSizeShort && (code & 0xFF) >= 0x80)
        return 0;
    WChar* p = OpenField(escaped ? 4 : 1, 1);
    if (!p)
        return 0;
    if (escaped)
        p = PutEscape(p, unsigned(code), digits);
    else
        *p++ = WChar(d.size == kSizeShort ? (code & 0xFF) : code);
    return CloseField(p);
}

int FormatCall::NullText(int zeroPads)
{
    WChar* p = OpenField(kNullChars, zeroPads);
    if (!p)
        return 0;
    memcpy(p, kNullText, kNullChars * sizeof(WChar));
    return CloseField(p + kNullChars);
}

int FormatCall::Text(const void* p)
{
    if (!p)
        return NullText(1);
    if (d.conversion == 's' || d.conversion == 'S') {
        if (d.size == kSizeLongLong)
            return 1;  // consumed, nothing shown
        return d.size == kSizeShort ? NarrowText(static_cast<const char*>(p))
                                    : WideText(static_cast<const WChar*>(p));
    }
    if (d.size == kSizeShort) {
        // A text record: its header says which kind follows; the text is
        // read up to its zero, not by the header's length.
        const TextRecord* record = static_cast<const TextRecord*>(p);
        uint32_t header;
        memcpy(&header, record, sizeof header);
        const void* text = record + 1;
        return (header & kRecordNarrowBit) ? NarrowText(static_cast<const char*>(text))
                                           : WideText(static_cast<const WChar*>(text));
    }
    const GString* string = static_cast<const GString*>(p);
    return string->IsWide() ? WideText(string->WideAt(0)) : NarrowText(string->NarrowAt(0));
}

// Whether a character is shown as {hh}: outside 32-126 in escape mode, below
// 32 in alternate mode.
inline int Escapes(unsigned code, uint32_t flags)
{
    if (flags & kFlagEscape)
        return code < 32 || code > 126;
    return (flags & kFlagAlt) && code < 32;
}

int FormatCall::WideText(const WChar* text)
{
    // Extent: at most `precision` characters up to the zero; all up to the
    // zero for 0; exactly -precision characters, zeros included, below 0.
    int64_t cch = 0;
    if (d.precision < 0) {
        cch = -int64_t(d.precision);
        if (cch > INT32_MAX)
            return 0;  // more than any string can hold
    } else if (d.precision == 0) {
        cch = WideLength(text);
    } else {
        while (cch < d.precision && text[cch])
            ++cch;
    }
    int64_t cchBody = cch;
    if (d.flags & (kFlagEscape | kFlagAlt)) {
        for (int64_t i = 0; i < cch; ++i)
            cchBody += 3 * Escapes(text[i], d.flags);
    }
    WChar* p = OpenField(cchBody, 1);
    if (!p)
        return 0;
    if (cchBody == cch) {
        memcpy(p, text, size_t(cch) * sizeof(WChar));
        p += cch;
    } else {
        const WChar* digits = d.conversion == 'S' || d.conversion == 'Z' ? kWideDigitsUpper : kWideDigitsLower;
        for (int64_t i = 0; i < cch; ++i) {
            if (Escapes(text[i], d.flags))
                p = PutEscape(p, text[i], digits);
            else
                *p++ = text[i];
        }
    }
    return CloseField(p);
}

inline int IsContinuation(uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

// Continuation bytes a lead byte announces.
inline int Announced(uint8_t b)
{
    return b >= 0xF8 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
}

// Bytes of the first characters of narrow text selected by the precision,
// as WideText selects units. A character starts at every byte outside
// 0x80-0xBF and continuation bytes that follow belong to it. Without a zero
// to stop at (negative precision), a character takes no more continuation
// bytes than its lead byte announces, so the walk never passes the
// characters the caller vouched for.
int64_t NarrowExtent(const char* text, int32_t precision)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
    int bounded = precision < 0;
    int64_t limit = bounded ? -int64_t(precision) : precision > 0 ? precision : INT64_MAX;
    int64_t cb = 0, cch = 0;
    int follow = 0;
    for (;;) {
        uint8_t b = p[cb];
        if (!bounded && b == 0)
            break;
        if (cch > 0 && IsContinuation(b) && (!bounded || follow > 0)) {
            ++cb;
            --follow;
            continue;
        }
        if (cch == limit)
            break;
        ++cch;
        ++cb;
        follow = Announced(b);
    }
    return cb;
}

int FormatCall::NarrowText(const char* text)
{
    int64_t cbExtent = NarrowExtent(text, d.precision);
    if (cbExtent > INT32_MAX)
        return 0;
    int cb = int(cbExtent);
    const WChar* digits = d.conversion == 'S' || d.conversion == 'Z' ? kWideDigitsUpper : kWideDigitsLower;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text);

    if (d.flags & kFlagEscape) {
        // Byte by byte: printable ASCII as it is, everything else escaped.
        int64_t cchBody = cb;
        for (int i = 0; i < cb; ++i)
            cchBody += 3 * Escapes(bytes[i], d.flags);
        WChar* p = OpenField(cchBody, 1);
        if (!p)
            return 0;
        for (int i = 0; i < cb; ++i) {
            if (Escapes(bytes[i], d.flags))
                p = PutEscape(p, bytes[i], digits);
            else
                *p++ = bytes[i];
        }
        return CloseField(p);
    }

    // Decoded, in runs between the control bytes that alternate mode escapes
    // (a control byte is always a whole UTF-8 character). A successful decode
    // yields exactly one unit per counted character; a failing one fails the
    // call with nothing committed.
    int alt = (d.flags & kFlagAlt) != 0;
    int64_t cchBody = 0;
    for (int i = 0; i < cb;) {
        if (alt && bytes[i] < 32) {
            cchBody += 4;
            ++i;
            continue;
        }
        int run = i;
        while (i < cb && !(alt && bytes[i] < 32))
            ++i;
        cchBody += Utf8CharCount(text + run, i - run);
    }
    WChar* p = OpenField(cchBody, 1);
    if (!p)
        return 0;
    for (int i = 0; i < cb;) {
        if (alt && bytes[i] < 32) {
            p = PutEscape(p, bytes[i++], digits);
            continue;
        }
        int run = i;
        while (i < cb && !(alt && bytes[i] < 32))
            ++i;
        int cch = Utf8Decode(text + run, i - run, p);
        if (cch < 0)
            return 0;
        p += cch;
    }
    return CloseField(p);
}

// Byte dumps, addresses, GUIDs ------------------------------------------------

int FormatCall::Bytes(const uint8_t* bytes)
{
    int64_t cb = d.precision;
    if (cb <= 0)
        return 1;  // consumed, nothing shown
    if (!bytes)
        return NullText(1);
    // Groups of 4 bytes with the group flag, else of one. The alternate flag
    // puts each group in braces; the space flag separates bytes within a
    // group and the groups; without braces groups are also set apart by one
    // more space.
    int alt = (d.flags & kFlagAlt) != 0;
    int spaced = (d.flags & kFlagSpace) != 0;
    int64_t groupSize = (d.flags & kFlagGroup) ? 4 : 1;
    int64_t cGroups = (cb + groupSize - 1) / groupSize;
    int cchBetween = spaced + ((d.flags & kFlagGroup) && !alt);
    int64_t cchBody = 2 * cb + spaced * (cb - cGroups) + 2 * alt * cGroups + cchBetween * (cGroups - 1);
    WChar* p = OpenField(cchBody, 1);
    if (!p)
        return 0;
    const WChar* digits = d.conversion == 'B' ? kWideDigitsUpper : kWideDigitsLower;
    for (int64_t i = 0; i < cb; ++i) {
        int64_t inGroup = i % groupSize;
        if (inGroup == 0) {
            if (i > 0) {
                if (alt)
                    *p++ = '}';
                for (int k = 0; k < cchBetween; ++k)
                    *p++ = ' ';
            }
            if (alt)
                *p++ = '{';
        } else if (spaced) {
            *p++ = ' ';
        }
        *p++ = digits[bytes[i] >> 4];
        *p++ = digits[bytes[i] & 0xF];
    }
    if (alt)
        *p++ = '}';
    return CloseField(p);
}

// A 32-bit IPv4 address, most significant byte first. The zero flag gives
// every number three digits and never pads.
int FormatCall::Address(const uint8_t* p)
{
    if (!p)
        return NullText(0);
    uint32_t address;
    memcpy(&address, p, sizeof address);
    int threeDigits = (d.flags & kFlagZero) != 0;
    int cchBody = 3;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned part = (address >> shift) & 0xFF;
        cchBody += threeDigits || part >= 100 ? 3 : part >= 10 ? 2 : 1;
    }
    WChar* q = OpenField(cchBody, 0);
    if (!q)
        return 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned part = (address >> shift) & 0xFF;
        if (threeDigits || part >= 100)
            *q++ = WChar('0' + part / 100);
        if (threeDigits || part >= 10)
            *q++ = WChar('0' + part / 10 % 10);
        *q++ = WChar('0' + part % 10);
        if (shift)
            *q++ = '.';
    }
    return CloseField(q);
}

// A GUID in its in-memory layout: three little-endian fields, then 8 bytes.
int FormatCall::Guid(const uint8_t* p)
{
    static const int8_t kOrder[] = {3, 2, 1, 0, -1, 5, 4, -1, 7, 6, -1, 8, 9, -1, 10, 11, 12, 13, 14, 15};
    const int kGuidChars = 38;
    if (!p)
        return NullText(0);
    WChar* q = OpenField(kGuidChars, 0);
    if (!q)
        return 0;
    const WChar* digits = d.conversion == 'W' ? kWideDigitsUpper : kWideDigitsLower;
    *q++ = '{';
    for (int8_t index : kOrder) {
        if (index < 0) {
            *q++ = '-';
            continue;
        }
        *q++ = digits[p[index] >> 4];
        *q++ = digits[p[index] & 0xF];
    }
    *q++ = '}';
    return CloseField(q);
}

// Other conversions ----------------------------------------------------------

int FormatCall::LineBreak()
{
    WChar* p = OpenField(2, 1);
    if (!p)
        return 0;
    *p++ = '\r';
    *p++ = '\n';
    return CloseField(p);
}

int FormatCall::StoreCount(void* p)
{
    if (p) {
        int32_t count = s->length - lengthAtEntry;
        memcpy(p, &count, sizeof count);
    }
    return 1;
}

// Floating-point values and sizes: rendered as narrow text into the scratch,
// then appended decoded.
int FormatCall::Rendered(const FormatValue& v)
{
    GString* scratch = s->Scratch();
    if (!scratch || !scratch->AssignNarrow("", 0, 0))
        return 0;
    RenderField field = {d.width, d.precision, d.flags};
    WChar conversion = d.conversion;
    // g reads an explicit 0 as 1 but has six digits by default, like the
    // other decimal renderers.
    if ((conversion == 'g' || conversion == 'G') && !d.hasPrecision)
        field.precision = -1;
    if (conversion == 'E' || conversion == 'G' || conversion == 'A')
        field.flags |= kFlagUpper;
    int ok = 0;
    switch (conversion) {
    case 'f':           ok = RenderFixed(scratch, field, v.real); break;
    case 'e': case 'E': ok = RenderExponent(scratch, field, v.real); break;
    case 'g': case 'G': ok = RenderGeneral(scratch, field, v.real); break;
    case 'a': case 'A': ok = RenderHexFloat(scratch, field, v.real); break;
    case 'F': {
        scratch->encoding = 0;  // the micro sign is UTF-8
        double value = d.size == kSizeShort ? double(int32_t(v.bits))
                     : d.size == kSizeLongLong ? double(int64_t(v.bits))
                     : v.real;
        ok = RenderEngineering(scratch, field, value);
        break;
    }
    case 'I': case 'U': {
        int negative = 0;
        uint64_t magnitude = d.size == kSizeLongLong ? v.bits : uint64_t(uint32_t(v.bits));
        if (conversion == 'I') {
            int64_t value = d.size == kSizeLongLong ? int64_t(v.bits) : int64_t(int32_t(v.bits));
            negative = value < 0;
            magnitude = negative ? 0 - uint64_t(value) : uint64_t(value);
        }
        ok = RenderSize(scratch, field, magnitude, negative);
        break;
    }
    }
    return ok && s->AppendNarrowText(scratch->NarrowAt(0), scratch->length, 0);
}

}  // namespace

int GString::Format(const WChar* format, ...)
{
    ClearWide();
    va_list args;
    va_start(args, format);
    int ok = FormatAppendV(format, args);
    va_end(args);
    return ok;
}

int GString::FormatAppendV(const WChar* format, va_list args)
{
    if (!format || !wide)
        return 0;
    FormatCall call(this);
    va_copy(call.args, args);
    int ok = call.Run(format);
    va_end(call.args);
    // A directive that fails may have written into the room after the text.
    if (block)
        reinterpret_cast<WChar*>(block + 4)[start + length] = 0;
    return ok;
}
