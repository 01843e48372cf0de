// Conversions between UTF-16 and the installer's UTF-8, and the primitives on
// raw ranges. Plain scans without allocation: the needles are short.
#include "text/convert.h"

#include <string.h>

int WideTextLength(const WChar* p, int n)
{
    if (!p)
        return 0;
    if (n >= 0)
        return n;
    int cch = 0;
    while (p[cch])
        cch++;
    return cch;
}

int NarrowTextLength(const char* p, int n)
{
    if (!p)
        return 0;
    return n >= 0 ? n : int(strlen(p));
}

// Conversions ---------------------------------------------------------------

static int Utf8UnitSize(WChar c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}

int Utf8EncodedSize(const WChar* p, int cch)
{
    int cb = 0;
    for (int i = 0; i < cch; i++)
        cb += Utf8UnitSize(p[i]);
    return cb;
}

int Utf8Encode(const WChar* p, int cch, char* out)
{
    uint8_t* o = reinterpret_cast<uint8_t*>(out);
    for (int i = 0; i < cch; i++) {
        unsigned c = p[i];
        if (c < 0x80) {
            *o++ = uint8_t(c);
        } else if (c < 0x800) {
            *o++ = uint8_t(0xC0 | c >> 6);
            *o++ = uint8_t(0x80 | (c & 0x3F));
        } else {
            *o++ = uint8_t(0xE0 | c >> 12);
            *o++ = uint8_t(0x80 | (c >> 6 & 0x3F));
            *o++ = uint8_t(0x80 | (c & 0x3F));
        }
    }
    return int(o - reinterpret_cast<uint8_t*>(out));
}

