// Throughput of the work done in bulk, side by side with peers doing the same
// work: zint encodes and draws, zxing-cpp reads. The pairs are one table; the
// end of the run prints each pair's times and their ratio (medians when run
// with --benchmark_repetitions).
#include "linear/SingleBarcode.h"
#include "linear/Symbology.h"
#include "pdf417/BarPDF417.h"
#include "pdf417/Encoder.h"
#include "reader/StreamDecode.h"
#include "support/Distort.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <ZXing/ReadBarcode.h>
#include <benchmark/benchmark.h>
#include <zint.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace Vandrel;

namespace {

std::string Sample(size_t n)
{
    std::string s;
    for (size_t i = 0; s.size() < n; ++i)
        s += "Vandrel " + std::to_string(i * 7919 % 100000) + ", ";
    s.resize(n);
    return s;
}

// Two values of `n` bytes that differ in their last byte: alternating them
// keeps anyone from skipping the work for a value it already holds.
std::array<std::string, 2> Samples(size_t n)
{
    std::array<std::string, 2> values{Sample(n), Sample(n)};
    values[1].back() = values[1].back() == 'x' ? 'y' : 'x';
    return values;
}

// PDF417 grids for the pairs: the same columns and level on both sides.
constexpr int Columns(size_t bytes)
{
    return bytes <= 100 ? 6 : 20;
}
constexpr int Level = 4;

// ---- Our side -------------------------------------------------------------

void ModuleStringCode128(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ModuleString(Code128_B, "Vandrel 128"));
}

void ModuleStringEan13(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ModuleString(EAN13, "4006381333931"));
}

void ModuleStringCode39(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ModuleString(Code39, "ABC-123"));
}

void DrawLinear(benchmark::State& state)
{
    TSingleBarCode control;
    control.resize(400, 150);
    control.FSetBarType(EAN13);
    control.FSetBarValue("4006381333931");
    QImage bmp;
    for (auto _ : state)
        control.CreateBMP(bmp);
}

// A control of 2-pixel modules sized to its symbol, holding `value`.
void SetUpPdf417(TBarPDF417& control, const std::string& value, int columns)
{
    control.FSetCodeMode(cMode);
    control.FSetErrorLevel(TErrorLevel(Level));
    control.FSetDataColumn(columns);
    control.FSetBarX(2);
    control.resize(4000, 4000);
    control.FSetBarValue(value);
    const auto extent = control.DrawingExtent(0);
    control.resize(int(extent.Right - extent.Left), int(extent.Bottom));
}

void Pdf417EncodeDraw(benchmark::State& state)
{
    const auto values = Samples(size_t(state.range(0)));
    TBarPDF417 control;
    SetUpPdf417(control, values[0], Columns(values[0].size()));
    QImage bmp;
    size_t k = 0;
    for (auto _ : state) {
        control.FSetBarValue(values[++k % 2]);
        control.CreateBMP(bmp);
    }
}

// Drawing alone: the symbol is encoded once beforehand.
void Pdf417Draw(benchmark::State& state)
{
    const std::string value = Samples(size_t(state.range(0)))[0];
    TBarPDF417 control;
    SetUpPdf417(control, value, Columns(value.size()));
    QImage bmp;
    for (auto _ : state)
        control.CreateBMP(bmp);
}

