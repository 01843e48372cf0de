// CGuard: holds the key material that opens the payload.
#pragma once

#include <stdint.h>

class CGuard {
public:
    CGuard();
    ~CGuard();
    // (Load, MoveBytes, XorBytes, Wipe, KeySlice: see payload/guard.cpp)
};
