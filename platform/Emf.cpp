#include "platform/Emf.h"

#include "core/Exceptions.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryFile>

#include <uemf.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace Vandrel {

namespace {

// libuemf hands out records and structures from malloc.
struct TMallocFree {
    void operator()(void* p) const { std::free(p); }
};
using TRecord = std::unique_ptr<char, TMallocFree>;

// 0.01 mm per pixel at the 96-dpi reference the frame is expressed in.
constexpr double FrameUnitsPerPixel = 2540.0 / 96.0;

// Reference device of the header: a 96-dpi screen of 1920 x 1440 pixels, which
// is exactly 508 x 381 mm, so players derive the same 96 dpi from it.
constexpr int32_t DeviceWidth = 1920, DeviceHeight = 1440;
constexpr int32_t DeviceWidthMm = 508, DeviceHeightMm = 381;

[[noreturn]] void Fail(const QString& message)
{
    throw Exception(message.toStdString());
}

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// One EMF file being written through libuemf's tracker. The records go to a
// temporary file of our own beside the target, which is renamed over it
// once complete: a failure leaves the previous file, and two writers never
// leave a truncated one. emf_free releases only memory, so an unfinished
// temporary file is closed and removed here.
class TEmfFile {
public:
    explicit TEmfFile(const QString& fileName) : FFileName(fileName)
    {
        EMFHANDLES* handles = nullptr;
        if (emf_htable_create(8, 8, &handles) != 0)
            Fail(QStringLiteral("Cannot create the EMF handle table"));
        FHandles.reset(handles);
        // Reserve a unique name; libuemf then opens it again by name.
        QTemporaryFile reserved(fileName + QStringLiteral(".XXXXXX"));
        reserved.setAutoRemove(false);
        if (!reserved.open())
            Fail(QStringLiteral("Cannot write '%1': %2").arg(fileName, reserved.errorString()));
        FTempName = reserved.fileName();
        reserved.close();
        EMFTRACK* track = nullptr;
        if (emf_start(QFile::encodeName(FTempName).constData(), 64 * 1024, 64 * 1024, &track) != 0) {
            QFile::remove(FTempName);
            Fail(QStringLiteral("Cannot write '%1': %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
        }
        FTrack.reset(track);
    }

    ~TEmfFile()
    {
        if (!FDone)
            Discard();
    }

    TEmfFile(const TEmfFile&) = delete;
    TEmfFile& operator=(const TEmfFile&) = delete;

    EMFTRACK* Track() const { return FTrack.get(); }

    // Takes a record made by one of libuemf's *_set functions; a null one is
    // how they report failure.
    void Append(TRecord record, const char* kind)
    {
        if (!record || emf_append(reinterpret_cast<U_ENHMETARECORD*>(record.get()), FTrack.get(), 0) != 0)
            Fail(QStringLiteral("Cannot build the EMF %1 record").arg(QLatin1String(kind)));
    }

    // Completes the header counts and writes the file. libuemf ignores the
    // result of fclose, so a failed final flush only shows as a short file.
    void Finish()
    {
        errno = 0;
        const bool written =
            emf_finish(FTrack.get(), FHandles.get()) == 0 && QFileInfo(FTempName).size() == qint64(FTrack->used);
        if (!written) {
            const int reason = errno;
            Discard();
            Fail(QStringLiteral("Cannot write '%1': %2")
                     .arg(FFileName, QString::fromLocal8Bit(std::strerror(reason ? reason : EIO))));
        }
        // The reserved file is private; the result gets the target's mode, or
        // the mode a new file would get.
        struct stat target {};
        const mode_t mode = ::stat(QFile::encodeName(FFileName).constData(), &target) == 0 ? target.st_mode & 07777
                                                                                           : 0666 & ~CurrentUmask();
        ::chmod(QFile::encodeName(FTempName).constData(), mode);
        // rename() replaces the target in one step.
        if (std::rename(QFile::encodeName(FTempName).constData(), QFile::encodeName(FFileName).constData()) != 0) {
            const int reason = errno;
            Discard();
            Fail(QStringLiteral("Cannot write '%1': %2").arg(FFileName, QString::fromLocal8Bit(std::strerror(reason))));
        }
        FDone = true;
    }

private:
    void Discard()
    {
        if (FTrack->fp) {
            std::fclose(FTrack->fp);
            FTrack->fp = nullptr;
        }
        QFile::remove(FTempName);
    }

    struct TFreeHandles {
        void operator()(EMFHANDLES* h) const { emf_htable_free(&h); }
    };
    struct TFreeTrack {
        void operator()(EMFTRACK* t) const { emf_free(&t); }
    };

    QString FFileName;
    QString FTempName;
    bool FDone = false;
    std::unique_ptr<EMFHANDLES, TFreeHandles> FHandles;
    std::unique_ptr<EMFTRACK, TFreeTrack> FTrack;
};

// The pixels as a 32-bit BI_RGB DIB: bottom row first, bytes blue, green,
// red and an unused zero, whatever the host byte order.
std::vector<char> DibPixels(const QImage& image)
{
    std::vector<char> pixels(size_t(image.width()) * size_t(image.height()) * 4);
    char* out = pixels.data();
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            *out++ = char(qBlue(line[x]));
            *out++ = char(qGreen(line[x]));
            *out++ = char(qRed(line[x]));
            *out++ = 0;
        }
    }
    return pixels;
}

} // namespace

void SaveImageAsEmf(const QImage& image, const QString& fileName, const QString& creator, const QString& description)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int32_t width = rgb.width();
    const int32_t height = rgb.height();
    // Record sizes are 32-bit; keep well clear of the limit.
    if (qint64(width) * height * 4 > std::numeric_limits<int32_t>::max() / 2)
        Fail(QStringLiteral("Image of %1 x %2 pixels is too large for an EMF file").arg(width).arg(height));

    // Bounds and frame are inclusive rectangles, so an empty image gets (0, 0, -1, -1).
    const U_RECTL bounds{0, 0, width - 1, height - 1};
    const U_RECTL frame{0, 0, int32_t(std::nearbyint(width * FrameUnitsPerPixel)) - 1,
                        int32_t(std::nearbyint(height * FrameUnitsPerPixel)) - 1};
    std::u16string text = (creator + QChar() + description + QChar() + QChar()).toStdU16String();

    TEmfFile file(fileName);
    file.Append(
        TRecord(U_EMRHEADER_set(bounds, frame, nullptr, U_CBSTR(text.size()), reinterpret_cast<uint16_t*>(text.data()),
                                sizel_set(DeviceWidth, DeviceHeight), sizel_set(DeviceWidthMm, DeviceHeightMm), 0)),
        "header");

    // 3780 pixels per metre is the DIB spelling of 96 dpi.
    const std::unique_ptr<U_BITMAPINFO, TMallocFree> info(
        bitmapinfo_set(bitmapinfoheader_set(width, height, 1, 32, U_BI_RGB, 0, 3780, 3780, 0, 0), nullptr));
    if (!info)
        Fail(QStringLiteral("Cannot build the EMF bitmap header"));
    std::vector<char> pixels = DibPixels(rgb);
    const U_POINTL origin{0, 0};
    const U_POINTL size{width, height};
    file.Append(TRecord(U_EMRSTRETCHDIBITS_set(bounds, origin, size, origin, size, U_DIB_RGB_COLORS, U_SRCCOPY,
                                               info.get(), uint32_t(pixels.size()), pixels.data())),
                "bitmap");

    file.Append(TRecord(U_EMREOF_set(0, nullptr, file.Track())), "end-of-file");
    file.Finish();
}

} // namespace Vandrel
