#include "wizard/licence_text.h"

#include <stdlib.h>

const int kUtf8 = 0;  // GString encoding argument: UTF-8

int LoadLicenceText(const CGuard& guard, const uint8_t* blob, uint32_t cbStored, GString& out)
{
    if (blob == nullptr || cbStored == 0)
        return 0;
    uint32_t cb = cbStored;
    uint8_t* buffer = guard.UnpackBlob(blob, cb, nullptr);
    if (buffer == nullptr)
        return 0;
    const uint8_t* start = buffer;
    if (cb >= 3 && buffer[0] == 0xEF && buffer[1] == 0xBB && buffer[2] == 0xBF) {
        start += 3;
        cb -= 3;
    }
    out.AssignNarrow("", 0, kUtf8);
    const int ok = out.AppendNarrow((const char*)start, (int)cb, kUtf8);
    free(buffer);
    return ok;
}
