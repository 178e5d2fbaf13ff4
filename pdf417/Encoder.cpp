#include "pdf417/Encoder.h"

#include "core/Exceptions.h"
#include "crypto/Payload.h"
#include "pdf417/Compaction.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>
#include <random>

namespace Vandrel {

namespace {

constexpr int16_t PadCodeword = TextLatch;
constexpr int32_t FileIdModulus = 899;

double LocalTimeOfDay()
{
    using Clock = std::chrono::system_clock;
    const Clock::time_point now = Clock::now();
    const std::time_t seconds = Clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const double fraction = std::chrono::duration<double>(now - Clock::from_time_t(seconds)).count();
    return (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction) / 86400.0;
}

// One generator per thread, seeded when it draws its first file ID: an
// encoder costs no seeding (a control re-encodes on every change, a batch
// makes thousands), and encoders on other threads share nothing.
int32_t DrawRandom(int32_t range)
{
    thread_local std::mt19937 engine(std::random_device{}());
    return std::uniform_int_distribution<int32_t>(0, range - 1)(engine);
}

// Pixels from a product that may be far outside int32_t.
int32_t RoundPixels(double value)
{
    constexpr double Low = std::numeric_limits<int32_t>::min();
    constexpr double High = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::nearbyint(std::clamp(value, Low, High)));
}

} // namespace

TPdf417Encoder::TPdf417Encoder(TMessageFn message)
    : FMessage(std::move(message)), FTimeOfDay(LocalTimeOfDay), FRandom(DrawRandom)
{
}

void TPdf417Encoder::SetFileIdSources(TTimeOfDayFn timeOfDay, TRandomFn random)
{
    FTimeOfDay = timeOfDay ? std::move(timeOfDay) : LocalTimeOfDay;
    FRandom = random ? std::move(random) : DrawRandom;
}

// ---------------------------------------------------------------------------
// The value

void TPdf417Encoder::SetBarValue(std::string value)
{
    FBarValue = std::move(value);
    DataStream().Clear();
    AppendString(FBarValue);
}

void TPdf417Encoder::SetDataStream(TMemoryStream* stream)
{
    FDataStream = stream ? stream : &FOwnDataStream;
    ClearCodewords();
}

void TPdf417Encoder::AppendStream(const TMemoryStream& stream)
{
    // A copy first: the stream may be DataStream itself.
    const std::vector<uint8_t> bytes = stream.Bytes();
    DataStream().Seek(0, TSeekOrigin::soEnd);
    DataStream().Write(bytes.data(), bytes.size());
}

void TPdf417Encoder::AppendString(std::string_view s)
{
    DataStream().Seek(0, TSeekOrigin::soEnd);
    DataStream().Write(s.data(), s.size());
}

void TPdf417Encoder::ClearData()
{
    ClearCodewords();
    DataStream().Clear();
}

void TPdf417Encoder::ClearCodewords()
{
    FCodewords.DelBarData();
    FSymbolSizes.clear();
    FPieceLengths.clear();
    FSymbolStarts.clear();
    FSymbols.clear();
}

const TBarData* TPdf417Encoder::SymbolStart(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < FSymbolStarts.size() ? FSymbolStarts[static_cast<size_t>(index)]
                                                                           : nullptr;
}

// ---------------------------------------------------------------------------
// Properties

bool TPdf417Encoder::SetCodeMode(TCodeMode mode)
{
    if (mode == FCodeMode || !CanSetCodeMode(mode == bMode, FIsEncrypt, FMessage))
        return false;
    FCodeMode = mode;
    return true;
}

bool TPdf417Encoder::SetErrorLevel(int32_t level)
{
    return FErrorCorrection.SetErrorLevel(level, FMessage);
}

bool TPdf417Encoder::SetPDFType(TPDFType type)
{
    if (type == FPDFType)
        return false;
    FPDFType = type;
    FFullRows = type == Normal || type == MicroPDF417;
    return true;
}

bool TPdf417Encoder::SetIsEncrypt(bool isEncrypt)
{
    if (isEncrypt == FIsEncrypt || !CanSetIsEncrypt(isEncrypt, FCodeMode == bMode, FMessage))
        return false;
    FIsEncrypt = isEncrypt;
    return true;
}

