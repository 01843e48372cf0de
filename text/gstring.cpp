// GString: construction, storage, access, assignment, appending, conversion.
//
// The block is a 4-byte header word followed by the character area; the text
// sits at character position `start` of that area and is always followed by a
// zero character. Blocks come from malloc, grow in granules to at least 1.5
// times the text, and are never shrunk.
#include "text/gstring.h"

#include <string.h>

#include "text/convert.h"

namespace {

const int kUtf8 = 0;
const int kHeaderBytes = 4;
const int kDefaultGranule = 64;
const int kDefaultTraceWidth = 80;
const int64_t kMaxBlockBytes = 0x7FFFFFC0;  // capacity stays a positive int32
const uint32_t kHeaderNarrowBit = 0x80000000u;
const uint32_t kHeaderLengthMask = 0x1FFFFFFFu;

// The texts NarrowAt and WideAt hand out when there is none of that kind.
const char kEmptyNarrow[1] = {0};
const WChar kEmptyWide[1] = {0};

}  // namespace

// Construction -------------------------------------------------------------

GString::GString()
    : block(nullptr), length(0), start(0), capacity(0), granule(kDefaultGranule), encoding(kUtf8),
      wide(0), styleFlags(0), traceWidth(kDefaultTraceWidth), scratch(nullptr)
{
}

GString::GString(WChar ch, int count) : GString()
{
    wide = 1;
    AppendWideChar(ch, count);
}

GString::~GString()
{
    free(block);
    delete scratch;
    block = nullptr;
    length = start = capacity = 0;
    granule = kDefaultGranule;
    encoding = kUtf8;
    wide = 0;
    styleFlags = 0;
    traceWidth = kDefaultTraceWidth;
    scratch = nullptr;
}

GString* GString::Scratch()
{
    if (!scratch) {
        scratch = new GString;
        if (!scratch)
            return nullptr;
    }
    scratch->Clear();
    scratch->encoding = encoding;
    return scratch;
}

// Storage ------------------------------------------------------------------

char* GString::CharArea() const
{
    return reinterpret_cast<char*>(block) + kHeaderBytes;
}

char* GString::Text() const
{
    return CharArea() + start * CharSize();
}

int GString::Room() const
{
    if (capacity == 0)
        return 0;
    int room = (capacity - kHeaderBytes) / CharSize() - 1 - start;
    return room > 0 ? room : 0;
}

int GString::FreeRoom() const
{
    int free = Room() - length;
    return free > 0 ? free : 0;
}

int GString::Reserve(int n)
{
    if (n < 0)
        return 1;
    if (n <= length)
        return Compact();
    int cs = CharSize();
    int64_t m = n > length + length / 2 ? n : length + length / 2;
    int64_t cb = (m + 1) * cs + kHeaderBytes;
    if (cb <= capacity) {
        if (Room() < m)
            Compact();
        return 1;
    }
    int64_t cbBlock = (cb + granule - 1) / granule * granule;
    if (cbBlock > kMaxBlockBytes)
        return 0;
    uint8_t* fresh = static_cast<uint8_t*>(malloc(size_t(cbBlock)));
    if (!fresh)
        return 0;
    if (block)
        memcpy(fresh + kHeaderBytes, Text(), size_t(length) * cs);
    free(block);
    block = fresh;
    capacity = int32_t(cbBlock);
    start = 0;
    Terminate();
    uint32_t header = (wide ? 0 : kHeaderNarrowBit) | (uint32_t(length * cs) & kHeaderLengthMask);
    memcpy(block, &header, sizeof header);
    return 1;
}

int GString::Grow(int extra)
{
    if (extra <= 0 || FreeRoom() >= extra)
        return 1;
    if (extra > INT32_MAX - length)
        return 0;
    return Reserve(length + extra);
}

int GString::Compact()
{
    if (!block)
        return 0;
    if (start != 0) {
        int cs = CharSize();
        memmove(CharArea(), Text(), size_t(length + 1) * cs);
        start = 0;
    }
    return 1;
}

void GString::Terminate()
{
    if (!block)
        return;
    char* end = Text() + length * CharSize();
    end[0] = 0;
    if (wide)
        end[1] = 0;
}

