// Opening a licence text blob of the payload.
#pragma once

#include <stdint.h>

#include "payload/guard.h"
#include "text/gstring.h"

// Unpacks the blob (cbStored bytes) with the guard's key into out as narrow
// UTF-8 text, without a leading byte-order mark. 0 for a null or empty blob
// or one that does not open (out is then unchanged).
int LoadLicenceText(const CGuard& guard, const uint8_t* blob, uint32_t cbStored, GString& out);
