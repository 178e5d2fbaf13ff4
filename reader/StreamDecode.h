#pragma once
// Decoding of the PDF417 reader: the data codewords of a symbol back to the
// bytes the encoder compacted, the protected payload deciphered, and the whole
// read of a picture (ScanPicture) that the TScanBarCode component runs.
//
// The codewords are split at the mode codewords into segments, each decoded
// by its mode: text (sub-modes and shifts of the text table), numeric (groups
// of 15 base-900 digits behind a leading 1, in decimal big-number arithmetic)
// and byte (five codewords for six bytes, one codeword per single byte).
// Codewords that carry no data of this symbol never become bytes: 913 takes
// the next codeword as one byte and returns to the mode it interrupted; the
// Macro PDF417 control block (928 ...) ends the data and is returned apart;
// 912, 922 and 923 carry nothing; a codeword this reader does not know, or a
// segment whose codewords its mode cannot produce, fails the decoding.
#include "core/MemoryStream.h"
#include "core/Message.h"
#include "reader/Recognition.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Vandrel {

// A string list: one decimal byte value per entry in the decoders' output.
using TStrings = std::vector<std::string>;

// Decimal digit strings of any length. Both report "Invalid char in
// Parameter!" and return "" when an operand holds anything but digits.
// HugeAdd keeps the longer operand's leading zeros ("007" + "1" = "008").
std::string HugeAdd(std::string_view a, std::string_view b, const TMessageFn& message = {});
std::string HugeMulti(std::string_view a, std::string_view b, const TMessageFn& message = {});

// The segment decoders in their published form: `segment` holds `count`
// codewords (0-899), each written in decimal and followed by "@"; `decoded`
// is cleared and receives one entry per byte. False, with `decoded` empty,
// when the segment is malformed or its mode cannot have produced it. A text
// segment starts in the Alpha sub-mode; a byte segment needs its latch (901,
// or 924 for a multiple of six bytes).
bool EncodeBC_Txt(std::string_view segment, int32_t count, TStrings& decoded);
bool EncodeBC_Num(std::string_view segment, int32_t count, TStrings& decoded);
bool EncodeBC_Byte(std::string_view segment, int32_t count, int16_t latch, TStrings& decoded);

// True, with the marker removed, when the decoded bytes start with the
// protected payload's marker; otherwise false and the bytes are left alone.
bool IsEncrypt(std::string& decoded);

// The Macro PDF417 control block of a symbol of a linked sequence.
struct TMacroBlock {
    int32_t SegmentIndex = -1;     // 0-99999; -1 when the block is cut short or malformed
    std::vector<int16_t> FileId;   // the same in every symbol of one sequence
    bool Last = false;             // the terminator 922: the sequence's last symbol
};

struct TDecodedData {
    std::string Bytes;
    std::optional<TMacroBlock> Macro;
};

// The bytes of a symbol's data codewords (those after the length
// descriptor); nullopt when they cannot be decoded.
std::optional<TDecodedData> DecodeCodewords(std::span<const int16_t> codewords);

// Asked for the password of a protected payload when none was given; the
// answer may be empty (a cancelled prompt).
using TPasswordFn = std::function<std::string()>;

struct TScanResult {
    TMemoryStream Data;   // the bytes, deciphered when protected; position at the end
    bool Encrypted = false;
    std::optional<TMacroBlock> Macro;
};

// Reads the symbol pictured in `picture` (GetBSStream, CreateCodeWord,
// DecodeCodewords) and deciphers a protected payload with `password`, or,
// when that is empty, with the answer of `askPassword` (an empty password
// without it). A wrong password goes unnoticed: it deciphers to other bytes,
// followed like the right ones by the zero padding of the last cipher block.
// nullopt when no symbol could be read, after any message the reading gave
// through `message`; the component raises "Don't Scan barcode picture" then.
std::optional<TScanResult> ScanPicture(const TPixelView& picture, const std::string& password,
                                       const TPasswordFn& askPassword, const TMessageFn& message);

} // namespace Vandrel
