#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "payload/blowfish.h"

namespace {

std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back((uint8_t)std::stoul(hex.substr(i, 2), nullptr, 16));
    return out;
}

// The published vectors write a block as two big-endian words; the payload
// reads its words little-endian. Reversing the bytes of each 4-byte half
// turns one format into the other, so a vector's plaintext and ciphertext
// are converted this way before and after the payload's block functions.
void SwapHalves(uint8_t* block)
{
    for (int half = 0; half < 8; half += 4) {
        std::swap(block[half], block[half + 3]);
        std::swap(block[half + 1], block[half + 2]);
    }
}

struct Vector {
    const char* key;  // hex, or a text key when it starts with '"'
    const char* plain;
    const char* cipher;
};

// Eric Young's vectors (ECB and variable key length) and Schneier's text key.
const Vector kVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
    {"F0E1", "FEDCBA9876543210", "E91D21C1D961A6D6"},
    {"F0E1D2C3B4A59687", "FEDCBA9876543210", "E87A244E2CC85E82"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210", "05044B62FA52D080"},
    {"\"abcdefghijklmnopqrstuvwxyz", "424C4F5746495348", "324ED0FEF413A203"},
};

std::vector<uint8_t> KeyBytes(const char* key)
{
    if (key[0] == '"')
        return std::vector<uint8_t>(key + 1, key + strlen(key));
    return FromHex(key);
}

TEST(Blowfish, PublishedVectorsInTheLittleEndianBlockFormat)
{
    for (const Vector& v : kVectors) {
        SCOPED_TRACE(v.key);
        const std::vector<uint8_t> key = KeyBytes(v.key);
        BlowfishContext ctx;
        ASSERT_TRUE(BlowfishSetKey(&ctx, key.data(), (uint32_t)key.size()));

        std::vector<uint8_t> block = FromHex(v.plain);
        SwapHalves(block.data());
        BlowfishEncryptBlock(&ctx, block.data());
        SwapHalves(block.data());
        EXPECT_EQ(block, FromHex(v.cipher));

        SwapHalves(block.data());
        BlowfishDecryptBlock(&ctx, block.data());
        SwapHalves(block.data());
        EXPECT_EQ(block, FromHex(v.plain));
    }
}

TEST(Blowfish, BlockWordsAreLittleEndian)
{
    const std::vector<uint8_t> key = FromHex("0123456789ABCDEF");
    BlowfishContext ctx;
    ASSERT_TRUE(BlowfishSetKey(&ctx, key.data(), (uint32_t)key.size()));
    uint32_t l = 0x04030201, r = 0x08070605;
    BlowfishEncryptWords(&ctx, &l, &r);
    uint8_t block[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    BlowfishEncryptBlock(&ctx, block);
    const uint8_t expected[8] = {(uint8_t)l, (uint8_t)(l >> 8), (uint8_t)(l >> 16), (uint8_t)(l >> 24),
                                 (uint8_t)r, (uint8_t)(r >> 8), (uint8_t)(r >> 16), (uint8_t)(r >> 24)};
    EXPECT_EQ(0, memcmp(block, expected, 8));
}

TEST(Blowfish, OnlyTheFirst72KeyBytesCount)
{
    std::vector<uint8_t> key(495);
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = (uint8_t)(i * 37 + 11);
    std::vector<uint8_t> changedTail = key;
    changedTail[72] ^= 0xFF;
    changedTail[494] ^= 0xFF;
    std::vector<uint8_t> changedHead = key;
    changedHead[71] ^= 0x01;

    BlowfishContext a, b, c;
    ASSERT_TRUE(BlowfishSetKey(&a, key.data(), (uint32_t)key.size()));
    ASSERT_TRUE(BlowfishSetKey(&b, changedTail.data(), (uint32_t)changedTail.size()));
    ASSERT_TRUE(BlowfishSetKey(&c, changedHead.data(), (uint32_t)changedHead.size()));
    EXPECT_EQ(0, memcmp(&a, &b, sizeof(a)));
    EXPECT_NE(0, memcmp(&a, &c, sizeof(a)));
}

TEST(Blowfish, EmptyKeyIsRefused)
{
    BlowfishContext ctx;
    const uint8_t key[1] = {0};
    EXPECT_FALSE(BlowfishSetKey(&ctx, key, 0));
    EXPECT_FALSE(BlowfishSetKey(&ctx, nullptr, 8));
}

}  // namespace
