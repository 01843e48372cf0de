#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <zlib.h>

#include "payload/crc32.h"

namespace {

TEST(Crc32, EqualsZlib)
{
    std::vector<std::vector<uint8_t>> inputs = {{}, {0}, {0xFF}, {'1', '2', '3', '4', '5', '6', '7', '8', '9'}};
    std::vector<uint8_t> longer(100000);
    for (size_t i = 0; i < longer.size(); ++i)
        longer[i] = (uint8_t)(i * 2654435761u >> 13);
    inputs.push_back(longer);
    for (const auto& in : inputs) {
        const uint32_t expected = (uint32_t)crc32(0, in.data(), (uInt)in.size());
        EXPECT_EQ(expected, Crc32(in.data(), (uint32_t)in.size())) << "size " << in.size();
    }
    EXPECT_EQ(0xCBF43926u, Crc32((const uint8_t*)"123456789", 9));  // the check value
}

TEST(Crc32, AbsentBufferIsZero)
{
    EXPECT_EQ(0u, Crc32(nullptr, 0));
    EXPECT_EQ(0u, Crc32(nullptr, 16));
}

}  // namespace
