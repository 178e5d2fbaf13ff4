#include "crypto/Gost.h"

#include "core/Exceptions.h"

#include <array>
#include <cstring>
#include <iterator>

namespace Vandrel {
namespace {

constexpr size_t BlockSize = 8;
constexpr size_t KeySize = 32;

// The S-boxes of the GOST R 34.11-94 test parameter set (RFC 4357,
// id-GostR3411-94-TestParamSet). Box 0 substitutes the lowest nibble of a
// round word, box 7 the highest.
constexpr uint8_t SBox[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3}, {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11}, {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2}, {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12}, {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
};
static_assert(std::size(SBox) == 8 && std::size(SBox[0]) == 16);

constexpr bool EveryBoxIsAPermutation()
{
    for (const auto& box : SBox) {
        unsigned seen = 0;
        for (uint8_t v : box)
            seen |= 1u << v;
        if (seen != 0xFFFF)
            return false;
    }
    return true;
}
static_assert(EveryBoxIsAPermutation());

// Substitution and the rotation by 11 merged into four byte-indexed tables:
// sTable[t][b] holds boxes 2t and 2t+1 applied to b, placed at bits 8t ... 8t+7
// and rotated, so a round costs four lookups.
using TSTable = std::array<std::array<uint32_t, 256>, 4>;

constexpr TSTable MakeSTable()
{
    TSTable table{};
    for (int t = 0; t < 4; ++t)
        for (int b = 0; b < 256; ++b) {
            const uint32_t pair = SBox[2 * t][b & 15] | uint32_t(SBox[2 * t + 1][b >> 4]) << 4;
            table[t][b] = LRot32(pair << (8 * t), 11);
        }
    return table;
}
constexpr TSTable sTable = MakeSTable();
static_assert(sTable.size() == 4 && sTable[0].size() == 256);

constexpr uint32_t F(uint32_t x)
{
    return sTable[3][x >> 24] ^ sTable[2][(x >> 16) & 255] ^ sTable[1][(x >> 8) & 255] ^ sTable[0][x & 255];
}

// Subkey indexes of the 32 rounds. Deciphering runs the enciphering order backwards.
constexpr uint8_t EncryptKeyOrder[32] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7,
                                         0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0};
constexpr uint8_t DecryptKeyOrder[32] = {0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0,
                                         7, 6, 5, 4, 3, 2, 1, 0, 7, 6, 5, 4, 3, 2, 1, 0};
static_assert(std::size(EncryptKeyOrder) == 32 && std::size(DecryptKeyOrder) == 32);

uint32_t LoadLE(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void StoreLE(uint32_t v, uint8_t* p)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

void Rounds(const TGOSTData& data, const uint8_t (&order)[32], const uint8_t* in, uint8_t* out)
{
    uint32_t n1 = LoadLE(in), n2 = LoadLE(in + 4);
    for (size_t r = 0; r < 32; r += 2) {
        n2 ^= F(n1 + data.XKey[order[r]]);
        n1 ^= F(n2 + data.XKey[order[r + 1]]);
    }
    StoreLE(n2, out);
    StoreLE(n1, out + 4);
}

// 8-bit CFB: each byte is masked with the first byte of the enciphered
// register, and the ciphertext byte is shifted into the register's end.
void Cfb(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length, bool encrypting)
{
    uint8_t k[BlockSize];
    for (size_t i = 0; i < length; ++i) {
        TGost::GOSTEncryptECB(data, data.LastChain, k);
        // Read before writing: out may be in.
        const uint8_t source = in[i];
        out[i] = source ^ k[0];
        std::memmove(data.LastChain, data.LastChain + 1, BlockSize - 1);
        data.LastChain[BlockSize - 1] = encrypting ? out[i] : source;
    }
}

} // namespace

void XorBlock(const uint8_t* in1, const uint8_t* in2, uint8_t* out, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        out[i] = in1[i] ^ in2[i];
}

void IncBlock(uint8_t* block, size_t length)
{
    for (size_t i = length; i-- > 0;)
        if (++block[i] != 0)
            return;
}

void TGost::GOSTInit(TGOSTData& data, const uint8_t* key, const uint8_t* iv, size_t keyLength)
{
    if (keyLength != KeySize)
        throw Exception("GOST: Invalid key length");
    if (iv)
        std::memcpy(data.InitBlock, iv, BlockSize);
    else
        std::memset(data.InitBlock, 0, BlockSize);
    std::memcpy(data.LastChain, data.InitBlock, BlockSize);
    for (size_t i = 0; i < std::size(data.XKey); ++i)
        data.XKey[i] = LoadLE(key + 4 * i);
}

void TGost::GOSTBurn(TGOSTData& data)
{
    // Through a volatile pointer so that clearing a record about to go out of
    // scope is not optimised away: the key must not linger in freed stack.
    volatile uint8_t* bytes = reinterpret_cast<volatile uint8_t*>(&data);
    for (size_t i = 0; i < sizeof data; ++i)
        bytes[i] = 0;
}

void TGost::GOSTReset(TGOSTData& data)
{
    std::memcpy(data.LastChain, data.InitBlock, BlockSize);
}

void TGost::GOSTEncryptECB(const TGOSTData& data, const uint8_t* in, uint8_t* out)
{
    Rounds(data, EncryptKeyOrder, in, out);
}

void TGost::GOSTDecryptECB(const TGOSTData& data, const uint8_t* in, uint8_t* out)
{
    Rounds(data, DecryptKeyOrder, in, out);
}

void TGost::GOSTEncryptCBC(TGOSTData& data, const uint8_t* in, uint8_t* out)
{
    uint8_t mixed[BlockSize];
    XorBlock(in, data.LastChain, mixed, BlockSize);
    GOSTEncryptECB(data, mixed, out);
    std::memcpy(data.LastChain, out, BlockSize);
}

void TGost::GOSTDecryptCBC(TGOSTData& data, const uint8_t* in, uint8_t* out)
{
    uint8_t saved[BlockSize], plain[BlockSize];
    std::memcpy(saved, in, BlockSize);
    GOSTDecryptECB(data, in, plain);
    XorBlock(plain, data.LastChain, out, BlockSize);
    std::memcpy(data.LastChain, saved, BlockSize);
}

void TGost::GOSTEncryptCFB(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length)
{
    Cfb(data, in, out, length, true);
}

void TGost::GOSTDecryptCFB(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length)
{
    Cfb(data, in, out, length, false);
}

void TGost::GOSTEncryptOFB(TGOSTData& data, const uint8_t* in, uint8_t* out)
{
    GOSTEncryptECB(data, data.LastChain, data.LastChain);
    XorBlock(in, data.LastChain, out, BlockSize);
}

void TGost::GOSTDecryptOFB(TGOSTData& data, const uint8_t* in, uint8_t* out)
{
    GOSTEncryptOFB(data, in, out);
}

void TGost::GOSTEncryptOFBC(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length)
{
    uint8_t k[BlockSize];
    for (size_t i = 0; i < length; ++i) {
        GOSTEncryptECB(data, data.LastChain, k);
        out[i] = in[i] ^ k[0];
        IncBlock(data.LastChain, BlockSize);
    }
}

void TGost::GOSTDecryptOFBC(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length)
{
    GOSTEncryptOFBC(data, in, out, length);
}

} // namespace Vandrel
