// Blowfish: the 64-bit block cipher of the payload, 16 rounds.
//
// The payload's block format reads an 8-byte block as two 32-bit words in
// little-endian byte order, L from bytes 0-3 and R from bytes 4-7 (the
// published test vectors use big-endian words). Key bytes are taken as the
// standard key schedule takes them.
#pragma once

#include <stdint.h>

struct BlowfishContext {
    uint32_t P[18];
    uint32_t S[4][256];
};

// Runs the key schedule over cbKey bytes (only the first 72 matter).
// Returns 0 for an empty key.
int BlowfishSetKey(BlowfishContext* ctx, const uint8_t* key, uint32_t cbKey);

void BlowfishEncryptWords(const BlowfishContext* ctx, uint32_t* left, uint32_t* right);
void BlowfishDecryptWords(const BlowfishContext* ctx, uint32_t* left, uint32_t* right);

// One 8-byte block in place, in the payload's little-endian word format.
void BlowfishEncryptBlock(const BlowfishContext* ctx, uint8_t* block);
void BlowfishDecryptBlock(const BlowfishContext* ctx, uint8_t* block);