void Pdf417Codewords(benchmark::State& state)
{
    const auto values = Samples(size_t(state.range(0)));
    TPdf417Encoder encoder;
    encoder.SetCodeMode(cMode);
    encoder.SetDataColumn(uint8_t(Columns(values[0].size())));
    encoder.SetErrorLevel(Level);
    encoder.SetArea(4000, 4000);
    size_t k = 0;
    for (auto _ : state) {
        encoder.SetBarValue(values[++k % 2]);
        benchmark::DoNotOptimize(encoder.StreamToBarData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

// The 1000-byte symbol as the control draws it, 2-pixel modules.
const QImage& CleanPicture()
{
    static const QImage bmp = [] {
        TBarPDF417 control;
        SetUpPdf417(control, Sample(1000), Columns(1000));
        QImage drawn;
        control.CreateBMP(drawn);
        return drawn;
    }();
    return bmp;
}

// A page of printed digits and words and no symbol: what a reader meets when
// pointed at the wrong picture, and must give up on quickly.
const QImage& DigitsPicture()
{
    static const QImage page = [] {
        QImage image(1600, 1200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font;
        font.setPixelSize(16);
        painter.setFont(font);
        for (int y = 18, line = 0; y < image.height(); y += 20, ++line)
            painter.drawText(4, y, QString::fromStdString(Sample(220).substr(size_t(line % 7))));
        return image;
    }();
    return page;
}

TPixelView ViewOf(const QImage& image)
{
    return {image.constBits(), image.width(), image.height(), image.bytesPerLine(), 4};
}

void ScanClean(benchmark::State& state)
{
    const TPixelView view = ViewOf(CleanPicture());
    if (!ScanPicture(view, {}, {}, {}))
        state.SkipWithError("the clean picture did not read");
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanPicture(view, {}, {}, {}));
}

// The distortion set the reader tests use, drawn once.
const std::vector<QImage>& DistortedSet()
{
    static const std::vector<QImage> set = [] {
        const QImage clean = VandrelTest::CleanPdf417(std::string(VandrelTest::DistortValue));
        std::vector<QImage> pictures;
        for (const VandrelTest::TDistortion& d : VandrelTest::Distortions())
            pictures.push_back(d.make(clean));
        return pictures;
    }();
    return set;
}

// One pass over the distortion set an iteration. `read` reads a picture and
// says whether it gave the value; the pictures read are counted once, untimed.
template <typename Read>
void OverDistortedSet(benchmark::State& state, Read read)
{
    int64_t count = 0;
    for (const QImage& picture : DistortedSet())
        count += read(picture);
    for (auto _ : state)
        for (const QImage& picture : DistortedSet())
            benchmark::DoNotOptimize(read(picture));
    state.counters["read"] = double(count);
    state.counters["pictures"] = double(DistortedSet().size());
}

void ScanDistorted(benchmark::State& state)
{
    OverDistortedSet(state, [](const QImage& picture) {
        const auto result = ScanPicture(ViewOf(picture), {}, {}, {});
        return result &&
               std::string(result->Data.Bytes().begin(), result->Data.Bytes().end()) == VandrelTest::DistortValue;
    });
}

void ScanDigits(benchmark::State& state)
{
    const TPixelView view = ViewOf(DigitsPicture());
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanPicture(view, {}, {}, {}));
}

// ---- The peers' side --------------------------------------------------------

using TZintSymbol = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

TZintSymbol ZintSymbol(int symbology)
{
    TZintSymbol symbol(ZBarcode_Create(), &ZBarcode_Delete);
    symbol->symbology = symbology;
    return symbol;
}

int ZintEncode(zint_symbol* symbol, const std::string& value)
{
    ZBarcode_Clear(symbol);
    return ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(value.data()), int(value.size()));
}

template <int Symbology>
void ZintModules(benchmark::State& state, const std::string& value)
{
    const TZintSymbol symbol = ZintSymbol(Symbology);
    if (ZintEncode(symbol.get(), value) >= ZINT_ERROR)
        state.SkipWithError(symbol->errtxt);
    for (auto _ : state)
        benchmark::DoNotOptimize(ZintEncode(symbol.get(), value));
}

void ZintCode128(benchmark::State& state)
{
    ZintModules<BARCODE_CODE128B>(state, "Vandrel 128");
}

void ZintEan13(benchmark::State& state)
{
    ZintModules<BARCODE_EANX>(state, "4006381333931");
}

void ZintCode39(benchmark::State& state)
{
    ZintModules<BARCODE_CODE39>(state, "ABC-123");
}

TZintSymbol ZintPdf417(size_t bytes)
{
    TZintSymbol symbol = ZintSymbol(BARCODE_PDF417);
    symbol->option_1 = Level;
    symbol->option_2 = Columns(bytes);
    return symbol;
}

void ZintPdf417Codewords(benchmark::State& state)
{
    const auto values = Samples(size_t(state.range(0)));
    const TZintSymbol symbol = ZintPdf417(values[0].size());
    size_t k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ZintEncode(symbol.get(), values[++k % 2]));
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

void ZintPdf417EncodeDraw(benchmark::State& state)
{
    const auto values = Samples(size_t(state.range(0)));
    const TZintSymbol symbol = ZintPdf417(values[0].size());
    // zint's raster scale 1 draws a module as 2 pixels, as ours above.
    const auto draw = [&](const std::string& value) {
        ZBarcode_Clear(symbol.get());
        return ZBarcode_Encode_and_Buffer(symbol.get(), reinterpret_cast<const unsigned char*>(value.data()),
                                          int(value.size()), 0);
    };
    if (draw(values[0]) >= ZINT_ERROR || symbol->bitmap_width != 2 * symbol->width)
        state.SkipWithError("zint drew no symbol of 2-pixel modules");
    size_t k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(draw(values[++k % 2]));
}

template <bool Pure>
void ZXingClean(benchmark::State& state)
{
    const QImage& bmp = CleanPicture();
    const ZXing::ImageView view(bmp.constBits(), bmp.width(), bmp.height(), ZXing::ImageFormat::BGRX,
                                int(bmp.bytesPerLine()));
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::PDF417).setIsPure(Pure);
    if (!ZXing::ReadBarcode(view, hints).isValid())
        state.SkipWithError("zxing-cpp did not read the clean picture");
    for (auto _ : state)
        benchmark::DoNotOptimize(ZXing::ReadBarcode(view, hints));
}

void ZXingDistorted(benchmark::State& state)
{
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::PDF417);
    OverDistortedSet(state, [&](const QImage& picture) {
        const ZXing::ImageView view(picture.constBits(), picture.width(), picture.height(), ZXing::ImageFormat::BGRX,
                                    int(picture.bytesPerLine()));
        const ZXing::Result result = ZXing::ReadBarcode(view, hints);
        return result.isValid() &&
               std::string(result.bytes().begin(), result.bytes().end()) == VandrelTest::DistortValue;
    });
}

