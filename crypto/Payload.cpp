#include "crypto/Payload.h"

#include "crypto/Gost.h"

#include <algorithm>
#include <vector>

namespace Vandrel {
namespace {

constexpr size_t BlockSize = 8;

std::span<const uint8_t> AsBytes(std::string_view s)
{
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// The bytes in ECB blocks under the password's key, the last block filled up
// with zeros: 8 bytes out per started block, whatever the input length, so
// truncated or foreign ciphertext deciphers to garbage, never out of bounds.
std::vector<uint8_t> CipherBlocks(std::span<const uint8_t> bytes, const std::string& password, bool encrypting)
{
    TGOSTData data;
    TGost::GOSTBurn(data);
    std::string key = password;
    TGost::CheckKey(key);
    TGost::GOSTInit(data, AsBytes(key).data(), IV.data(), key.size());

    std::vector<uint8_t> result((bytes.size() + BlockSize - 1) / BlockSize * BlockSize, 0);
    std::copy(bytes.begin(), bytes.end(), result.begin());
    const auto cipher = encrypting ? TGost::GOSTEncryptECB : TGost::GOSTDecryptECB;
    for (size_t i = 0; i < result.size(); i += BlockSize)
        cipher(data, &result[i], &result[i]);

    TGost::GOSTBurn(data);
    return result;
}

void Refill(TMemoryStream& stream, std::span<const uint8_t> head, const std::vector<uint8_t>& body)
{
    stream.Clear();
    stream.Write(head.data(), head.size());
    stream.Write(body.data(), body.size());
}

} // namespace

void TGost::CheckKey(std::string& key)
{
    key.resize(MaxPasswordLength, '\0');
}

void TGost::Encrypt(std::string& data, const std::string& password)
{
    const auto result = CipherBlocks(AsBytes(data), password, true);
    data.assign(result.begin(), result.end());
}

void TGost::Decrypt(std::string& data, const std::string& password)
{
    const auto result = CipherBlocks(AsBytes(data), password, false);
    data.assign(result.begin(), result.end());
}

void TGost::EncryptStream(TMemoryStream& stream, const std::string& password)
{
    Refill(stream, {}, CipherBlocks(stream.Bytes(), password, true));
}

void TGost::DecryptStream(TMemoryStream& stream, const std::string& password)
{
    Refill(stream, {}, CipherBlocks(stream.Bytes(), password, false));
}

bool HasEncryptMarker(std::span<const uint8_t> bytes)
{
    const auto marker = AsBytes(EncryptMarker);
    return bytes.size() >= marker.size() && std::equal(marker.begin(), marker.end(), bytes.begin());
}

void EncryptPayload(TMemoryStream& stream, const std::string& password)
{
    Refill(stream, AsBytes(EncryptMarker), CipherBlocks(stream.Bytes(), password, true));
}

bool DecryptPayload(TMemoryStream& stream, const std::string& password)
{
    if (!HasEncryptMarker(stream.Bytes()))
        return false;
    const auto ciphertext = std::span(stream.Bytes()).subspan(EncryptMarker.size());
    Refill(stream, {}, CipherBlocks(ciphertext, password, false));
    return true;
}

bool CanSetIsEncrypt(bool isEncrypt, bool byteMode, const TMessageFn& message)
{
    return !isEncrypt || byteMode || Refuse(message, "PLEASE SET CODEMODE AS bMode");
}

bool CanSetCodeMode(bool byteMode, bool isEncrypt, const TMessageFn& message)
{
    return !isEncrypt || byteMode || Refuse(message, "if bEncrypt is True, DON'T SELECTED cMode,tMode OR nMode!");
}

bool CanSetPassword(const std::string& password, const TMessageFn& message)
{
    return password.size() <= MaxPasswordLength || Refuse(message, "Length of Password <= 32!");
}

} // namespace Vandrel
