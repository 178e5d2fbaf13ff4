// Throughput of the work done in bulk: module strings, 1D drawing, PDF417
// encoding, drawing and reading.
#include "linear/SingleBarcode.h"
#include "linear/Symbology.h"
#include "pdf417/BarPDF417.h"
#include "pdf417/Encoder.h"
#include "reader/StreamDecode.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

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

void ModuleStrings(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(ModuleString(Code128_B, "Vandrel 128"));
        benchmark::DoNotOptimize(ModuleString(EAN13, "4006381333931"));
        benchmark::DoNotOptimize(ModuleString(Code39, "ABC-123"));
    }
}
BENCHMARK(ModuleStrings);

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
BENCHMARK(DrawLinear);

void EncodePdf417(benchmark::State& state)
{
    const std::string value = Sample(size_t(state.range(0)));
    TPdf417Encoder encoder;
    encoder.SetCodeMode(cMode);
    encoder.SetDataColumn(20);
    encoder.SetErrorLevel(4);
    encoder.SetArea(2000, 2000);
    for (auto _ : state) {
        encoder.SetBarValue(value);
        benchmark::DoNotOptimize(encoder.StreamToBarData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(EncodePdf417)->Arg(100)->Arg(1000);

// CreateBMP alone, 2-pixel modules, into a bitmap the size of the symbol:
// the symbol is encoded once beforehand.
void DrawPdf417(benchmark::State& state)
{
    TBarPDF417 control;
    control.resize(1000, 1000);
    control.FSetCodeMode(cMode);
    control.FSetDataColumn(20);
    control.FSetErrorLevel(Level4);
    control.FSetBarX(2);
    control.FSetBarValue(Sample(size_t(state.range(0))));
    const auto extent = control.DrawingExtent(control.width());
    control.resize(int(extent.Right - extent.Left), int(extent.Bottom));
    QImage bmp;
    for (auto _ : state)
        control.CreateBMP(bmp);
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(DrawPdf417)->Arg(100)->Arg(1000);

void DrawAndReadPdf417(benchmark::State& state)
{
    TBarPDF417 control;
    control.resize(1400, 1400);
    control.FSetCodeMode(cMode);
    control.FSetDataColumn(20);
    control.FSetBarValue(Sample(1000));
    QImage bmp;
    control.CreateBMP(bmp);
    const TPixelView view{bmp.constBits(), bmp.width(), bmp.height(), bmp.bytesPerLine(), 4};
    if (state.range(0) == 0) {
        for (auto _ : state)
            control.CreateBMP(bmp);
    } else {
        for (auto _ : state)
            benchmark::DoNotOptimize(ScanPicture(view, {}, {}, {}));
    }
}
BENCHMARK(DrawAndReadPdf417)->Arg(0)->Arg(1)->ArgNames({"read"});

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
