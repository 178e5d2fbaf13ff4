#pragma once
// Decoding of the PDF417 reader: the data codewords of a symbol back to the
// bytes the encoder compacted, the symbols of a Macro PDF417 sequence joined,
// the protected payload deciphered, and the whole read of a picture
// (ScanPictureAll, ScanPicture) that the TScanBarCode component runs.
//
// The codewords are split at the mode codewords into segments, each decoded
// by its mode: text (sub-modes and shifts of the text table), numeric (groups
// of 15 base-900 digits behind a leading 1, worked in binary limbs)
// and byte (five codewords for six bytes, one codeword per single byte).
// Codewords that carry no data of this symbol never become bytes: 913 takes
// the next codeword as one byte and returns to the mode it interrupted; the
// Macro PDF417 control block (928 ...) ends the data and is returned apart;
// 912, 922 and 923 carry nothing; a codeword this reader does not know, or a
// segment whose codewords its mode cannot produce, fails the decoding.
#include "core/Export.h"
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
// Parameter!" through `message` and return "" when an operand holds anything
// but digits. There is deliberately no default: the engine shows nothing by
// itself, so every caller says where the report goes (TScanBarCode's HugeAdd
// and HugeMulti pass ShowMessage). HugeAdd keeps the longer operand's leading
// zeros ("007" + "1" = "008").
VANDREL_ENGINES_EXPORT std::string HugeAdd(std::string_view a, std::string_view b, const TMessageFn& message);
VANDREL_ENGINES_EXPORT std::string HugeMulti(std::string_view a, std::string_view b, const TMessageFn& message);

// The segment decoders in their published form: `segment` holds `count`
// codewords (0-899), each written in decimal and followed by "@"; `decoded`
// is cleared and receives one entry per byte. False, with `decoded` empty,
// when the segment is malformed or its mode cannot have produced it. A text
// segment starts in the Alpha sub-mode; a byte segment needs its latch (901,
// or 924 for a multiple of six bytes).
VANDREL_ENGINES_EXPORT bool EncodeBC_Txt(std::string_view segment, int32_t count, TStrings& decoded);
VANDREL_ENGINES_EXPORT bool EncodeBC_Num(std::string_view segment, int32_t count, TStrings& decoded);
VANDREL_ENGINES_EXPORT bool EncodeBC_Byte(std::string_view segment, int32_t count, int16_t latch, TStrings& decoded);

// True, with the marker removed, when the decoded bytes start with the
// protected payload's marker; otherwise false and the bytes are left alone.
VANDREL_ENGINES_EXPORT bool IsEncrypt(std::string& decoded);

// The Macro PDF417 control block of a symbol of a linked sequence.
struct TMacroBlock {
    int32_t SegmentIndex = -1;   // 0-99999; -1 when the block is cut short or malformed
    std::vector<int16_t> FileId; // the same in every symbol of one sequence
    bool Last = false;           // the terminator 922: the sequence's last symbol
};

struct TDecodedData {
    std::string Bytes;
    std::optional<TMacroBlock> Macro;
};

// The bytes of a symbol's data codewords (those after the length
// descriptor); nullopt when they cannot be decoded.
VANDREL_ENGINES_EXPORT std::optional<TDecodedData> DecodeCodewords(std::span<const int16_t> codewords);

// Asked for the password of a protected payload when none was given; the
// answer may be empty (a cancelled prompt).
using TPasswordFn = std::function<std::string()>;

// One symbol of a picture decoded, or a whole Macro PDF417 sequence joined:
// the bytes as the symbols hold them (a protected payload still enciphered).
struct TSymbolData {
    std::string Bytes;
    // A symbol's control block; for a joined sequence that of its last
    // segment (the one marked last).
    std::optional<TMacroBlock> Macro;
    // The segment indexes whose bytes were joined, in order; empty for a
    // symbol without a control block, one index for a symbol alone.
    std::vector<int32_t> Segments;
    // The picture position of the (first) symbol.
    int32_t Left = 0;
    int32_t Top = 0;
    // Codewords the error correction restored: misread or not read at all;
    // for a joined sequence, in all its symbols.
    int32_t Corrected = 0;
};

