// One directive of a format text: `%`, flags, width, precision, size and a
// conversion character, parsed before any argument is read.
//
// The parser and the table of argument kinds are shared by the format engine
// and by the fuzz target, which uses them to supply exactly the arguments a
// format text consumes.
#pragma once

#include <stdint.h>

#include "text/wchar16.h"

// Directive flags, as the engine and the number renderers read them.
enum FormatFlag : uint32_t {
    kFlagLeft   = 0x01,  // -  pad on the right
    kFlagPlus   = 0x02,  // +  show + on non-negative values
    kFlagSpace  = 0x04,  //    show a space on non-negative values
    kFlagZero   = 0x08,  // 0  pad with zeros
    kFlagAlt    = 0x10,  // #  alternate form
    kFlagEscape = 0x20,  // $  escape characters outside 32-126
    kFlagGroup  = 0x40,  // `  group digits
    kFlagUpper  = 0x80,  // set by the engine for E G A: upper-case letters
};

enum FormatSize : uint8_t {
    kSizeDefault,
    kSizeShort,     // h
    kSizeLong,      // l (no effect)
    kSizeLongLong,  // ll or L
};

// What a directive reads from the argument list, after the `*` values.
enum FormatArg : uint8_t {
    kArgNone,
    kArgInt32,
    kArgInt64,
    kArgDouble,
    kArgPointer,
};

struct FormatDirective {
    uint32_t flags;
    int32_t width;           // from the text; see widthFromArg
    int32_t precision;       // 0 when absent
    uint8_t size;            // FormatSize
    uint8_t widthFromArg;    // `*`: the next 32-bit argument is the width
    uint8_t precisionFromArg;  // `.*`: the next 32-bit argument is the precision
    uint8_t hasPrecision;    // a `.` was given
    WChar conversion;        // 0 when the format ended inside the directive
};

// Parses the directive whose flags start at p (just after the `%`) and
// returns the position after its conversion character, or the position of
// the terminating zero when the format ends first.
const WChar* ParseFormatDirective(const WChar* p, FormatDirective* d);

// The argument a parsed directive's conversion consumes (kArgNone for N, %,
// unknown conversions and the end of the format).
FormatArg FormatDirectiveArg(const FormatDirective& d);