int GString::SetLength(int n)
{
    if (!block)
        return 0;
    int room = Room();
    int newLength = 0;
    if (n < 0) {
        for (int i = 0; i < room; i++) {
            bool zero = wide ? reinterpret_cast<const WChar*>(Text())[i] == 0 : Text()[i] == 0;
            if (zero) {
                newLength = i;
                break;
            }
        }
    } else {
        newLength = n < room ? n : room;
    }
    if (newLength == 0)
        start = 0;
    length = newLength;
    Terminate();
    return 1;
}

int GString::CutFront(int n)
{
    if (n <= 0)
        return 0;
    int cut = n < length ? n : length;
    start += cut;
    length -= cut;
    if (length == 0) {
        start = 0;
        Terminate();
    }
    return 1;
}

WChar* GString::WideTail(int n)
{
    if (!ToWide(-1) || !Grow(n))
        return nullptr;
    if (!block && !Reserve(1))
        return nullptr;
    return reinterpret_cast<WChar*>(Text()) + length;
}

// Makes room for cchNew characters of size csNew at the start of the block,
// so that the string can be cleared and take that text in the other kind
// without a failure halfway.
int GString::ReserveConverted(int cchNew, int csNew)
{
    int64_t cbNeeded = (int64_t(cchNew) + 1) * csNew + kHeaderBytes;
    if (cbNeeded <= capacity)
        return 1;
    int cs = CharSize();
    int64_t n = ((int64_t(cchNew) + 1) * csNew + cs - 1) / cs - 1;
    if (n > INT32_MAX)
        return 0;
    return Reserve(int(n));
}

// Access -------------------------------------------------------------------

const char* GString::NarrowAt(int i) const
{
    if (wide || length == 0 || i < 0)
        return kEmptyNarrow;
    return Text() + (i < length ? i : length);
}

const WChar* GString::WideAt(int i) const
{
    if (!wide || length == 0 || i < 0)
        return kEmptyWide;
    return reinterpret_cast<const WChar*>(Text()) + (i < length ? i : length);
}

void GString::Clear()
{
    length = 0;
    start = 0;
    Terminate();
}

void GString::ClearWide()
{
    ClearAs(1);
}

void GString::ClearAs(int wideKind)
{
    length = 0;
    start = 0;
    wide = wideKind;
    Terminate();
}

// 0 selects UTF-8; anything else the string's own encoding.
int GString::ResolveEncoding(int requested) const
{
    return requested == kUtf8 ? kUtf8 : encoding;
}

// Assignment ---------------------------------------------------------------

int GString::Assign(const GString& other)
{
    if (&other == this)
        return 1;
    ClearAs(other.wide);
    encoding = other.encoding;
    if (other.wide)
        return AppendWide(other.WideAt(0), other.length);
    return AppendNarrow(other.NarrowAt(0), other.length, -1);
}

int GString::AssignWide(const WChar* p, int n)
{
    ClearAs(1);
    return AppendWide(p, n);
}

int GString::AssignNarrow(const char* p, int n, int enc)
{
    ClearAs(0);
    return AppendNarrow(p, n, enc);
}

int GString::AssignRecord(const TextRecord* record)
{
    if (!record) {
        Clear();
        return 0;
    }
    int n = int(record->header & kRecordLengthMask);
    const char* chars = reinterpret_cast<const char*>(record + 1);
    if (record->header & kRecordNarrowBit)
        return AssignNarrow(chars, n, -1);
    ClearAs(1);
    // The units of a record need not be aligned for WChar: copy them as bytes.
    return n == 0 ? 1 : AppendSameKind(chars, n);
}

int GString::AssignAsWide(const GString* other)
{
    if (other == this)
        return ToWide(-1) != nullptr;
    ClearAs(1);
    if (!other)
        return 0;
    encoding = other->encoding;
    if (other->wide)
        return AppendWide(other->WideAt(0), other->length);
    return AppendNarrowText(other->NarrowAt(0), other->length, other->encoding);
}

int GString::AssignAsNarrow(const GString* other)
{
    if (other == this)
        return ToNarrow(-1) != nullptr;
    ClearAs(0);
    if (!other)
        return 0;
    encoding = other->encoding;
    if (other->wide)
        return AppendWideText(other->WideAt(0), other->length);
    return AppendNarrow(other->NarrowAt(0), other->length, other->encoding);
}

// Appending ----------------------------------------------------------------