static bool IsContinuation(uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

int Utf8Decode(const char* p, int cb, WChar* out)
{
    const uint8_t* s = reinterpret_cast<const uint8_t*>(p);
    int cch = 0;
    int i = 0;
    while (i < cb) {
        uint8_t b = s[i];
        unsigned c;
        if (b < 0x80) {
            c = b;
            i += 1;
        } else if ((b & 0xE0) == 0xC0) {
            if (cb - i < 2 || !IsContinuation(s[i + 1]))
                return -1;
            c = (b & 0x1Fu) << 6 | (s[i + 1] & 0x3Fu);
            i += 2;
        } else if ((b & 0xF0) == 0xE0) {
            if (cb - i < 3 || !IsContinuation(s[i + 1]) || !IsContinuation(s[i + 2]))
                return -1;
            c = (b & 0x0Fu) << 12 | (s[i + 1] & 0x3Fu) << 6 | (s[i + 2] & 0x3Fu);
            i += 3;
        } else {
            return -1;  // stray continuation byte or a 4-byte form
        }
        out[cch++] = WChar(c);
    }
    return cch;
}

// Walks at most cchMax characters; returns the bytes spanned and stores the
// characters counted.
static int Utf8Walk(const char* p, int cb, int cchMax, int* cchCounted)
{
    const uint8_t* s = reinterpret_cast<const uint8_t*>(p);
    int cch = 0;
    int i = 0;
    while (i < cb && cch < cchMax) {
        uint8_t b = s[i];
        int size = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        cch++;
        if (size == 0 || size > cb - i) {
            i = size == 0 ? i + 1 : cb;
            break;
        }
        i += size;
    }
    *cchCounted = cch;
    return i;
}

int Utf8CharCount(const char* p, int cb)
{
    int cch = 0;
    Utf8Walk(p, cb, cb, &cch);
    return cch;
}

int Utf8CharSpan(const char* p, int cb, int cch)
{
    int counted = 0;
    return Utf8Walk(p, cb, cch, &counted);
}

// Searches ------------------------------------------------------------------

static bool SearchArgsValid(const void* haystack, const void* needle, int lenHaystack, int lenNeedle, int from)
{
    return haystack && needle && lenHaystack > 0 && lenNeedle > 0 && from >= 0 &&
           from <= lenHaystack - lenNeedle;
}

int FindBytes(const void* haystack, const void* needle, int cbHaystack, int cbNeedle, int from)
{
    if (!SearchArgsValid(haystack, needle, cbHaystack, cbNeedle, from))
        return -1;
    const uint8_t* h = static_cast<const uint8_t*>(haystack);
    for (int i = from; i <= cbHaystack - cbNeedle; i++) {
        if (memcmp(h + i, needle, size_t(cbNeedle)) == 0)
            return i;
    }
    return -1;
}

int FindUnits(const WChar* haystack, const WChar* needle, int cchHaystack, int cchNeedle, int from)
{
    if (!SearchArgsValid(haystack, needle, cchHaystack, cchNeedle, from))
        return -1;
    for (int i = from; i <= cchHaystack - cchNeedle; i++) {
        if (memcmp(haystack + i, needle, size_t(cchNeedle) * sizeof(WChar)) == 0)
            return i;
    }
    return -1;
}

int FindLastBytes(const void* haystack, const void* needle, int cbHaystack, int cbNeedle, int from)
{
    if (!SearchArgsValid(haystack, needle, cbHaystack, cbNeedle, from))
        return -1;
    const uint8_t* h = static_cast<const uint8_t*>(haystack);
    for (int i = cbHaystack - cbNeedle; i >= from; i--) {
        if (memcmp(h + i, needle, size_t(cbNeedle)) == 0)
            return i;
    }
    return -1;
}

int FindLastByte(const char* p, int cb, char ch, int from)
{
    if (!p || from < 0 || from >= cb)
        return -1;
    for (int i = cb - 1; i >= from; i--) {
        if (p[i] == ch)
            return i;
    }
    return -1;
}

int FindLastUnit(const WChar* p, int cch, WChar ch, int from)
{
    if (!p || from < 0 || from >= cch)
        return -1;
    for (int i = cch - 1; i >= from; i--) {
        if (p[i] == ch)
            return i;
    }
    return -1;
}

// Comparisons ---------------------------------------------------------------

template <typename Unit>
static int CompareRanges(const Unit* a, int lenA, const Unit* b, int lenB)
{
    if (!a || lenA < 0)
        lenA = 0;
    if (!b || lenB < 0)
        lenB = 0;
    if (lenA != lenB)
        return lenA < lenB ? -1 : 1;
    for (int i = 0; i < lenA; i++) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

int CompareBytes(const char* a, int cbA, const char* b, int cbB)
{
    return CompareRanges(reinterpret_cast<const uint8_t*>(a), cbA, reinterpret_cast<const uint8_t*>(b), cbB);
}

int CompareUnits(const WChar* a, int cchA, const WChar* b, int cchB)
{
    return CompareRanges(reinterpret_cast<const uint16_t*>(a), cchA, reinterpret_cast<const uint16_t*>(b), cchB);
}

// Upper-casing --------------------------------------------------------------

static const UpperCasePair kUpperCaseMap[] = {
#include "text/upper_case_map.inc"
};
static_assert(sizeof(kUpperCaseMap) / sizeof(kUpperCaseMap[0]) == UPPER_CASE_MAP_COUNT,
              "the generated table and its count agree");

struct UnitRange {
    uint16_t first;
    uint16_t last;
};

// Odd units in these ranges are lower-case letters whose capital sits just below.
static const UnitRange kOddPairRanges[] = {
    {0x0101, 0x012F}, {0x014B, 0x0177}, {0x01F9, 0x021F},
    {0x048B, 0x04BF}, {0x04D1, 0x0525}, {0x1E01, 0x1E95},
    {0x1EA1, 0x1EFF}, {0x2C81, 0x2CE3}, {0xA733, 0xA76F},
};

// Units in these ranges have no upper-case form the installer knows of.
static const UnitRange kUnchangedRanges[] = {
    {0x04D0, 0x1D78}, {0x2185, 0x2C60}, {0x2CEF, 0xA640}, {0xA78D, 0xFFFF},
};

static bool InRange(unsigned c, unsigned first, unsigned last)
{
    return c >= first && c <= last;
}

template <size_t N>
static bool InAnyRange(unsigned c, const UnitRange (&ranges)[N])
{
    for (const UnitRange& r : ranges) {
        if (InRange(c, r.first, r.last))
            return true;
    }
    return false;
}

static WChar LookUpUpperCase(unsigned c)
{
    int lo = 0;
    int hi = UPPER_CASE_MAP_COUNT - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if (kUpperCaseMap[mid].lower == c)
            return WChar(kUpperCaseMap[mid].upper);
        if (kUpperCaseMap[mid].lower < c)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return WChar(c);
}

WChar UpperCaseMap(WChar ch)
{
    unsigned c = ch;
    if (c < 0x61 || InRange(c, 0x7B, 0xDF))
        return ch;
    if (InRange(c, 0x61, 0x7A) || InRange(c, 0xE0, 0xF6))
        return WChar(c - 0x20);
    if (InRange(c, 0x0430, 0x044F) || InRange(c, 0xFF41, 0xFF5A))
        return WChar(c - 0x20);
    if ((c & 1) && InAnyRange(c, kOddPairRanges))
        return WChar(c - 1);
    if (InRange(c, 0x0561, 0x0586) || InRange(c, 0x2C30, 0x2C5E))
        return WChar(c - 0x30);
    if (InRange(c, 0x24D0, 0x24E9))
        return WChar(c - 0x1A);
    if (InRange(c, 0x2D00, 0x2D25))
        return WChar(c - 0x1C60);
    if (InAnyRange(c, kUnchangedRanges))
        return ch;
    return LookUpUpperCase(c);
}

const UpperCasePair* UpperCaseTable(int* count)
{
    *count = UPPER_CASE_MAP_COUNT;
    return kUpperCaseMap;
}