bool TPdf417Encoder::SetPassword(std::string password)
{
    if (password == FPassword || !CanSetPassword(password, FMessage))
        return false;
    FPassword = std::move(password);
    return true;
}

bool TPdf417Encoder::SetDataColumn(uint8_t columns)
{
    if (columns > MaxColumns) {
        Report(FMessage, "DataColumn <= 30 ");
        return false;
    }
    if (columns == FDataColumn)
        return false;
    FDataColumn = columns;
    return true;
}

bool TPdf417Encoder::SetDataRow(uint8_t rows)
{
    if (rows != 0 && (rows < MinRows || rows > MaxRows)) {
        Report(FMessage, "DataRow <= 90 And DataRow >= 3");
        return false;
    }
    if (rows == FDataRow)
        return false;
    FDataRow = rows;
    return true;
}

void TPdf417Encoder::SetAspect(float aspect)
{
    if (!(aspect >= 3.0f))
        throw Exception("Aspect >= 3.00");
    FAspect = aspect;
    FRowHeight = RoundPixels(static_cast<double>(FBarX) * aspect);
}

bool TPdf417Encoder::SetBarX(int32_t barX)
{
    if (barX == FBarX)
        return false;
    FBarX = barX;
    return true;
}

// ---------------------------------------------------------------------------
// The pipeline

TSizingArea TPdf417Encoder::SizingArea() const
{
    const bool upright = FAngle == _90 || FAngle == _270;
    return {upright ? FAreaHeight : FAreaWidth, upright ? FAreaWidth : FAreaHeight, FAspect};
}

std::string_view TPdf417Encoder::WorkBytes() const
{
    return {reinterpret_cast<const char*>(FWorkStream.Bytes().data()), FWorkStream.Size()};
}

bool TPdf417Encoder::Compact(TPdf417Codewords& list, std::string_view bytes, const TMessageFn& message) const
{
    switch (FCodeMode) {
    case tMode: return TxtStreamToBarData(list, bytes, message);
    case nMode: return NumStreamToBarData(list, bytes, message);
    case bMode: return ByteStreamToBarData(list, bytes, message);
    case cMode: return CompStreamToBarData(list, bytes, message);
    }
    return false;
}

bool TPdf417Encoder::StreamToBarData()
{
    ClearCodewords();
    if (DataStream().Size() == 0)
        return false;
    FWorkStream.Clear();
    FWorkStream.Write(DataStream().Bytes().data(), DataStream().Size());
    if (FIsEncrypt)
        EncryptPayload(FWorkStream, FPassword);
    try {
        if (Compact(FCodewords, WorkBytes(), FMessage) && (IsMicro() ? BuildSequence() : BuildSymbol())) {
            FSymbols = Pdf417Symbols(FCodewords.Values(), FSymbolSizes, ErrorLevel(), FFullRows);
            return true;
        }
    } catch (...) {
        ClearCodewords();
        throw;
    }
    ClearCodewords();
    return false;
}

bool TPdf417Encoder::ReCalcuXR()
{
    FSymbolSizes.clear();
    FPieceLengths.clear();
    FSymbolStarts.clear();
    const int32_t count = CodeWordCount();
    if (count == 0)
        return false;
    const int32_t nonData = FFullRows ? 4 : 2;
    if (!IsMicro()) {
        const auto size = SizeSymbol(count + 1 + ECCount(), FDataColumn, FDataRow, SizingArea(), nonData, FMessage);
        if (size)
            FSymbolSizes.push_back(*size);
        return size.has_value();
    }
    const TSequenceFrame frame =
        SequenceFrame(count + MacroLastOverhead + ECCount(), FDataColumn, FDataRow, SizingArea(), nonData);
    // Pieces of a value the mode accepted are accepted too: no messages here.
    const auto length = [this](std::string_view piece) {
        TPdf417Codewords list;
        Compact(list, piece, {});
        return list.CodeWordCount();
    };
    for (const TSequencePiece& piece : SplitSequence(WorkBytes(), frame, ECCount(), length)) {
        FSymbolSizes.push_back(piece.Size);
        FPieceLengths.push_back(piece.Length);
    }
    return true;
}

