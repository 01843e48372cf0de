// Character conversions and the searching and comparing primitives on raw
// character ranges that GString rests on.
//
// UTF-8 here is the installer's own form: every UTF-16 unit is encoded on its
// own (surrogates included, so a character outside the BMP becomes two 3-byte
// sequences), and only 1-, 2- and 3-byte sequences decode.
//
// The primitives take explicit lengths; callers resolve negative lengths and
// null pointers first. Searches return an index or -1; comparisons -1, 0, 1.
#pragma once

#include <stdint.h>

#include "text/wchar16.h"

// Length of a text argument: n when n >= 0, up to the terminating zero when
// n is negative, 0 for a null pointer.
int WideTextLength(const WChar* p, int n);
int NarrowTextLength(const char* p, int n);

// Conversions ---------------------------------------------------------------

// Bytes the UTF-8 form of the cch units at p takes (zero units included).
int Utf8EncodedSize(const WChar* p, int cch);

// Writes the UTF-8 form of exactly cch units to out (Utf8EncodedSize bytes);
// returns the byte count.
int Utf8Encode(const WChar* p, int cch, char* out);

// Decodes cb bytes into out; returns the unit count, or -1 at the first
// invalid sequence (a stray continuation byte, a lead byte from 0xF0, a
// continuation byte outside 0x80-0xBF, a sequence cut off by the end). At most
// Utf8CharCount(p, cb) units are written, on success and on failure.
int Utf8Decode(const char* p, int cb, WChar* out);

// Characters in cb bytes of UTF-8, walking lead bytes only: 0xxxxxxx,
// 110xxxxx, 1110xxxx and 11110xxx start 1- to 4-byte characters; counting
// stops, after counting the current character, at any other lead byte or at a
// sequence that runs past the end.
int Utf8CharCount(const char* p, int cb);

// Bytes spanned by the first cch characters of p under the same walk, at most cb.
int Utf8CharSpan(const char* p, int cb, int cch);

// Searches ------------------------------------------------------------------

// First index i >= from where the cbNeedle bytes of needle occur in haystack;
// -1 for a null pointer, a length of 0 or less, from < 0 or
// from + cbNeedle > cbHaystack.
int FindBytes(const void* haystack, const void* needle, int cbHaystack, int cbNeedle, int from);

// The same over UTF-16 units.
int FindUnits(const WChar* haystack, const WChar* needle, int cchHaystack, int cchNeedle, int from);

// Last index i >= from where the needle occurs, trying positions from
// cbHaystack - cbNeedle downward; the same rejections as FindBytes.
int FindLastBytes(const void* haystack, const void* needle, int cbHaystack, int cbNeedle, int from);

// Last index i with from <= i < length holding ch; -1 for an empty range or
// from outside 0 .. length - 1.
int FindLastByte(const char* p, int cb, char ch, int from);
int FindLastUnit(const WChar* p, int cch, WChar ch, int from);

// Comparisons ---------------------------------------------------------------

// Three-way comparison: empty ranges (null or length 0) are equal and order
// before non-empty ones, a shorter range orders first, and ranges of equal
// length compare element by element as unsigned values.
int CompareBytes(const char* a, int cbA, const char* b, int cbB);
int CompareUnits(const WChar* a, int cchA, const WChar* b, int cchB);

// Upper-casing --------------------------------------------------------------

// The simple upper-case form of one UTF-16 unit; units without one are returned
// unchanged.
WChar UpperCaseMap(WChar c);

// The table behind UpperCaseMap, for tests: pairs {lower, upper} sorted by lower.
struct UpperCasePair {
    uint16_t lower;
    uint16_t upper;
};
const UpperCasePair* UpperCaseTable(int* count);