int GString::AppendSameKind(const void* p, int cch)
{
    int cs = CharSize();
    const char* source = static_cast<const char*>(p);
    // A source inside the string's own text (appending the string to itself)
    // is found again after the text has moved.
    intptr_t offset = -1;
    if (block) {
        uintptr_t s = reinterpret_cast<uintptr_t>(source);
        uintptr_t t = reinterpret_cast<uintptr_t>(Text());
        if (s >= t && s < t + uintptr_t(length) * cs)
            offset = intptr_t(s - t);
    }
    if (!Grow(cch))
        return 0;
    if (offset >= 0)
        source = Text() + offset;
    memmove(Text() + length * cs, source, size_t(cch) * cs);
    length += cch;
    Terminate();
    return 1;
}

int GString::FillSameKind(unsigned ch, int count)
{
    if (!Grow(count))
        return 0;
    if (wide) {
        WChar* out = reinterpret_cast<WChar*>(Text()) + length;
        for (int i = 0; i < count; i++)
            out[i] = WChar(ch);
    } else {
        memset(Text() + length, int(ch), size_t(count));
    }
    length += count;
    Terminate();
    return 1;
}

int GString::AppendWide(const WChar* p, int n)
{
    if (!wide)
        return 0;
    int cch = WideTextLength(p, n);
    return cch == 0 ? 1 : AppendSameKind(p, cch);
}

int GString::AppendWideText(const WChar* p, int n)
{
    if (wide)
        return AppendWide(p, n);
    int cch = WideTextLength(p, n);
    if (cch == 0)
        return 1;
    int64_t cb = Utf8EncodedSize(p, cch);
    if (cb > INT32_MAX || !Grow(int(cb)))
        return 0;
    length += Utf8Encode(p, cch, Text() + length);
    encoding = kUtf8;
    Terminate();
    return 1;
}

int GString::AppendNarrow(const char* p, int n, int enc)
{
    if (wide || ResolveEncoding(enc) != encoding)
        return 0;
    int cb = NarrowTextLength(p, n);
    return cb == 0 ? 1 : AppendSameKind(p, cb);
}

int GString::AppendNarrowText(const char* p, int n, int enc)
{
    if (!wide)
        return AppendNarrow(p, n, enc);
    if (ResolveEncoding(enc) != kUtf8)
        return 0;
    int cb = NarrowTextLength(p, n);
    if (cb == 0)
        return 1;
    // A successful decode yields exactly as many units as the walk counts
    // characters, and a failing one never writes more.
    if (!Grow(Utf8CharCount(p, cb)))
        return 0;
    int cch = Utf8Decode(p, cb, reinterpret_cast<WChar*>(Text()) + length);
    if (cch >= 0)
        length += cch;
    Terminate();
    return cch >= 0;
}

int GString::AppendWideChar(WChar ch, int count)
{
    if (ch == 0 || count <= 0)
        return 1;
    if (!wide && ch >= 0x80)
        return 0;
    return FillSameKind(ch, count);
}

int GString::AppendNarrowChar(char ch, int count)
{
    if (ch == 0 || count <= 0)
        return 1;
    if (wide && uint8_t(ch) >= 0x80)
        return 0;
    return FillSameKind(uint8_t(ch), count);
}

int GString::Append(const GString& other)
{
    if (other.wide)
        return AppendWideText(other.WideAt(0), other.length);
    return AppendNarrowText(other.NarrowAt(0), other.length, other.encoding);
}

int GString::NarrowThroughScratch(const WChar* p, int cch, const char** out, int* cb)
{
    *out = kEmptyNarrow;
    *cb = 0;
    if (cch == 0)
        return 1;
    GString* s = Scratch();
    if (!s)
        return 0;
    s->ClearAs(0);
    if (!s->AppendWideText(p, cch))
        return 0;
    *out = s->NarrowAt(0);
    *cb = s->length;
    return 1;
}

int GString::WideThroughScratch(const char* p, int cb, const WChar** out, int* cch)
{
    *out = kEmptyWide;
    *cch = 0;
    if (cb == 0)
        return 1;
    GString* s = Scratch();
    if (!s)
        return 0;
    s->ClearAs(1);
    if (!s->AppendNarrowText(p, cb, -1))
        return 0;
    *out = s->WideAt(0);
    *cch = s->length;
    return 1;
}