// One pass over the page's pixels, summing them: the floor for giving up on
// a picture without a symbol.
void OnePassDigits(benchmark::State& state)
{
    const QImage& page = DigitsPicture();
    const size_t rowBytes = size_t(page.width()) * 4;
    for (auto _ : state) {
        uint64_t sum = 0;
        for (int y = 0; y < page.height(); ++y) {
            const uchar* row = page.constScanLine(y);
            uint32_t rowSum = 0; // a row of bytes cannot overflow it
            for (size_t i = 0; i < rowBytes; ++i)
                rowSum += row[i];
            sum += rowSum;
        }
        benchmark::DoNotOptimize(sum);
    }
}

// ---- The table ------------------------------------------------------------

struct TBench {
    const char* name;
    void (*run)(benchmark::State&);
    int64_t arg = -1; // -1: none
};

struct TPair {
    const char* work;
    TBench ours;
    TBench peer;
};

const TPair Pairs[] = {
    {"Code 128 B module string", {"ModuleString/Code128_B", ModuleStringCode128}, {"zint/Code128B", ZintCode128}},
    {"EAN-13 module string", {"ModuleString/EAN13", ModuleStringEan13}, {"zint/EAN13", ZintEan13}},
    {"Code 39 module string", {"ModuleString/Code39", ModuleStringCode39}, {"zint/Code39", ZintCode39}},
    {"PDF417 codewords 1000 B",
     {"Pdf417Codewords", Pdf417Codewords, 1000},
     {"zint/Pdf417Codewords", ZintPdf417Codewords, 1000}},
    {"PDF417 encode+draw 100 B",
     {"Pdf417EncodeDraw", Pdf417EncodeDraw, 100},
     {"zint/Pdf417EncodeDraw", ZintPdf417EncodeDraw, 100}},
    {"PDF417 encode+draw 1000 B",
     {"Pdf417EncodeDraw", Pdf417EncodeDraw, 1000},
     {"zint/Pdf417EncodeDraw", ZintPdf417EncodeDraw, 1000}},
    // Drawing a symbol must cost less than encoding it: ratio above 1.
    {"PDF417 1000 B: drawing (ours) vs encoding",
     {"Pdf417Draw", Pdf417Draw, 1000},
     {"Pdf417Codewords", Pdf417Codewords, 1000}},
    {"PDF417 100 B: drawing (ours) vs encoding",
     {"Pdf417Draw", Pdf417Draw, 100},
     {"Pdf417Codewords", Pdf417Codewords, 100}},
    {"PDF417 read, clean picture (zxing pure)", {"ScanPicture/clean", ScanClean}, {"zxing/pure", ZXingClean<true>}},
    {"PDF417 read, clean picture (zxing default)",
     {"ScanPicture/clean", ScanClean},
     {"zxing/default", ZXingClean<false>}},
    {"PDF417 read, distorted set (zxing default)",
     {"ScanPicture/distorted", ScanDistorted},
     {"zxing/distorted", ZXingDistorted}},
    {"A page of digits, no symbol (one pass)", {"ScanPicture/digits", ScanDigits}, {"OnePass/digits", OnePassDigits}},
};

// Work without a peer.
const TBench Alone[] = {
    {"DrawLinear/EAN13", DrawLinear},
};

std::string FullName(const TBench& b)
{
    return b.arg < 0 ? b.name : std::string(b.name) + "/" + std::to_string(b.arg);
}

// Registers each benchmark once, however many pairs share it.
void Register()
{
    std::set<std::string> registered;
    const auto add = [&](const TBench& b) {
        if (!registered.insert(FullName(b)).second)
            return;
        auto* bench = benchmark::RegisterBenchmark(b.name, b.run)->Unit(benchmark::kMicrosecond);
        if (b.arg >= 0)
            bench->Arg(b.arg);
    };
    for (const TPair& pair : Pairs) {
        add(pair.ours);
        add(pair.peer);
    }
    for (const TBench& b : Alone)
        add(b);
}

// The console report, then the pairs side by side: the CPU time of each
// benchmark, its median when repeated.
class TPairReporter : public benchmark::ConsoleReporter {
public:
    TPairReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || run.run_type == Run::RT_Iteration) {
                const std::string name =
                    run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
                if (median || !FMedians.count(name))
                    FTimes[name] = run.GetAdjustedCPUTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
                if (median)
                    FMedians.insert(name);
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-44s %12s %12s %8s\n", "work", "vandrel us", "peer us", "peer/ours");
        for (const TPair& pair : Pairs) {
            const auto ours = FTimes.find(FullName(pair.ours));
            const auto peer = FTimes.find(FullName(pair.peer));
            if (ours == FTimes.end() || peer == FTimes.end())
                continue;
            std::printf("%-44s %12.2f %12.2f %8.2f\n", pair.work, ours->second, peer->second,
                        peer->second / ours->second);
        }
    }

private:
    std::map<std::string, double> FTimes; // microseconds
    std::set<std::string> FMedians;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Register();
    TPairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
