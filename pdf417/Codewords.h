#pragma once
// What PDF417 codewords mean and how many a symbol holds: the one place the
// encoder, the sizing and the reader take these numbers from.
#include <cstddef>
#include <cstdint>

namespace Vandrel {

// Codewords are residues mod 929, the field the error correction works in,
// whose powers of 3 are the roots of every generator.
inline constexpr int32_t GaloisPrime = 929;
inline constexpr int32_t GaloisRoot = 3;
inline constexpr int16_t MaxCodewordValue = GaloisPrime - 1;

// Data codewords are base-900 digits; from 900 on a codeword is a command.
inline constexpr int16_t CodewordBase = 900;

// Compaction modes. Text is also the mode every symbol starts in.
inline constexpr int16_t TextLatch = 900;
inline constexpr int16_t ByteLatch = 901; // byte count not a multiple of 6
inline constexpr int16_t NumericLatch = 902;
// Ends a segment and carries nothing; the mode goes on.
inline constexpr int16_t SegmentBreak = 912;
// The next codeword is one byte; then the interrupted mode goes on.
inline constexpr int16_t ByteShift = 913;
inline constexpr int16_t ReaderInitialisation = 921;
inline constexpr int16_t ByteLatchSix = 924; // byte count a multiple of 6
// Extended channel interpretations, which this library neither writes nor reads.
inline constexpr int16_t EciUserDefined = 925;
inline constexpr int16_t EciGeneralPurpose = 926;
inline constexpr int16_t EciCharacterSet = 927;

// Macro PDF417: the control block that links the symbols of a sequence opens
// with 928, then the segment index and the file ID; optional fields follow
// behind 923, and 922 marks the last symbol.
inline constexpr int16_t MacroBlockMarker = 928;
inline constexpr int16_t MacroOptionalField = 923;
inline constexpr int16_t MacroTerminator = 922;
inline constexpr int32_t FileIdCodewords = 3;
// The control block's codewords: the marker, two of segment index, the file ID.
inline constexpr int32_t MacroBlockCodewords = 1 + 2 + FileIdCodewords;
// The segment index is numeric-compacted as a 1 and five digits, which also
// bounds a sequence's length.
inline constexpr int32_t SegmentIndexBase = 100000;
inline constexpr size_t MaxSegments = SegmentIndexBase;
// What a symbol of a sequence carries besides its piece of the value and its
// error correction: the length descriptor, the control block and, in the last
// symbol only, the terminator.
inline constexpr int32_t MacroOverhead = 1 + MacroBlockCodewords;
inline constexpr int32_t MacroLastOverhead = MacroOverhead + 1;

// Numeric compaction turns up to 44 digits, behind a leading 1, into up to
// 15 base-900 codewords; byte compaction six bytes into five.
inline constexpr size_t NumericGroupDigits = 44;
inline constexpr size_t NumericGroupCodewords = 15;
inline constexpr size_t ByteGroupBytes = 6;
inline constexpr size_t ByteGroupCodewords = 5;

// The grid of one symbol.
inline constexpr int32_t MinRows = 3;
inline constexpr int32_t MaxRows = 90;
inline constexpr int32_t MaxColumns = 30;
// Codewords one symbol may hold in all, error correction included: the
// Reed-Solomon code over GF(929) is no longer than that.
inline constexpr int32_t MaxSymbolCodewords = 928;
// Error levels 0-8, level L adding 2^(L+1) error-correction codewords.
inline constexpr int32_t MaxErrorLevel = 8;
// A row indicator is 30 · (row div 3) plus what it declares.
inline constexpr int32_t RowIndicatorGroup = 30;

} // namespace Vandrel
