// Number renderers of the format engine: floating-point values in fixed,
// exponent, general, hexadecimal and engineering form, and binary-prefixed
// sizes.
//
// Each renderer appends narrow text, padding included, to a narrow GString
// (the engine passes its target's scratch) and returns 1, or 0 when storage
// cannot be had or the digits do not fit their buffer. The width is limited
// to 512; padding counts characters (the micro sign is one).
#pragma once

#include <stdint.h>

#include "text/format_directive.h"
#include "text/gstring.h"
#include "text/wchar16.h"

// Digit tables, shared with the format engine.
extern const char kDigitsLower[];
extern const char kDigitsUpper[];
extern const WChar kWideDigitsLower[];
extern const WChar kWideDigitsUpper[];

// Field of one rendered number: width, precision and FormatFlag bits.
struct RenderField {
    int32_t width;
    int32_t precision;
    uint32_t flags;
};

int RenderFixed(GString* out, const RenderField& field, double value);        // f
int RenderExponent(GString* out, const RenderField& field, double value);     // e E
int RenderGeneral(GString* out, const RenderField& field, double value);      // g G
int RenderHexFloat(GString* out, const RenderField& field, double value);     // a A
int RenderEngineering(GString* out, const RenderField& field, double value);  // F

// I and U: a size given as its magnitude and sign.
int RenderSize(GString* out, const RenderField& field, uint64_t magnitude, int negative);
