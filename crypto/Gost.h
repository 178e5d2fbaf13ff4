#pragma once
// GOST 28147-89: the 64-bit block cipher with a 256-bit key and its block
// modes (ECB, CBC, 8-bit CFB, OFB and the counter-driven byte-wise OFBC), plus
// the password-based string and stream operations that protected PDF417
// payloads use (defined with the payload format in crypto/Payload.cpp).
//
// All key material lives in a caller-owned TGOSTData, so every operation is a
// static member: callers never need a TGost object. Block buffers are raw
// pointers to 8 bytes; input and output may be the same buffer in every mode.
#include "core/Export.h"
#include "core/MemoryStream.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Vandrel {

struct TGOSTData {
    uint8_t InitBlock[8]; // the IV given to GOSTInit, zeros when none
    uint8_t LastChain[8]; // feedback register of CBC, CFB, OFB and OFBC
    uint32_t XKey[8];     // word i = key bytes 4i ... 4i+3, little-endian
};
static_assert(sizeof(TGOSTData) == 48);

constexpr uint16_t LRot16(uint16_t x, int n)
{
    return std::rotl(x, n);
}
constexpr uint16_t RRot16(uint16_t x, int n)
{
    return std::rotr(x, n);
}
constexpr uint32_t LRot32(uint32_t x, int n)
{
    return std::rotl(x, n);
}
constexpr uint32_t RRot32(uint32_t x, int n)
{
    return std::rotr(x, n);
}

// out[i] = in1[i] xor in2[i]; any of the buffers may coincide.
VANDREL_ENGINES_EXPORT void XorBlock(const uint8_t* in1, const uint8_t* in2, uint8_t* out, size_t length);
// Adds one to the block read as a big-endian number, wrapping at the top.
VANDREL_ENGINES_EXPORT void IncBlock(uint8_t* block, size_t length);

class VANDREL_ENGINES_EXPORT TGost {
public:
    // Throws Exception("GOST: Invalid key length") unless keyLength is 32, and
    // then leaves the record as it was. `iv` may be null (zeros).
    static void GOSTInit(TGOSTData& data, const uint8_t* key, const uint8_t* iv, size_t keyLength);
    // Zeroes all key material and chaining state.
    static void GOSTBurn(TGOSTData& data);
    // Restarts the chaining modes: LastChain = InitBlock.
    static void GOSTReset(TGOSTData& data);

    static void GOSTEncryptECB(const TGOSTData& data, const uint8_t* in, uint8_t* out);
    static void GOSTDecryptECB(const TGOSTData& data, const uint8_t* in, uint8_t* out);
    static void GOSTEncryptCBC(TGOSTData& data, const uint8_t* in, uint8_t* out);
    static void GOSTDecryptCBC(TGOSTData& data, const uint8_t* in, uint8_t* out);
    static void GOSTEncryptCFB(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length);
    static void GOSTDecryptCFB(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length);
    static void GOSTEncryptOFB(TGOSTData& data, const uint8_t* in, uint8_t* out);
    static void GOSTDecryptOFB(TGOSTData& data, const uint8_t* in, uint8_t* out);
    static void GOSTEncryptOFBC(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length);
    static void GOSTDecryptOFBC(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length);

    // The password as a 32-byte key: its first 32 bytes, filled up with zeros.
    static void CheckKey(std::string& key);
    // ECB over 8-byte blocks, the last one filled up with zeros; the result
    // (8 bytes per started block) replaces the data. Deciphering keeps that
    // padding: there is no length field to remove it by.
    static void Encrypt(std::string& data, const std::string& password);
    static void Decrypt(std::string& data, const std::string& password);
    // The same over the stream's whole contents; the position ends after them.
    static void EncryptStream(TMemoryStream& stream, const std::string& password);
    static void DecryptStream(TMemoryStream& stream, const std::string& password);
};

} // namespace Vandrel