int GString::EndsWithSameKind(const void* p, int cch) const
{
    int cs = CharSize();
    return length >= cch && memcmp(Text() + (length - cch) * cs, p, size_t(cch) * cs) == 0;
}

int GString::EnsureEndsWithSameKind(const void* p, int cch)
{
    if (EndsWithSameKind(p, cch))
        return 1;
    return AppendSameKind(p, cch);
}

int GString::EnsureEndsWithWide(const WChar* p, int n)
{
    int cch = WideTextLength(p, n);
    if (cch == 0 || p[0] == 0)
        return 0;
    if (wide)
        return EnsureEndsWithSameKind(p, cch);
    const char* suffix;
    int cb;
    if (!NarrowThroughScratch(p, cch, &suffix, &cb))
        return 0;
    return EnsureEndsWithSameKind(suffix, cb);
}

int GString::EnsureEndsWithNarrow(const char* p, int n)
{
    int cb = NarrowTextLength(p, n);
    if (cb == 0 || p[0] == 0)
        return 0;
    if (!wide)
        return EnsureEndsWithSameKind(p, cb);
    const WChar* suffix;
    int cch;
    if (!WideThroughScratch(p, cb, &suffix, &cch))
        return 0;
    return EnsureEndsWithSameKind(suffix, cch);
}

int GString::AppendPathSameKind(const void* p, int cch)
{
    static const WChar kWideBackslash[1] = {'\\'};
    static const char kNarrowBackslash[1] = {'\\'};
    int cs = CharSize();
    const char* part = static_cast<const char*>(p);
    if (cch > 0) {
        unsigned first = wide ? *reinterpret_cast<const WChar*>(part) : uint8_t(*part);
        if (first == '\\' || first == '/') {
            part += cs;
            cch--;
        }
    }
    const void* backslash = wide ? static_cast<const void*>(kWideBackslash) : kNarrowBackslash;
    if (!EnsureEndsWithSameKind(backslash, 1))
        return 0;
    return cch == 0 ? 1 : AppendSameKind(part, cch);
}

int GString::AppendPathWide(const WChar* part, int n)
{
    int cch = WideTextLength(part, n);
    if (wide)
        return AppendPathSameKind(part, cch);
    const char* converted;
    int cb;
    if (!NarrowThroughScratch(part, cch, &converted, &cb))
        return 0;
    return AppendPathSameKind(converted, cb);
}

int GString::AppendPathNarrow(const char* part, int n)
{
    int cb = NarrowTextLength(part, n);
    if (!wide)
        return AppendPathSameKind(part, cb);
    const WChar* converted;
    int cch;
    if (!WideThroughScratch(part, cb, &converted, &cch))
        return 0;
    return AppendPathSameKind(converted, cch);
}

GString& GString::AppendPath(const GString& part)
{
    if (part.wide)
        AppendPathWide(part.WideAt(0), part.length);
    else
        AppendPathNarrow(part.NarrowAt(0), part.length);
    return *this;
}

// Conversion ---------------------------------------------------------------

const WChar* GString::ToWide(int enc)
{
    int resolved = ResolveEncoding(enc);
    if (wide) {
        encoding = resolved;
        return WideAt(0);
    }
    if (resolved != kUtf8)
        return nullptr;
    GString* s = Scratch();
    if (!s || !s->AssignAsWide(this) || !ReserveConverted(s->length, 2))
        return nullptr;
    ClearAs(1);
    encoding = resolved;
    if (s->length > 0)
        AppendSameKind(s->WideAt(0), s->length);  // the room is reserved: cannot fail
    return WideAt(0);
}

const char* GString::ToNarrow(int enc)
{
    int resolved = ResolveEncoding(enc);
    if (!wide)
        return resolved == encoding ? NarrowAt(0) : nullptr;
    if (resolved != kUtf8)
        return nullptr;
    if (length == 0) {
        ClearAs(0);
        encoding = resolved;
        return NarrowAt(0);
    }
    GString* s = Scratch();
    if (!s || !s->AssignAsNarrow(this) || !ReserveConverted(s->length, 1))
        return nullptr;
    ClearAs(0);
    encoding = resolved;
    AppendSameKind(s->NarrowAt(0), s->length);  // the room is reserved: cannot fail
    return NarrowAt(0);
}
