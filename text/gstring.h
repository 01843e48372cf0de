// GString: the one string class of the installer.
//
// One object holds either narrow text (UTF-8 bytes) or wide text (UTF-16
// units) and converts between the two in place on demand. Storage grows in
// 64-byte granules by at least half the current length, a zero character is
// kept after the text whenever there is a block, CutFront drops characters
// without moving them, and a lazily created companion string (the scratch)
// serves conversions and formatting.
//
// Results: non-zero for success, 0 for failure (pointers: null). Nothing
// throws. Lengths are in characters of the argument's own kind; a negative
// length means "up to the terminating zero"; a null text counts as empty.
// Appends may take (part of) the string's own text, and a string may be
// assigned to itself; other text arguments must not lie in the string's own
// block, nor in its scratch: operations that convert an argument overwrite
// the scratch.
#pragma once

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "text/wchar16.h"

// A counted text as stored in the text tables: a little-endian 32-bit header
// (bit 31 set = UTF-8 bytes, clear = UTF-16 units; bits 0-28 the length in
// characters) followed directly by the characters.
struct TextRecord {
    uint32_t header;
    // characters follow
};

const uint32_t kRecordNarrowBit = 0x80000000u;
const uint32_t kRecordLengthMask = 0x1FFFFFFFu;

class GString {
public:
    // Construction
    GString();
    GString(WChar ch, int count);
    virtual ~GString();

    // Heap objects (the scratch among them) come from malloc: new yields null
    // instead of throwing when there is no memory.
    static void* operator new(size_t cb) noexcept { return malloc(cb); }
    static void* operator new(size_t, void* where) noexcept { return where; }
    static void operator delete(void* p) { free(p); }

    // Storage
    int Reserve(int n);
    int Grow(int extra);
    int Compact();
    void Terminate();
    int SetLength(int n);
    int CutFront(int n);
    WChar* WideTail(int n);

    // Access
    const char* NarrowAt(int i) const;
    const WChar* WideAt(int i) const;
    int Length() const { return length; }
    int IsWide() const { return wide; }
    int IsEmpty() const { return length == 0; }
    void Clear();      // length 0, kind kept
    void ClearWide();  // length 0, made wide

    // Assignment
    int Assign(const GString& other);
    int AssignWide(const WChar* p, int n);
    int AssignNarrow(const char* p, int n, int encoding);
    int AssignRecord(const TextRecord* record);
    int AssignAsWide(const GString* other);
    int AssignAsNarrow(const GString* other);

    // Appending
    int AppendWide(const WChar* p, int n);
    int AppendWideText(const WChar* p, int n);
    int AppendNarrow(const char* p, int n, int encoding);
    int AppendNarrowText(const char* p, int n, int encoding);
    int AppendWideChar(WChar ch, int count);
    int AppendNarrowChar(char ch, int count);
    int Append(const GString& other);
    int EnsureEndsWithWide(const WChar* p, int n);
    int EnsureEndsWithNarrow(const char* p, int n);
    int AppendPathWide(const WChar* part, int n);
    int AppendPathNarrow(const char* part, int n);
    GString& AppendPath(const GString& part);

    // Conversion
    const WChar* ToWide(int encoding);
    const char* ToNarrow(int encoding);

    // Queries
    int FindWide(const WChar* needle, int from, int needleLength);
    int FindNarrow(const char* needle, int from, int needleLength);
    int Find(const GString& needle, int from);
    int FindLastChar(WChar ch, int from);
    int CompareWide(const WChar* p, int n);
    int CompareNarrow(const char* p, int n);
    bool operator==(const GString& other);
    bool operator!=(const GString& other);
    int ToUpper();
    void DebugTrace(int maxChars);

    // Formatting
    int Format(const WChar* format, ...);
    int FormatAppendV(const WChar* format, va_list args);

    // The companion string, created on first use and emptied on every call;
    // null when it cannot be created. Its content is only valid until the
    // next operation of its owner.
    GString* Scratch();

private:
    GString(const GString&) = delete;
    GString& operator=(const GString&) = delete;

    int CharSize() const { return wide ? 2 : 1; }
    int Room() const;
    int FreeRoom() const;
    char* CharArea() const;
    char* Text() const;  // the first character of the text
    void ClearAs(int wideKind);
    int ResolveEncoding(int requested) const;
    int ReserveConverted(int cchNew, int csNew);

    // Helpers over text of the string's own kind: p holds cch characters.
    int AppendSameKind(const void* p, int cch);
    int FillSameKind(unsigned ch, int count);
    int EndsWithSameKind(const void* p, int cch) const;
    int EnsureEndsWithSameKind(const void* p, int cch);
    int AppendPathSameKind(const void* p, int cch);

    // Bring an argument of the other kind into this string's kind through
    // the scratch; an empty argument needs no scratch.
    int NarrowThroughScratch(const WChar* p, int cch, const char** out, int* cb);
    int WideThroughScratch(const char* p, int cb, const WChar** out, int* cch);

    int CompareWideChecked(const WChar* p, int n, int* failed);
    int CompareNarrowChecked(const char* p, int n, int* failed);

public:
    // Fields, in their documented order. Public so that the format engine and
    // the tests can reach them; everything else goes through the operations.
    uint8_t* block;
    int32_t length;
    int32_t start;
    int32_t capacity;
    int32_t granule;
    int32_t encoding;
    int32_t wide;
    uint8_t styleFlags;
    int32_t traceWidth;
    GString* scratch;
};
