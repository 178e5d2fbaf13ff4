#pragma once
// The PDF417 encoder: a control's value, the properties that shape its
// codewords, and the pipeline that turns the value into the codeword list of
// one symbol or of a Macro PDF417 sequence. The PDF417 control owns one,
// forwards its encoding properties to the setters here and draws the list;
// servers and the command-line tool use it alone.
//
// Setters follow the controls' rules: a refused value is reported through
// the message function and the old one kept (only Aspect raises instead).
// Their result says whether the owner has something to do: re-encode for
// the properties that shape the codewords, repaint for DataColumn and DataRow.
#include "core/Enums.h"
#include "core/Export.h"
#include "core/MemoryStream.h"
#include "core/Message.h"
#include "pdf417/BarData.h"
#include "pdf417/ErrorCorrection.h"
#include "pdf417/Sizing.h"
#include "pdf417/Symbol.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Vandrel {

class VANDREL_ENGINES_EXPORT TPdf417Encoder {
public:
    // The time of day as a fraction of the day, and a pseudo-random integer in
    // 0 ... range-1: what a sequence's file ID is made of. Replaceable so that
    // a sequence can be reproduced.
    using TTimeOfDayFn = std::function<double()>;
    using TRandomFn = std::function<int32_t(int32_t range)>;

    explicit TPdf417Encoder(TMessageFn message = {});
    TPdf417Encoder(const TPdf417Encoder&) = delete;
    TPdf417Encoder& operator=(const TPdf417Encoder&) = delete;

    void SetMessage(TMessageFn message) { FMessage = std::move(message); }
    // Defaults, also for an empty function: the local clock and a generator
    // seeded once per thread, on its first draw.
    void SetFileIdSources(TTimeOfDayFn timeOfDay, TRandomFn random);

    // The value. A new encoder holds BarValue "PDF417" but an empty
    // DataStream: it encodes nothing until a value is set.
    const std::string& BarValue() const { return FBarValue; }
    void SetBarValue(std::string value);
    TMemoryStream& DataStream() const { return *FDataStream; }
    // Reads `stream`, which the caller keeps alive, from now on; nullptr goes
    // back to the encoder's own stream. The codeword list is freed.
    void SetDataStream(TMemoryStream* stream);
    // DataStream as the last encoding compacted it, enciphered if asked.
    const TMemoryStream& WorkStream() const { return FWorkStream; }
    // These change DataStream only; the owner re-encodes.
    void AppendStream(const TMemoryStream& stream);
    void AppendString(std::string_view s);
    // Frees the codeword list and empties DataStream.
    void ClearData();

    TCodeMode CodeMode() const { return FCodeMode; }
    bool SetCodeMode(TCodeMode mode);
    TErrorLevel ErrorLevel() const { return FErrorCorrection.ErrorLevel(); }
    // True whenever the level is accepted: the same level re-encodes too.
    bool SetErrorLevel(int32_t level);
    TPDFType PDFType() const { return FPDFType; }
    bool SetPDFType(TPDFType type);
    // Start and stop patterns with both row indicators: Normal and MicroPDF417.
    bool FullRows() const { return FFullRows; }
    bool IsEncrypt() const { return FIsEncrypt; }
    bool SetIsEncrypt(bool isEncrypt);
    const std::string& Password() const { return FPassword; }
    bool SetPassword(std::string password);
    // 0 = automatic; they shape the symbol from the next encoding on.
    uint8_t DataColumn() const { return FDataColumn; }
    bool SetDataColumn(uint8_t columns);
    uint8_t DataRow() const { return FDataRow; }
    bool SetDataRow(uint8_t rows);
    // Row height over module width. Below 3.0 raises "Aspect >= 3.00";
    // otherwise RowHeight becomes round(BarX × Aspect).
    float Aspect() const { return FAspect; }
    void SetAspect(float aspect);
    // Module width in pixels; RowHeight keeps its value until Aspect is set.
    int32_t BarX() const { return FBarX; }
    bool SetBarX(int32_t barX);
    int32_t RowHeight() const { return FRowHeight; }

