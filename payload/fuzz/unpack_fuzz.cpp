// Any header and stream, enciphered with the key, is opened or refused
// cleanly. Input: raw size, raw CRC, extra value (u32 each), then the deflate
// bytes; the harness fills in the stored size and the compressed CRC so that
// the inflater and the checks after it are reached.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "payload/blowfish.h"
#include "payload/bytes.h"
#include "payload/crc32.h"
#include "payload/guard.h"
#include "payload/packer/pack.h"
#include "payload/payload.h"

namespace {

struct Keyed {
    KeyMaterial key;
    CGuard* guard;
    BlowfishContext ctx;
    Keyed()
    {
        GenerateKeyMaterial("fuzz seed", key);
        guard = new CGuard(key.Params);
        guard->Load(key.Block.data(), (uint32_t)key.Block.size());
        uint32_t cbKey = 0;
        const uint8_t* keyBytes = guard->KeySlice(&cbKey);
        BlowfishSetKey(&ctx, keyBytes, cbKey);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Keyed keyed;
    if (size < 12 || size > (1u << 20))
        return 0;
    const uint32_t cbCompressed = (uint32_t)(size - 12);
    const uint32_t cbStored = (HDR_SIZE + cbCompressed + 7) & ~7u;
    uint8_t* blob = (uint8_t*)calloc(cbStored, 1);
    WriteLe32(blob + HDR_STORED_SIZE, cbStored);
    memcpy(blob + HDR_RAW_SIZE, data, 4);
    WriteLe32(blob + HDR_COMPRESSED_SIZE, cbCompressed);
    memcpy(blob + HDR_RAW_CRC, data + 4, 4);
    WriteLe32(blob + HDR_COMPRESSED_CRC, Crc32(data + 12, cbCompressed));
    memcpy(blob + HDR_EXTRA, data + 8, 4);
    memcpy(blob + HDR_SIZE, data + 12, cbCompressed);
    for (uint32_t i = 0; i < cbStored; i += 8)
        BlowfishEncryptBlock(&keyed.ctx, blob + i);

    uint32_t cb = cbStored;
    uint32_t extra = 0x5A5A5A5A;
    uint8_t* out = keyed.guard->UnpackBlob(blob, cb, &extra);
    if (out == nullptr && (cb != cbStored || extra != 0x5A5A5A5A))
        abort();  // a failure leaves the size and the extra value alone
    if (out != nullptr && (cb != ReadLe32(data) || Crc32(out, cb) != ReadLe32(data + 4)))
        abort();  // a success is exactly what the header promised
    free(out);
    free(blob);
    return 0;
}
