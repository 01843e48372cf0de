// CGuard: holds the key material that opens the payload.
//
// The image carries the key as a scrambled 968-byte KeyBlock. Load takes a
// private copy and rearranges it with two block moves and one XOR pass; the
// key is then a fixed slice of the copy. Wipe zeroes and frees the copy.
// Where the pieces lie is part of the key material: the parameters are
// generated with the block by the payload packer (see GuardParams).
#pragma once

#include <stdint.h>

// The parameters of one KeyBlock arrangement. All offsets lie in the block.
struct GuardParams {
    int32_t BlockLength;
    int32_t KeyOffset;
    int32_t KeyLength;
    int32_t Move1Source, Move1Target, Move1Count;
    int32_t Move2Source, Move2Target, Move2Count;
    int32_t MaskPosition, XorStart, XorCount;
};

class CGuard {
public:
    // Construction: the installer's guard takes the parameters of the
    // embedded KeyBlock (defined with the embedded payload); build tools and
    // tests pass their own.
    CGuard();
    explicit CGuard(const GuardParams& params);
    virtual ~CGuard();

    // Operations
    // Wipes any copy held, then copies and rearranges cb bytes at block;
    // 0 (and no copy) for a null block or a length other than BlockLength.
    int Load(const uint8_t* block, uint32_t cb);
    // Zeroes and frees the copy; nothing when none is held.
    void Wipe();
    // The key slice of the copy and its length; null when no copy is held.
    const uint8_t* KeySlice(uint32_t* cbKey) const;
    int IsLoaded() const { return KeyCopy != nullptr; }

    // Opens one payload blob of cb stored bytes into a new buffer (free it
    // with free()). On success cb becomes the raw size and *extra (when not
    // null) the header's extra value; on failure null, cb and *extra unchanged.
    uint8_t* UnpackBlob(const uint8_t* blob, uint32_t& cb, uint32_t* extra) const;

    // The rearranging steps of Load, on the copy held (no effect without one).
    // Out-of-range positions make a step do nothing; counts are clipped to
    // the block.
    void MoveBytes(int32_t target, int32_t source, int32_t count);
    void XorBytes(int32_t start, int32_t count, int32_t maskPosition);

    // Fields
    uint8_t* KeyCopy;
    int32_t BlockLength;
    int32_t KeyOffset;
    int32_t KeyLength;
    int32_t Move1Source, Move1Target, Move1Count;
    int32_t Move2Source, Move2Target, Move2Count;
    int32_t MaskPosition, XorStart, XorCount;

private:
    CGuard(const CGuard&) = delete;
    CGuard& operator=(const CGuard&) = delete;
};

// Size of the KeyBlock and of the key slice in this product.
const int32_t kKeyBlockLength = 968;
const int32_t kKeySliceLength = 495;
