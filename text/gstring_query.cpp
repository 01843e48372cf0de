// GString queries: searching, comparison, upper-casing and the debug trace.
// Each may bring an argument or the text into the other kind through the
// scratch, so even the questions modify the object.
#include "text/gstring.h"

#include "text/convert.h"
#include "text/debug_trace.h"

namespace {

const WChar kLineEnd[] = {'\n'};
const WChar kContinuedLineEnd[] = {' ', '\\', '\n'};

}  // namespace

// Searching ----------------------------------------------------------------

int GString::FindWide(const WChar* needle, int from, int needleLength)
{
    int cch = WideTextLength(needle, needleLength);
    if (cch == 0 || length == 0)
        return -1;
    if (wide)
        return FindUnits(WideAt(0), needle, length, cch, from);
    const char* bytes;
    int cb;
    if (!NarrowThroughScratch(needle, cch, &bytes, &cb))
        return -1;
    return FindBytes(NarrowAt(0), bytes, length, cb, from);
}

int GString::FindNarrow(const char* needle, int from, int needleLength)
{
    int cb = NarrowTextLength(needle, needleLength);
    if (cb == 0 || length == 0)
        return -1;
    if (!wide)
        return FindBytes(NarrowAt(0), needle, length, cb, from);
    const WChar* units;
    int cch;
    if (!WideThroughScratch(needle, cb, &units, &cch))
        return -1;
    return FindUnits(WideAt(0), units, length, cch, from);
}

int GString::Find(const GString& needle, int from)
{
    if (needle.wide)
        return FindWide(needle.WideAt(0), from, needle.length);
    return FindNarrow(needle.NarrowAt(0), from, needle.length);
}

int GString::FindLastChar(WChar ch, int from)
{
    if (length == 0 || from < 0 || from >= length)
        return -1;
    if (wide)
        return FindLastUnit(WideAt(0), length, ch, from);
    if (ch < 0x80)
        return FindLastByte(NarrowAt(0), length, char(ch), from);
    char bytes[3];
    int cb = Utf8Encode(&ch, 1, bytes);
    return FindLastBytes(NarrowAt(0), bytes, length, cb, from);
}

// Comparison ---------------------------------------------------------------

int GString::CompareWideChecked(const WChar* p, int n, int* failed)
{
    int cch = WideTextLength(p, n);
    if (wide)
        return CompareUnits(WideAt(0), length, p, cch);
    const char* bytes;
    int cb;
    if (!NarrowThroughScratch(p, cch, &bytes, &cb)) {
        *failed = 1;
        return 0;
    }
    return CompareBytes(NarrowAt(0), length, bytes, cb);
}

int GString::CompareNarrowChecked(const char* p, int n, int* failed)
{
    int cb = NarrowTextLength(p, n);
    if (!wide)
        return CompareBytes(NarrowAt(0), length, p, cb);
    const WChar* units;
    int cch;
    if (!WideThroughScratch(p, cb, &units, &cch)) {
        *failed = 1;
        return 0;
    }
    return CompareUnits(WideAt(0), length, units, cch);
}

int GString::CompareWide(const WChar* p, int n)
{
    int failed = 0;
    return CompareWideChecked(p, n, &failed);
}

int GString::CompareNarrow(const char* p, int n)
{
    int failed = 0;
    return CompareNarrowChecked(p, n, &failed);
}

// A text that cannot be converted is not equal to anything, although the
// three-way comparison reports 0 for it.
bool GString::operator==(const GString& other)
{
    if (&other == this)
        return true;
    int failed = 0;
    int order = other.wide ? CompareWideChecked(other.WideAt(0), other.length, &failed)
                           : CompareNarrowChecked(other.NarrowAt(0), other.length, &failed);
    return !failed && order == 0;
}

bool GString::operator!=(const GString& other)
{
    return !(*this == other);
}

// Upper-casing -------------------------------------------------------------

int GString::ToUpper()
{
    if (length == 0)
        return 1;
    if (wide) {
        WChar* p = reinterpret_cast<WChar*>(Text());
        for (int i = 0; i < length; i++)
            p[i] = UpperCaseMap(p[i]);
        return 1;
    }
    GString* s = Scratch();
    if (!s || !s->AssignAsWide(this))
        return 0;
    WChar* p = reinterpret_cast<WChar*>(s->Text());
    for (int i = 0; i < s->length; i++)
        p[i] = UpperCaseMap(p[i]);
    // Upper-casing can change the UTF-8 length: make the room before the
    // text is replaced, so a failure leaves it as it was.
    if (!ReserveConverted(Utf8EncodedSize(p, s->length), 1))
        return 0;
    Clear();
    return AppendWideText(p, s->length);
}

// Debug trace --------------------------------------------------------------

// Sends the first maxChars characters in lines of traceWidth characters; all
// but the last end in " \" to mark that the logical line goes on.
void GString::DebugTrace(int maxChars)
{
    if (length == 0 || traceWidth <= 0)
        return;
    int n = wide ? length : Utf8CharCount(NarrowAt(0), length);
    if (maxChars < n)
        n = maxChars;
    if (n <= 0)
        return;
    int lines = n / traceWidth;
    int rest = n % traceWidth;
    GString* s = Scratch();
    if (!s)
        return;
    int pos = 0;  // in units of the text: bytes for narrow text
    for (int line = 0; line < lines + (rest ? 1 : 0); line++) {
        int cch = line < lines ? traceWidth : rest;
        s->ClearWide();
        int ok;
        if (wide) {
            ok = s->AppendWide(WideAt(pos), cch);
            pos += cch;
        } else {
            int cb = Utf8CharSpan(NarrowAt(pos), length - pos, cch);
            ok = s->AppendNarrowText(NarrowAt(pos), cb, 0);
            pos += cb;
        }
        bool continued = line < lines - 1 || (line == lines - 1 && rest != 0);
        if (continued)
            ok = ok && s->AppendWide(kContinuedLineEnd, 3);
        else
            ok = ok && s->AppendWide(kLineEnd, 1);
        if (!ok)
            return;  // undecodable text or no memory: the trace stops here
        DebugTraceOutput(s->WideAt(0));
    }
}
