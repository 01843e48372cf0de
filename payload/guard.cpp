#include "payload/guard.h"

#include <stdlib.h>
#include <string.h>

CGuard::CGuard(const GuardParams& params)
    : KeyCopy(nullptr),
      BlockLength(params.BlockLength),
      KeyOffset(params.KeyOffset),
      KeyLength(params.KeyLength),
      Move1Source(params.Move1Source), Move1Target(params.Move1Target), Move1Count(params.Move1Count),
      Move2Source(params.Move2Source), Move2Target(params.Move2Target), Move2Count(params.Move2Count),
      MaskPosition(params.MaskPosition), XorStart(params.XorStart), XorCount(params.XorCount)
{
}

CGuard::~CGuard()
{
    Wipe();
}

int CGuard::Load(const uint8_t* block, uint32_t cb)
{
    Wipe();
    if (block == nullptr || cb == 0 || BlockLength <= 0 || cb != (uint32_t)BlockLength)
        return 0;
    KeyCopy = (uint8_t*)malloc(cb);
    if (KeyCopy == nullptr)
        return 0;
    memcpy(KeyCopy, block, cb);
    MoveBytes(Move1Target, Move1Source, Move1Count);
    MoveBytes(Move2Target, Move2Source, Move2Count);
    XorBytes(XorStart, XorCount, MaskPosition);
    return 1;
}

void CGuard::Wipe()
{
    if (KeyCopy == nullptr)
        return;
    // Through a volatile pointer, so that the stores are not dropped as dead.
    volatile uint8_t* p = KeyCopy;
    for (int32_t i = 0; i < BlockLength; ++i)
        p[i] = 0;
    free(KeyCopy);
    KeyCopy = nullptr;
}

const uint8_t* CGuard::KeySlice(uint32_t* cbKey) const
{
    // A parameter set whose slice leaves the block serves no key.
    if (KeyCopy == nullptr || KeyOffset < 0 || KeyLength <= 0
        || (int64_t)KeyOffset + KeyLength > BlockLength)
        return nullptr;
    *cbKey = (uint32_t)KeyLength;
    return KeyCopy + KeyOffset;
}

void CGuard::MoveBytes(int32_t target, int32_t source, int32_t count)
{
    const int64_t n = BlockLength;
    if (KeyCopy == nullptr || target < 0 || target >= n || source < 0 || source >= n)
        return;
    int64_t cb = count;
    if (target < source) {
        if (source + cb > n)
            cb = n - source;
        for (int64_t i = 0; i < cb; ++i)
            KeyCopy[target + i] = KeyCopy[source + i];
    } else {
        // Backward, so that an overlapping move acts like a memory move.
        if (target + cb > n)
            cb = n - target;
        for (int64_t i = cb - 1; i >= 0; --i)
            KeyCopy[target + i] = KeyCopy[source + i];
    }
}

void CGuard::XorBytes(int32_t start, int32_t count, int32_t maskPosition)
{
    const int64_t n = BlockLength;
    if (KeyCopy == nullptr || start < 0 || start >= n || maskPosition < 0 || maskPosition >= n)
        return;
    const uint8_t mask = KeyCopy[maskPosition];  // read once: it may lie in the range
    int64_t cb = count;
    if (start + cb > n)
        cb = n - start;
    for (int64_t i = 0; i < cb; ++i)
        KeyCopy[start + i] ^= mask;
}
