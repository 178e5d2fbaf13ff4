#include "apps/Output.h"

#include "apps/Cli.h"
#include "core/BarCode.h"
#include "core/Exceptions.h"
#include "platform/Emf.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

namespace Vandrel {

const char* const OutputFormats =
    ".png, .bmp, .jpg, .jpeg, .tif, .tiff, .emf, .svg, .pdf, or - for PNG on standard output";

namespace {

enum class TFormat { Png, Bmp, Jpeg, Tiff, Emf, Svg, Pdf, Unknown };

TFormat FormatOf(const QString& fileName)
{
    if (fileName == QLatin1String("-"))
        return TFormat::Png;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    static const QHash<QString, TFormat> formats{
        {"png", TFormat::Png},   {"bmp", TFormat::Bmp},  {"jpg", TFormat::Jpeg},
        {"jpeg", TFormat::Jpeg}, {"tif", TFormat::Tiff}, {"tiff", TFormat::Tiff},
        {"emf", TFormat::Emf},   {"svg", TFormat::Svg},  {"pdf", TFormat::Pdf},
    };
    return formats.value(suffix, TFormat::Unknown);
}

[[noreturn]] void CannotWrite(const QString& fileName, const QString& reason)
{
    throw Exception(QStringLiteral("Cannot write '%1': %2").arg(fileName, reason).toStdString());
}

// Writes through `draw` into a temporary file beside `fileName` and renames it
// over the target when everything was written.
void WriteAtomically(const QString& fileName, const std::function<QString(QIODevice&)>& draw)
{
    // Qt words this one its own way; the system's words are the ones users search for.
    if (QFileInfo(fileName).isDir())
        CannotWrite(fileName, QString::fromLocal8Bit(std::strerror(EISDIR)));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        CannotWrite(fileName, file.errorString());
    const QString failure = draw(file);
    if (!failure.isEmpty()) {
        file.cancelWriting();
        CannotWrite(fileName, failure);
    }
    if (!file.commit())
        CannotWrite(fileName, file.errorString());
}

// The symbol drawn through the printing path on any painter, over the
// background unless the control is transparent.
void PaintSymbol(TBarCode& control, QPainter& painter)
{
    if (!control.Transparent())
        painter.fillRect(0, 0, control.width(), control.height(), control.BarBackColor());
    control.Print(&painter, {0, 0});
}

// The picture: with an alpha channel where a transparent control asks for
// one and the format keeps it, else the control's own bitmap.
QImage Picture(TBarCode& control, TFormat format, int dpi)
{
    QImage bmp;
    if (control.Transparent() && (format == TFormat::Png || format == TFormat::Tiff)) {
        bmp = QImage(control.width(), control.height(), QImage::Format_ARGB32_Premultiplied);
        if (!bmp.isNull()) {
            bmp.fill(Qt::transparent);
            QPainter painter(&bmp);
            PaintSymbol(control, painter);
        }
    } else {
        control.CreateBMP(bmp);
    }
    if (bmp.isNull())
        throw Exception("Creat barcode bitmap is error");
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    bmp.setDotsPerMeterX(dotsPerMeter);
    bmp.setDotsPerMeterY(dotsPerMeter);
    return bmp;
}

QString WriteImage(const QImage& bmp, TFormat format, QIODevice& device)
{
    static const char* const names[] = {"png", "bmp", "jpg", "tif"};
    QImageWriter writer(&device, names[int(format)]);
    return writer.write(bmp) ? QString() : writer.errorString();
}

QString WriteSvg(TBarCode& control, int dpi, QIODevice& device)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&device);
    svg.setSize(control.size());
    svg.setViewBox(QRect(QPoint(0, 0), control.size()));
    svg.setResolution(dpi);
    svg.setTitle(QStringLiteral("Barcode"));
    QPainter painter;
    if (!painter.begin(&svg))
        return QStringLiteral("cannot start the SVG drawing");
    PaintSymbol(control, painter);
    return painter.end() ? QString() : QStringLiteral("cannot finish the SVG drawing");
}

QString WritePdf(TBarCode& control, int dpi, QIODevice& device)
{
    QPdfWriter pdf(&device);
    pdf.setResolution(dpi);
    pdf.setCreator(QStringLiteral("Vandrel"));
    // One page exactly the symbol's size: a pixel of the control is a dot at `dpi`.
    const QSizeF points(control.width() * 72.0 / dpi, control.height() * 72.0 / dpi);
    pdf.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf))
        return QStringLiteral("cannot start the PDF drawing");
    PaintSymbol(control, painter);
    return painter.end() ? QString() : QStringLiteral("cannot finish the PDF drawing");
}

void WriteToStandardOutput(const QImage& bmp)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (const QString failure = WriteImage(bmp, TFormat::Png, buffer); !failure.isEmpty())
        CannotWrite(QStringLiteral("-"), failure);
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
        std::fflush(stdout) != 0)
        CannotWrite(QStringLiteral("-"), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

bool IsRenderableFile(const QString& fileName)
{
    return FormatOf(fileName) != TFormat::Unknown;
}

void RenderToFile(TBarCode& control, const QString& fileName, int dpi)
{
    const TFormat format = FormatOf(fileName);
    switch (format) {
    case TFormat::Svg:
        WriteAtomically(fileName, [&](QIODevice& device) { return WriteSvg(control, dpi, device); });
        return;
    case TFormat::Pdf:
        WriteAtomically(fileName, [&](QIODevice& device) { return WritePdf(control, dpi, device); });
        return;
    case TFormat::Emf: {
        QImage bmp;
        control.CreateBMP(bmp);
        SaveImageAsEmf(bmp, fileName, QStringLiteral("bmp to emf"), QStringLiteral("V1.0"));
        return;
    }
    case TFormat::Unknown: CannotWrite(fileName, QStringLiteral("unknown format"));
    default: break;
    }
    const QImage bmp = Picture(control, format, dpi);
    if (fileName == QLatin1String("-"))
        WriteToStandardOutput(bmp);
    else
        WriteAtomically(fileName, [&](QIODevice& device) { return WriteImage(bmp, format, device); });
}

int WriteSymbol(TBarCode& control, const QString& output, int dpi)
{
    if (const QString error = PictureSizeError(control.width(), control.height()); !error.isEmpty())
        return Failure(error);
    try {
        RenderToFile(control, output, dpi);
    } catch (const Exception& e) {
        return Failure(QString::fromStdString(e.what()));
    }
    if (output != QLatin1String("-"))
        std::printf("%s\n", qPrintable(output));
    return 0;
}

} // namespace Vandrel