    // The drawing area the symbol is sized for, and its quarter turn: at 90
    // and 270 degrees the area's height is the symbol's width.
    int32_t AreaWidth() const { return FAreaWidth; }
    int32_t AreaHeight() const { return FAreaHeight; }
    void SetArea(int32_t width, int32_t height) { FAreaWidth = width, FAreaHeight = height; }
    TAngleType Angle() const { return FAngle; }
    void SetAngle(TAngleType angle) { FAngle = angle; }

    // The result: every symbol's rows·columns codewords one after the other,
    // descriptor first and error correction last in each.
    const TPdf417Codewords& Codewords() const { return FCodewords; }
    int32_t CodeWordCount() const { return FCodewords.CodeWordCount(); }
    const TPdf417ErrorCorrection& ErrorCorrection() const { return FErrorCorrection; }
    int32_t SymbolCount() const { return static_cast<int32_t>(FSymbolSizes.size()); }
    const std::vector<TSymbolSize>& SymbolSizes() const { return FSymbolSizes; }
    // The first codeword of symbol `index` (0-based) in Codewords(), or
    // nullptr: one symbol of a long sequence is found without a walk along
    // all those before it.
    const TBarData* SymbolStart(int32_t index) const;
    // The symbols of the last encoding as rows of element runs, one for each
    // of SymbolSizes(): built with the codewords, so that drawing only turns
    // runs into pixels.
    const std::vector<TPdf417Symbol>& Symbols() const { return FSymbols; }

    // Encodes DataStream afresh. False, with an empty list, when there is
    // nothing to encode or a message reported why not; a sizing failure
    // raises Exception("recalcu is error!") and also leaves the list empty.
    bool StreamToBarData();
    // Sizes the symbol, or cuts the sequence, for the value compacted in the
    // list and WorkStream; part of StreamToBarData.
    bool ReCalcuXR();

private:
    bool IsMicro() const { return FPDFType == MicroPDF417 || FPDFType == TruncatedMicroPDF417; }
    int32_t ECCount() const { return FErrorCorrection.ECCount(); }
    TSizingArea SizingArea() const;
    std::string_view WorkBytes() const;
    bool Compact(TPdf417Codewords& list, std::string_view bytes, const TMessageFn& message) const;
    bool BuildSymbol();
    bool BuildSequence();
    void CompleteSymbol(TPdf417Codewords& symbol, TSymbolSize size, std::span<const int16_t> trailer);
    std::array<int16_t, FileIdCodewords> FileId() const;
    void ClearCodewords();

    TMessageFn FMessage;
    TTimeOfDayFn FTimeOfDay;
    TRandomFn FRandom;

    std::string FBarValue = "PDF417";
    TMemoryStream FOwnDataStream;
    TMemoryStream* FDataStream = &FOwnDataStream;
    TMemoryStream FWorkStream;

    TCodeMode FCodeMode = tMode;
    TPdf417ErrorCorrection FErrorCorrection{Level1};
    TPDFType FPDFType = Normal;
    bool FFullRows = true;
    bool FIsEncrypt = false;
    std::string FPassword;
    uint8_t FDataColumn = 3;
    uint8_t FDataRow = 0;
    float FAspect = 3.0f;
    int32_t FBarX = 2;
    int32_t FRowHeight = 6;
    int32_t FAreaWidth = 0;
    int32_t FAreaHeight = 0;
    TAngleType FAngle = _0;

    TPdf417Codewords FCodewords;
    std::vector<TSymbolSize> FSymbolSizes;
    std::vector<TPdf417Symbol> FSymbols;
    std::vector<size_t> FPieceLengths; // bytes of WorkStream per symbol of a sequence
    std::vector<const TBarData*> FSymbolStarts;
};

} // namespace Vandrel
