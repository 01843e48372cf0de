#include "payload/blowfish.h"

#include <string.h>

#include "payload/bytes.h"

namespace {

const uint32_t kPiWords[18 + 4 * 256] = {
#include "payload/blowfish_pi.inc"
};

static_assert(sizeof(BlowfishContext) == sizeof(kPiWords), "P-array and S-boxes");

inline uint32_t F(const BlowfishContext* ctx, uint32_t x)
{
    return ((ctx->S[0][x >> 24] + ctx->S[1][(x >> 16) & 0xFF]) ^ ctx->S[2][(x >> 8) & 0xFF])
           + ctx->S[3][x & 0xFF];
}

}  // namespace

void BlowfishEncryptWords(const BlowfishContext* ctx, uint32_t* left, uint32_t* right)
{
    uint32_t l = *left, r = *right;
    for (int i = 0; i < 16; ++i) {
        l ^= ctx->P[i];
        r ^= F(ctx, l);
        uint32_t t = l; l = r; r = t;
    }
    uint32_t t = l; l = r; r = t;  // undo the last swap
    r ^= ctx->P[16];
    l ^= ctx->P[17];
    *left = l;
    *right = r;
}

void BlowfishDecryptWords(const BlowfishContext* ctx, uint32_t* left, uint32_t* right)
{
    uint32_t l = *left, r = *right;
    for (int i = 17; i > 1; --i) {
        l ^= ctx->P[i];
        r ^= F(ctx, l);
        uint32_t t = l; l = r; r = t;
    }
    uint32_t t = l; l = r; r = t;
    r ^= ctx->P[1];
    l ^= ctx->P[0];
    *left = l;
    *right = r;
}

int BlowfishSetKey(BlowfishContext* ctx, const uint8_t* key, uint32_t cbKey)
{
    if (key == nullptr || cbKey == 0)
        return 0;
    memcpy(ctx, kPiWords, sizeof(kPiWords));
    uint32_t j = 0;
    for (int i = 0; i < 18; ++i) {
        uint32_t word = 0;
        for (int k = 0; k < 4; ++k) {
            word = (word << 8) | key[j];
            j = (j + 1) % cbKey;
        }
        ctx->P[i] ^= word;
    }
    // 9 + 512 encryptions, each output pair replacing the next two words of
    // the P-array and then of the S-boxes.
    uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        BlowfishEncryptWords(ctx, &l, &r);
        ctx->P[i] = l;
        ctx->P[i + 1] = r;
    }
    for (int box = 0; box < 4; ++box) {
        for (int i = 0; i < 256; i += 2) {
            BlowfishEncryptWords(ctx, &l, &r);
            ctx->S[box][i] = l;
            ctx->S[box][i + 1] = r;
        }
    }
    return 1;
}

void BlowfishEncryptBlock(const BlowfishContext* ctx, uint8_t* block)
{
    uint32_t l = ReadLe32(block), r = ReadLe32(block + 4);
    BlowfishEncryptWords(ctx, &l, &r);
    WriteLe32(block, l);
    WriteLe32(block + 4, r);
}

void BlowfishDecryptBlock(const BlowfishContext* ctx, uint8_t* block)
{
    uint32_t l = ReadLe32(block), r = ReadLe32(block + 4);
    BlowfishDecryptWords(ctx, &l, &r);
    WriteLe32(block, l);
    WriteLe32(block + 4, r);
}
