// Feeds arbitrary bytes through the UTF-8 conversions and the GString
// operations built on them; the sanitizers catch memory faults, the checks
// below catch conversions that disagree with each other.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "text/convert.h"
#include "text/gstring.h"

static void Check(bool condition)
{
    if (!condition)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    int cb = int(size);
    int split = cb > 0 ? data[0] % (cb + 1) : 0;

    GString s;
    Check(s.AssignNarrow(bytes, cb, -1));
    const WChar* wide = s.ToWide(-1);
    if (wide) {
        // Decoding succeeded: one unit per counted character, and a second
        // round through UTF-8 gives the same units.
        Check(s.Length() == Utf8CharCount(bytes, cb));
        GString again;
        again.ClearWide();
        Check(again.Append(s));
        Check(again.ToNarrow(-1) != nullptr);
        Check(again.ToWide(-1) != nullptr);
        Check(again == s);
    } else {
        Check(!s.IsWide() && s.Length() == cb && memcmp(s.NarrowAt(0), bytes, size) == 0);
    }

    GString part;
    part.AssignNarrow(bytes + split, cb - split, -1);
    s.Find(part, data[0] % 8);
    s.FindLastChar(WChar(cb > 1 ? data[1] : 0x142), 0);
    s.CompareNarrow(bytes, split);
    s.AppendPath(part);
    s.ToUpper();
    s.DebugTrace(cb);
    s.CutFront(split);
    s.AppendNarrowText(bytes, split, -1);
    return 0;
}