// Every symbol found in the picture, row by row (GetCode) or located by its
// start and stop patterns, in picture order, decoded.
struct TPictureSymbols {
    std::vector<TSymbolData> Symbols;
    // Symbols found but not read: their rows disagree with their row
    // indicators, or more of their codewords are misread or missing than the
    // error correction restores.
    int32_t Unreadable = 0;
};
VANDREL_ENGINES_EXPORT TPictureSymbols ReadSymbols(const TPixelView& picture, const TMessageFn& message);

// The texts a read of a picture fails with.
inline constexpr std::string_view NoSymbolRead = "Don't Scan barcode picture";

struct TJoinedSymbols {
    std::vector<TSymbolData> Results;
    std::string Error; // empty when every sequence is whole
};

// Joins the symbols of every Macro PDF417 sequence (one file ID) in segment
// order into one result, placed where the sequence's first symbol stands;
// symbols without a control block stay results of their own. A sequence is
// whole when its segment indexes run from 0 without a gap to the one marked
// last. Otherwise Error names what is missing, counting segments from 0 as
// the symbols store them: "Macro PDF417 sequence incomplete: segments 2, 3
// missing", "... segments after 4 missing" when no symbol is marked last,
// "... segment 2 and those after 4 missing" for both; one segment read twice
// with other bytes, an index behind the last one, or an unreadable control
// block also fail. A symbol read twice with the same bytes counts once.
VANDREL_ENGINES_EXPORT TJoinedSymbols JoinSequences(std::vector<TSymbolData> symbols);

struct TScanResult {
    TMemoryStream Data; // the bytes, deciphered when protected; position at the end
    bool Encrypted = false;
    std::optional<TMacroBlock> Macro; // as TSymbolData's
    std::vector<int32_t> Segments;    // as TSymbolData's
    int32_t Corrected = 0;            // as TSymbolData's
};

// Whether the symbols of a sequence are joined into one result or each
// symbol is a result of its own.
enum class TScanJoin { Sequences, Each };

struct TPictureScan {
    std::vector<TScanResult> Results; // in picture order
    // Why the read fails: NoSymbolRead when no symbol was read; "1 of 3
    // symbols in the picture could not be read"; JoinSequences' texts. When
    // joining, a failed read has no results; each symbol alone keeps those
    // that were read.
    std::string Error;
};

// Reads every symbol pictured in `picture` (GetBSStream, CreateCodeWord,
// DecodeCodewords for each), joins sequences unless asked for each symbol,
// and deciphers every protected payload with `password`, or, when that is
// empty, with the answer of `askPassword` (asked once; an empty password
// without it). A wrong password goes unnoticed: it deciphers to other bytes,
// followed like the right ones by the zero padding of the last cipher block.
// Each symbol alone is deciphered only when it holds a whole payload (no
// control block, or segment 0 marked last): a piece of a protected sequence
// is returned as the symbol holds it. Messages of the reading itself ("No
// any Information!", an unknown codeword) go to `message`; Error does not.
VANDREL_ENGINES_EXPORT TPictureScan ScanPictureAll(const TPixelView& picture, const std::string& password,
                                                   const TPasswordFn& askPassword, const TMessageFn& message,
                                                   TScanJoin join = TScanJoin::Sequences);

// The first result of ScanPictureAll, sequences joined: for a picture of one
// symbol or one sequence, the whole of it. nullopt when the read fails,
// after reporting its Error, unless that is NoSymbolRead, through `message`;
// the component raises "Don't Scan barcode picture" then.
VANDREL_ENGINES_EXPORT std::optional<TScanResult> ScanPicture(const TPixelView& picture, const std::string& password,
                                                              const TPasswordFn& askPassword,
                                                              const TMessageFn& message);

} // namespace Vandrel
