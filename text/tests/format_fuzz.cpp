// libFuzzer target for GString::FormatAppendV over arbitrary format texts.
//
// The format is parsed first with the engine's own directive parser, and the
// call receives exactly the arguments its directives consume, each of the
// kind the directive reads: integers and doubles from the input, pointers to
// texts, strings, records and byte buffers large enough for every precision
// the plan allows. Inputs whose widths or counts would only exercise the
// allocator (gigabyte fields) are skipped.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdarg.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "text/format_directive.h"
#include "text/gstring.h"

namespace {

const int kMaxArgs = 6;       // argument slots per call
const int kMaxWidth = 4096;
const int kTextRoom = 256;    // characters every text argument can supply

struct Plan {
    int count = 0;
    FormatArg kinds[kMaxArgs];
    int32_t ints[kMaxArgs];
    long long longs[kMaxArgs];
    double reals[kMaxArgs];
    const void* pointers[kMaxArgs];
};

// Arguments the pointers of a plan address. Texts are zero-terminated with
// room behind them for an exact count of kTextRoom characters (a narrow
// character may take four bytes).
struct Fixtures {
    WChar wide[kTextRoom + 1];
    char narrow[4 * kTextRoom + 4];
    uint8_t record[4 + 4 * kTextRoom + 4];
    uint8_t bytes[2 * kTextRoom];
    GString wideString;
    GString narrowString;
    int32_t count;
};

void FillFixtures(FuzzedDataProvider& in, Fixtures* f)
{
    memset(f->wide, 0, sizeof f->wide);
    memset(f->narrow, 0, sizeof f->narrow);
    memset(f->record, 0, sizeof f->record);
    std::vector<uint8_t> raw = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 2 * kTextRoom));
    raw.push_back(0);  // never empty, so data() is never null
    memset(f->bytes, 0, sizeof f->bytes);
    memcpy(f->bytes, raw.data(), raw.size() < sizeof f->bytes ? raw.size() : sizeof f->bytes);
    size_t cchWide = raw.size() / 2 < kTextRoom ? raw.size() / 2 : kTextRoom;
    memcpy(f->wide, raw.data(), cchWide * sizeof(WChar));
    memcpy(f->narrow, raw.data(), raw.size() < sizeof f->narrow - 1 ? raw.size() : sizeof f->narrow - 1);
    uint32_t header = in.ConsumeBool() ? kRecordNarrowBit | uint32_t(raw.size()) : uint32_t(cchWide);
    memcpy(f->record, &header, sizeof header);
    if (header & kRecordNarrowBit)
        memcpy(f->record + 4, f->narrow, strlen(f->narrow));
    else
        memcpy(f->record + 4, f->wide, cchWide * sizeof(WChar));
    // The strings hold the whole buffers, zeros included: their text ends at
    // the first zero, and an exact count still reads inside their storage.
    f->wideString.AssignWide(f->wide, kTextRoom + 1);
    f->narrowString.AssignNarrow(f->narrow, int(sizeof f->narrow), 0);
}

const void* PointerFor(FuzzedDataProvider& in, const FormatDirective& d, Fixtures* f)
{
    if (in.ConsumeIntegralInRange(0, 15) == 0)
        return nullptr;
    int narrow = d.size == kSizeShort;
    switch (d.conversion) {
    case 's': case 'S': return narrow ? static_cast<const void*>(f->narrow) : f->wide;
    case 'z': case 'Z': return narrow ? static_cast<const void*>(f->record)
                                      : in.ConsumeBool() ? &f->wideString : &f->narrowString;
    case 'n':           return &f->count;
    case 'p': case 'P': return reinterpret_cast<const void*>(in.ConsumeIntegral<uintptr_t>());
    }
    return f->bytes;  // b B w W
}

// Counts read through a pointer (exact text extents, dump lengths) must stay
// within the fixtures.
bool PrecisionIsSafe(const FormatDirective& d, int32_t precision)
{
    switch (d.conversion) {
    case 'b': case 'B':
        return precision <= 2 * kTextRoom;
    case 's': case 'S': case 'z': case 'Z':
        return precision >= -kTextRoom;
    }
    return true;
}

