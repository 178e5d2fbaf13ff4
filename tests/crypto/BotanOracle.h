#pragma once
// Botan's GOST 28147-89 with the GOST R 34.11-94 test S-boxes: an independent
// implementation with the same byte order, used for known answers.
#include <botan/block_cipher.h>
#include <botan/cipher_mode.h>
#include <botan/stream_cipher.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace VandrelTest {

using Bytes = std::vector<uint8_t>;

inline const std::string BotanGost = "GOST-28147-89(R3411_94_TestParam)";

inline std::unique_ptr<Botan::BlockCipher> BotanCipher(const Bytes& key)
{
    auto cipher = Botan::BlockCipher::create_or_throw(BotanGost);
    cipher->set_key(key);
    return cipher;
}

// ECB over whole blocks.
inline Bytes BotanEcb(const Bytes& key, Bytes data, bool encrypting)
{
    const auto cipher = BotanCipher(key);
    encrypting ? cipher->encrypt(data) : cipher->decrypt(data);
    return data;
}

// One of Botan's chaining modes ("CBC/NoPadding", "CFB(8)") as one message.
inline Bytes BotanMode(const std::string& mode, const Bytes& key, const Bytes& iv, const Bytes& plain)
{
    auto cipher = Botan::Cipher_Mode::create_or_throw(BotanGost + "/" + mode, Botan::ENCRYPTION);
    cipher->set_key(key);
    cipher->start(iv);
    Botan::secure_vector<uint8_t> buffer(plain.begin(), plain.end());
    cipher->finish(buffer);
    return Bytes(buffer.begin(), buffer.end());
}

inline Bytes BotanOfb(const Bytes& key, const Bytes& iv, const Bytes& plain)
{
    auto cipher = Botan::StreamCipher::create_or_throw("OFB(" + BotanGost + ")");
    cipher->set_key(key);
    cipher->set_iv(iv.data(), iv.size());
    Bytes out(plain.size());
    cipher->cipher(plain.data(), out.data(), plain.size());
    return out;
}

inline Bytes RandomBytes(std::mt19937& rng, size_t n)
{
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes(n);
    for (auto& b : bytes)
        b = uint8_t(byte(rng));
    return bytes;
}

} // namespace VandrelTest