bool TPdf417Encoder::BuildSymbol()
{
    if (CodeWordCount() + 1 + ECCount() > MaxSymbolCodewords) {
        Report(FMessage, "Code Words is too Large!");
        return false;
    }
    if (!ReCalcuXR())
        return false;
    CompleteSymbol(FCodewords, FSymbolSizes.front(), {});
    FSymbolStarts = {FCodewords.Root()};
    return true;
}

// Every symbol carries its own piece of the value, compacted from the
// default state, so that each reads back by itself and the pieces in
// segment order give the value. The list of the whole value served for
// sizing only.
bool TPdf417Encoder::BuildSequence()
{
    if (!ReCalcuXR())
        return false;
    const std::array<int16_t, FileIdCodewords> fileId = FileId();
    FCodewords.DelBarData();
    FSymbolStarts.clear();
    std::string_view rest = WorkBytes();
    for (size_t i = 0; i < FSymbolSizes.size(); ++i) {
        TPdf417Codewords symbol;
        if (!Compact(symbol, rest.substr(0, FPieceLengths[i]), FMessage))
            return false;
        rest.remove_prefix(FPieceLengths[i]);
        const int32_t segment = SegmentIndexBase + static_cast<int32_t>(i);
        const int16_t trailer[MacroBlockCodewords + 1] = {MacroBlockMarker,
                                                          static_cast<int16_t>(segment / CodewordBase),
                                                          static_cast<int16_t>(segment % CodewordBase),
                                                          fileId[0],
                                                          fileId[1],
                                                          fileId[2],
                                                          MacroTerminator};
        const bool last = i + 1 == FSymbolSizes.size();
        CompleteSymbol(symbol, FSymbolSizes[i], std::span(trailer).first(MacroBlockCodewords + (last ? 1 : 0)));
        FSymbolStarts.push_back(FCodewords.AppendBarData(FCodewords.Tail(), symbol.Root()->Value));
        for (const TBarData* node = symbol.Root()->Next; node; node = node->Next)
            FCodewords.AppendBarData(FCodewords.Tail(), node->Value);
    }
    return true;
}

// `symbol` holds its data codewords. Pads fill the grid's data part, the
// length descriptor goes in front, `trailer` after the pads, and the error
// correction of all of it last.
void TPdf417Encoder::CompleteSymbol(TPdf417Codewords& symbol, TSymbolSize size, std::span<const int16_t> trailer)
{
    const int32_t length = size.Rows * size.Columns - ECCount();
    const int32_t used = 1 + symbol.CodeWordCount() + static_cast<int32_t>(trailer.size());
    for (int32_t pads = length - used; pads > 0; --pads)
        symbol.AppendBarData(symbol.Tail(), PadCodeword);
    symbol.InsertBarData(symbol.Root(), static_cast<int16_t>(length));
    for (int16_t codeword : trailer)
        symbol.AppendBarData(symbol.Tail(), codeword);
    FErrorCorrection.CreateErrorCode(symbol, 1, length);
    for (int32_t codeword : FErrorCorrection.ErrorCodes())
        symbol.AppendBarData(symbol.Tail(), static_cast<int16_t>(codeword));
}

// One file ID for the whole sequence: a stamp from the time of day, then
// three draws above it.
std::array<int16_t, FileIdCodewords> TPdf417Encoder::FileId() const
{
    const double stamp = std::fmod(std::nearbyint(FTimeOfDay() * 1000000.0), FileIdModulus);
    const int32_t s = std::isfinite(stamp) ? (static_cast<int32_t>(stamp) + FileIdModulus) % FileIdModulus : 0;
    std::array<int16_t, FileIdCodewords> id{};
    for (int16_t& f : id) {
        const int32_t draw = s > 0 ? (FRandom(s) % s + s) % s : 0;
        f = static_cast<int16_t>((draw + s) % FileIdModulus);
    }
    return id;
}

} // namespace Vandrel
