#pragma once
// The password-protected PDF417 payload: EncryptMarker followed by the value
// enciphered with GOST 28147-89 in ECB mode (TGost::EncryptStream), 8 bytes per
// block, the last block filled up with zero bytes. The format is printed in
// symbols and must stay bit-exact. It has no length field, so a deciphered
// value comes back followed by 0-7 zero bytes, and it has no check value, so a
// wrong password is not detected: it deciphers to other bytes of the same length.
#include "core/Export.h"
#include "core/MemoryStream.h"
#include "core/Message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace Vandrel {

// Loaded into the cipher record by the password operations; ECB never reads it.
inline constexpr std::array<uint8_t, 8> IV = {0x5a, 0x3c, 0x96, 0x0f, 0xe1, 0x78, 0x2d, 0xb4};
inline constexpr std::string_view EncryptMarker = "@^G^@";
inline constexpr size_t MaxPasswordLength = 32;

VANDREL_ENGINES_EXPORT bool HasEncryptMarker(std::span<const uint8_t> bytes);

// Replaces the stream's contents by the marker and the enciphered contents,
// leaving the position at the end: the bytes byte compaction receives.
VANDREL_ENGINES_EXPORT void EncryptPayload(TMemoryStream& stream, const std::string& password);

// A stream that starts with the marker gets the deciphered rest as its
// contents (position at the end) and the result is true; any other stream is
// left as it is and the result is false.
VANDREL_ENGINES_EXPORT bool DecryptPayload(TMemoryStream& stream, const std::string& password);

// Property rules of the PDF417 controls that keep a protected payload in byte
// compaction and the password within the key. Each returns whether the new
// value may be stored; a refusal is reported through `message`.
VANDREL_ENGINES_EXPORT bool CanSetIsEncrypt(bool isEncrypt, bool byteMode, const TMessageFn& message);
VANDREL_ENGINES_EXPORT bool CanSetCodeMode(bool byteMode, bool isEncrypt, const TMessageFn& message);
VANDREL_ENGINES_EXPORT bool CanSetPassword(const std::string& password, const TMessageFn& message);

} // namespace Vandrel
