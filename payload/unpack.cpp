// CGuard::UnpackBlob: deciphers one payload blob and inflates its data.
#include <stdlib.h>
#include <string.h>

#include <zlib.h>

#include "payload/blowfish.h"
#include "payload/bytes.h"
#include "payload/crc32.h"
#include "payload/guard.h"
#include "payload/payload.h"

namespace {

// Deflate codes at most 258 bytes in two bits, so a stream never inflates
// to more than 1032 times its size; a larger raw size is not worth a try.
const uint64_t kMaxDeflateRatio = 1032;

// Inflates cbIn raw-deflate bytes into exactly cbOut bytes; 0 on a damaged
// stream or a result that is short or long.
int InflateRaw(const uint8_t* in, uint32_t cbIn, uint8_t* out, uint32_t cbOut)
{
    z_stream stream;
    memset(&stream, 0, sizeof(stream));
    if (inflateInit2(&stream, -15) != Z_OK)  // negative window bits: no wrapper
        return 0;
    stream.next_in = (Bytef*)in;
    stream.avail_in = cbIn;
    stream.next_out = out;
    stream.avail_out = cbOut;
    int status = inflate(&stream, Z_FINISH);
    int ok = status == Z_STREAM_END && stream.total_out == cbOut;
    inflateEnd(&stream);
    return ok;
}

// Room for the raw data and at least one byte more, rounded to an even size;
// a request that does not fit 32 bits asks for 0xFFFFFFFF and fails.
uint8_t* AllocateOutput(uint32_t cbRaw)
{
    uint64_t cb = ((uint64_t)cbRaw / 2 + 1) * 2;
    if (cb > 0xFFFFFFFFu)
        cb = 0xFFFFFFFFu;
    if ((uint64_t)(size_t)cb != cb)
        return nullptr;
    return (uint8_t*)malloc((size_t)cb);
}

}  // namespace

uint8_t* CGuard::UnpackBlob(const uint8_t* blob, uint32_t& cb, uint32_t* extra) const
{
    uint32_t cbKey = 0;
    const uint8_t* key = KeySlice(&cbKey);
    if (key == nullptr)
        return nullptr;  // no key: before Load or after Wipe

    // Whole blocks; a size of 0 (or one that wraps when rounded) fails before
    // any deciphering, and one too small to hold a header fails too.
    const uint32_t cbStored = cb;
    const uint32_t cbWork = (cbStored + 7) & ~7u;
    if (blob == nullptr || cbWork == 0 || cbWork < HDR_SIZE)
        return nullptr;

    uint8_t* result = nullptr;
    uint8_t* output = nullptr;
    uint8_t* work = (uint8_t*)malloc(cbWork);
    BlowfishContext* ctx = (BlowfishContext*)malloc(sizeof(BlowfishContext));
    if (work == nullptr || ctx == nullptr || !BlowfishSetKey(ctx, key, cbKey))
        goto done;

    // Decipher block by block. Only cbStored bytes are read from the blob: a
    // size that is not a multiple of 8 gets a zero-filled last block.
    memset(work + cbWork - 8, 0, 8);
    memcpy(work, blob, cbStored);
    for (uint32_t offset = 0; offset < cbWork; offset += 8)
        BlowfishDecryptBlock(ctx, work + offset);

    {
        const uint32_t cbRaw = ReadLe32(work + HDR_RAW_SIZE);
        const uint32_t cbCompressed = ReadLe32(work + HDR_COMPRESSED_SIZE);
        const uint8_t* compressed = work + HDR_SIZE;
        if (ReadLe32(work + HDR_STORED_SIZE) != cbStored)
            goto done;  // wrong key or damaged blob
        if (cbCompressed > cbStored - HDR_SIZE)
            goto done;  // the data would run past the blob
        if (Crc32(compressed, cbCompressed) != ReadLe32(work + HDR_COMPRESSED_CRC))
            goto done;
        if (cbRaw > (uint64_t)cbCompressed * kMaxDeflateRatio)
            goto done;  // no deflate stream expands this far: a damaged header

        output = AllocateOutput(cbRaw);
        if (output == nullptr || !InflateRaw(compressed, cbCompressed, output, cbRaw))
            goto done;
        if (Crc32(output, cbRaw) != ReadLe32(work + HDR_RAW_CRC))
            goto done;

        if (extra != nullptr)
            *extra = ReadLe32(work + HDR_EXTRA);
        cb = cbRaw;
        result = output;
        output = nullptr;
    }

done:
    free(output);
    free(work);
    if (ctx != nullptr) {
        // The schedule is derived from the key: zero it like the key itself.
        volatile uint8_t* p = (volatile uint8_t*)ctx;
        for (size_t i = 0; i < sizeof(BlowfishContext); ++i)
            p[i] = 0;
        free(ctx);
    }
    return result;
}