// Any bit pattern, NaNs, infinities and subnormals included.
double AnyDouble(FuzzedDataProvider& in)
{
    uint64_t bits = in.ConsumeIntegral<uint64_t>();
    double value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

bool Push(Plan* plan, FormatArg kind)
{
    if (plan->count == kMaxArgs)
        return false;
    plan->kinds[plan->count++] = kind;
    return true;
}

// Walks the format as the engine does and records the arguments it will read.
bool MakePlan(const WChar* format, FuzzedDataProvider& in, Fixtures* f, Plan* plan)
{
    for (const WChar* p = format; *p;) {
        if (*p++ != '%')
            continue;
        if (!*p)
            break;
        if (*p == '%') {
            ++p;
            continue;
        }
        FormatDirective d;
        p = ParseFormatDirective(p, &d);
        if (d.width > kMaxWidth)
            return false;
        if (d.widthFromArg) {
            if (!Push(plan, kArgInt32))
                return false;
            plan->ints[plan->count - 1] = in.ConsumeIntegralInRange(-kMaxWidth, kMaxWidth);
        }
        int32_t precision = d.precision;
        if (d.precisionFromArg) {
            if (!Push(plan, kArgInt32))
                return false;
            precision = in.ConsumeIntegralInRange(-2 * kTextRoom, 2 * kTextRoom);
            plan->ints[plan->count - 1] = precision;
        }
        if (!PrecisionIsSafe(d, precision))
            return false;
        FormatArg kind = FormatDirectiveArg(d);
        if (kind == kArgNone) {
            if (d.conversion && d.conversion != 'N')
                --p;  // copied as text
            continue;
        }
        if (!Push(plan, kind))
            return false;
        int i = plan->count - 1;
        switch (kind) {
        case kArgInt32:   plan->ints[i] = in.ConsumeIntegral<int32_t>(); break;
        case kArgInt64:   plan->longs[i] = in.ConsumeIntegral<long long>(); break;
        case kArgDouble:  plan->reals[i] = AnyDouble(in); break;
        case kArgPointer: plan->pointers[i] = PointerFor(in, d, f); break;
        case kArgNone:    break;
        }
    }
    return true;
}

int Invoke(GString& s, const WChar* format, ...)
{
    va_list args;
    va_start(args, format);
    int ok = s.FormatAppendV(format, args);
    va_end(args);
    return ok;
}

// Passes the plan's arguments with their own types: one instantiation per
// sequence of kinds, up to kMaxArgs.
template <typename... Args>
int Dispatch(GString& s, const WChar* format, const Plan& plan, Args... args)
{
    constexpr int i = int(sizeof...(Args));
    if (i == plan.count)
        return Invoke(s, format, args...);
    if constexpr (i < kMaxArgs) {
        switch (plan.kinds[i]) {
        case kArgInt32:   return Dispatch(s, format, plan, args..., plan.ints[i]);
        case kArgInt64:   return Dispatch(s, format, plan, args..., plan.longs[i]);
        case kArgDouble:  return Dispatch(s, format, plan, args..., plan.reals[i]);
        case kArgPointer: return Dispatch(s, format, plan, args..., plan.pointers[i]);
        case kArgNone:    break;
        }
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    std::string text = in.ConsumeRandomLengthString(256);
    std::vector<WChar> format(text.begin(), text.end());
    format.push_back(0);

    static Fixtures* fixtures = new Fixtures;
    FillFixtures(in, fixtures);
    Plan plan;
    if (!MakePlan(format.data(), in, fixtures, &plan))
        return -1;  // not worth keeping in the corpus

    GString target;
    if (in.ConsumeBool())
        target.AssignWide(WSTR("prefix "), -1);
    int lengthBefore = target.Length();
    int ok = Dispatch(target, format.data(), plan);
    // Whatever happened, the string stays terminated and never shrinks.
    if (target.Length() < lengthBefore || target.WideAt(0)[target.Length()] != 0)
        __builtin_trap();
    (void)ok;
    return 0;
}
