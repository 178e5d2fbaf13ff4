#include "apps/Output.h"

#include "apps/Cli.h"
#include "apps/Png.h"
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
#include <QRandomGenerator>
#include <QSvgGenerator>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

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

// The batch under way, if any: it syncs the files written during it at its end.
TOutputBatch* CurrentBatch = nullptr;

QString SystemReason(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The file a name stands for: a symbolic link is followed, so that the link
// stays and its target is replaced.
QString FinalName(QFileInfo info)
{
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

// A new file beside its target under a name no one else has, so that no
// file of the user's is opened or replaced before the rename; removed again
// on every path but the rename, a drawing that throws included.
class TTemporaryFile {
public:
    TTemporaryFile(const QByteArray& target, mode_t mode)
    {
        for (int attempt = 0; attempt < 100 && FFd < 0; ++attempt) {
            FName = target + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
            FFd = ::open(FName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (FFd < 0 && errno != EEXIST)
                break;
        }
        FCreated = FFd >= 0;
    }
    ~TTemporaryFile()
    {
        Close();
        if (FCreated)
            ::unlink(FName.constData());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    // -1 when it could not be created (errno says why).
    int Fd() const { return FFd; }
    bool Close()
    {
        const int fd = std::exchange(FFd, -1);
        return fd < 0 || ::close(fd) == 0;
    }
    bool RenameOver(const QByteArray& target)
    {
        if (::rename(FName.constData(), target.constData()) != 0)
            return false;
        FCreated = false; // it is the target now
        return true;
    }

private:
    QByteArray FName;
    int FFd = -1;
    bool FCreated = false;
};

// Writes through `write`, given the open descriptor, into a temporary file
// beside `fileName` and renames it over the target when everything was
// written (`write` answers why not otherwise). A file that is there keeps its
// permissions; a new one gets the usual ones (umask applied). Outside a batch
// the data reach the disk before the rename; within one, the batch syncs all
// its files at once at its end.
void WriteAtomically(const QString& fileName, const std::function<QString(int fd)>& write)
{
    QByteArray target = QFile::encodeName(fileName);
    struct stat existing {};
    bool replaces = false;
    // A new file, the usual case of a batch, needs no more looking at than this.
    if (::lstat(target.constData(), &existing) != 0 && errno == ENOENT) {
        existing = {};
    } else {
        const QFileInfo info(fileName);
        // Qt words this one its own way; the system's words are the ones users search for.
        if (info.isDir())
            CannotWrite(fileName, SystemReason(EISDIR));
        if (info.exists() && !info.isWritable())
            CannotWrite(fileName, SystemReason(EACCES));
        target = QFile::encodeName(FinalName(info));
        replaces = ::stat(target.constData(), &existing) == 0;
    }
    TTemporaryFile temporary(target, replaces ? 0600 : 0666);
    const int fd = temporary.Fd();
    if (fd < 0)
        CannotWrite(fileName, SystemReason());
    QString failure = write(fd);
    const auto check = [&](bool done) {
        if (!done && failure.isEmpty())
            failure = SystemReason();
    };
    if (failure.isEmpty())
        check(CurrentBatch ? CurrentBatch->Add(fd) : ::fdatasync(fd) == 0);
    if (failure.isEmpty() && replaces)
        check(::fchmod(fd, existing.st_mode & 0777) == 0);
    check(temporary.Close());
    if (failure.isEmpty())
        check(temporary.RenameOver(target));
    if (!failure.isEmpty())
        CannotWrite(fileName, failure);
}

// WriteAtomically for writers of a QIODevice.
void WriteDeviceAtomically(const QString& fileName, const std::function<QString(QIODevice&)>& draw)
{
    WriteAtomically(fileName, [&](int fd) {
        QFile file;
        if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return file.errorString();
        QString drawn = draw(file);
        if (drawn.isEmpty() && !file.flush())
            drawn = file.errorString();
        return drawn;
    });
}

// Writes all of `bytes` to `fd`; the system's reason when that failed.
QString WriteAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    const std::uint8_t* data = bytes.data();
    for (size_t left = bytes.size(); left > 0;) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return SystemReason(written < 0 ? errno : EIO);
        data += written;
        left -= size_t(written);
    }
    return QString();
}

// The symbol drawn through the printing path on any painter, over the
// background unless the control is transparent.
void PaintSymbol(TBarCode& control, QPainter& painter)
{
    if (!control.Transparent())
        painter.fillRect(0, 0, control.width(), control.height(), control.BarBackColor());
    control.Print(&painter, {0, 0});
}

// The colours of a picture as they are met, up to the 256 that a palette
// image holds.
class TPalette {
public:
    // The index of `colour`, which joins the palette when new; -1 when it
    // would be the 257th.
    int IndexOf(QRgb colour)
    {
        // Bars, spaces and margins are long runs of one colour.
        if (FLastIndex >= 0 && colour == FLast)
            return FLastIndex;
        uint32_t slot = (colour * 0x9E3779B1u) >> (32 - SlotBits);
        while (FSlots[slot] >= 0 && FColours[size_t(FSlots[slot])] != colour)
            slot = (slot + 1) % Slots;
        if (FSlots[slot] < 0) {
            if (FColours.size() == 256)
                return -1;
            FSlots[slot] = int16_t(FColours.size());
            FColours.push_back(colour);
        }
        FLast = colour;
        FLastIndex = FSlots[slot];
        return FLastIndex;
    }
    const QList<QRgb>& Colours() const { return FColours; }

private:
    static constexpr int SlotBits = 9; // twice the largest palette: probing always ends
    static constexpr uint32_t Slots = 1u << SlotBits;
    std::array<int16_t, Slots> FSlots = MakeEmptySlots();
    QList<QRgb> FColours;
    QRgb FLast = 0;
    int FLastIndex = -1;

    static constexpr std::array<int16_t, Slots> MakeEmptySlots()
    {
        std::array<int16_t, Slots> empty{};
        empty.fill(-1);
        return empty;
    }
};

// An 8-bit palette image of two colours at most as a 1-bit one, index for index.
QImage OneBit(const QImage& indexed)
{
    QImage mono(indexed.size(), QImage::Format_Mono);
    if (mono.isNull())
        return indexed;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* in = indexed.constScanLine(y);
        uchar* out = mono.scanLine(y);
        std::memset(out, 0, size_t(mono.bytesPerLine()));
        for (int x = 0, width = indexed.width(); x < width; ++x)
            out[x >> 3] |= uchar(in[x] << (7 - (x & 7)));
    }
    mono.setColorTable(indexed.colorTable());
    return mono;
}

// A picture of few colours as a palette image of the same pixels: 1 bit a
// pixel for two colours (the default black on white or any other two), 8
// bits for up to 256 (a label's digits are smoothed with shades of grey). Its
// PNG is a fraction of the size and compresses several times faster. A
// picture of more colours, or with an alpha channel, is answered as it is.
QImage PalettePicture(const QImage& bmp)
{
    if (bmp.format() != QImage::Format_RGB32)
        return bmp;
    QImage indexed(bmp.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return bmp;
    TPalette palette;
    const int width = bmp.width();
    const size_t rowBytes = size_t(width) * sizeof(QRgb);
    for (int y = 0; y < bmp.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(bmp.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        // Across the bars most rows repeat the one above.
        if (y > 0 && std::memcmp(in, bmp.constScanLine(y - 1), rowBytes) == 0) {
            std::memcpy(out, indexed.constScanLine(y - 1), size_t(width));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const int index = palette.IndexOf(in[x]);
            if (index < 0)
                return bmp;
            out[x] = uchar(index);
        }
    }
    indexed.setColorTable(palette.Colours());
    QImage picture = palette.Colours().size() <= 2 ? OneBit(indexed) : indexed;
    picture.setDotsPerMeterX(bmp.dotsPerMeterX());
    picture.setDotsPerMeterY(bmp.dotsPerMeterY());
    return picture;
}

// The picture: with an alpha channel where a transparent control asks for
// one and the format keeps it, else the control's own bitmap; a PNG of few
// colours in a palette.
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
    return format == TFormat::Png ? PalettePicture(bmp) : bmp;
}

QString WriteImage(const QImage& bmp, TFormat format, QIODevice& device)
{
    static const char* const names[] = {"png", "bmp", "jpg", "tif"};
    QImageWriter writer(&device, names[int(format)]);
    // Qt takes a PNG's quality q as zlib level (100 - q) * 9 / 91: this is
    // level 3, which compresses a label with smoothed digits in about half
    // the time of the default level 6, into a fifth more bytes.
    if (format == TFormat::Png)
        writer.setQuality(67);
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

// The PNG encoder of palette pictures, its buffers kept from file to file of a batch.
TPngEncoder& Encoder()
{
    thread_local TPngEncoder encoder;
    return encoder;
}

void WriteToStandardOutput(const QImage& bmp)
{
    if (TPngEncoder& png = Encoder(); TPngEncoder::Encodes(bmp)) {
        if (!png.Encode(bmp))
            CannotWrite(QStringLiteral("-"), png.Error());
        const std::vector<std::uint8_t>& bytes = png.Bytes();
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
            CannotWrite(QStringLiteral("-"), SystemReason());
        return;
    }
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

TOutputBatch::TOutputBatch() : FOuter(CurrentBatch)
{
    CurrentBatch = this;
#ifdef __GLIBC__
    // Each file allocates and frees the same few hundred kilobytes (the
    // picture, the compressor's state). By default glibc hands the freed top
    // of the heap back to the system each time and faults it in again for
    // the next file, which cost a batch of small labels a third of its time.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

TOutputBatch::~TOutputBatch()
{
    Finish();
    CurrentBatch = FOuter;
}

QString TOutputBatch::Finish()
{
    QString failure;
    for (const auto& [device, fd] : FFileSystems) {
        if (::syncfs(fd) != 0 && failure.isEmpty())
            failure = SystemReason();
        ::close(fd);
    }
    FFileSystems.clear();
    return failure;
}

bool TOutputBatch::Add(int fd)
{
    struct stat file {};
    if (::fstat(fd, &file) != 0)
        return false;
    for (const auto& kept : FFileSystems)
        if (kept.first == std::uint64_t(file.st_dev))
            return true;
    const int kept = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (kept < 0)
        return false;
    FFileSystems.emplace_back(std::uint64_t(file.st_dev), kept);
    return true;
}

bool IsRenderableFile(const QString& fileName)
{
    return FormatOf(fileName) != TFormat::Unknown;
}

void RenderToFile(TBarCode& control, const QString& fileName, int dpi)
{
    const TFormat format = FormatOf(fileName);
    switch (format) {
    case TFormat::Svg:
        WriteDeviceAtomically(fileName, [&](QIODevice& device) { return WriteSvg(control, dpi, device); });
        return;
    case TFormat::Pdf:
        WriteDeviceAtomically(fileName, [&](QIODevice& device) { return WritePdf(control, dpi, device); });
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
    else if (format == TFormat::Png && TPngEncoder::Encodes(bmp))
        WriteAtomically(fileName, [&](int fd) {
            TPngEncoder& png = Encoder();
            return png.Encode(bmp) ? WriteAll(fd, png.Bytes()) : png.Error();
        });
    else
        WriteDeviceAtomically(fileName, [&](QIODevice& device) { return WriteImage(bmp, format, device); });
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
