#include "reader/ScanBarCode.h"

#include "core/Exceptions.h"
#include "crypto/Payload.h"
#include "platform/Messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>

namespace Vandrel {

namespace {
QImage LoadPicture(const QString& fileName)
{
    // The format is told by the file's contents, not only its name.
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}
} // namespace

TScanBarCode::TScanBarCode(QObject* owner) : QObject(owner) {}

void TScanBarCode::FSetPWD(const std::string& value)
{
    if (CanSetPassword(value, ShowEngineMessage))
        FPassword = value;
}

QString TScanBarCode::PasswordText() const
{
    return QString::fromLatin1(FPassword.data(), qsizetype(FPassword.size()));
}

void TScanBarCode::SetPasswordText(const QString& value)
{
    FSetPWD(value.toLatin1().toStdString());
}

void TScanBarCode::FSetSourceType(TPicSoureType value)
{
    FSourceType = value;
}

QImage TScanBarCode::GetBSStream() const
{
    switch (FSourceType) {
    case SoureFile: return LoadPicture(PicFileName);
    case SourceClipBoard: {
        const QImage image = QGuiApplication::clipboard()->image();
        if (image.isNull())
            ShowMessage(QStringLiteral("ClipBoard isn't Picture!"));
        return image;
    }
    case SoureDIB: break;
    }
    return FSourceBitmap;
}

TPictureScan TScanBarCode::ScanAll(TScanJoin join)
{
    // Every pixel is read as three colour bytes and one more, in place.
    const QImage picture = GetBSStream().convertToFormat(QImage::Format_RGB32);
    const TPixelView view{picture.constBits(), picture.width(), picture.height(), picture.bytesPerLine(), 4};
    const auto ask = [] {
        return InputBox(QStringLiteral("PLEASE INPUT PASSWORD"), QStringLiteral("PASSWORD:"), QString())
            .toLatin1()
            .toStdString();
    };
    return ScanPictureAll(view, FPassword, ask, ShowEngineMessage, join);
}

void TScanBarCode::ScanBarCode(TMemoryStream& stream)
{
    TPictureScan scan = ScanAll();
    if (!scan.Error.empty()) {
        if (scan.Error != NoSymbolRead)
            ShowEngineMessage(scan.Error);
        throw Exception(std::string(NoSymbolRead));
    }
    FMacro = scan.Results.front().Macro;
    stream = std::move(scan.Results.front().Data);
}

std::string TScanBarCode::HugeAdd(std::string_view a, std::string_view b)
{
    return Vandrel::HugeAdd(a, b, ShowEngineMessage);
}

std::string TScanBarCode::HugeMulti(std::string_view a, std::string_view b)
{
    return Vandrel::HugeMulti(a, b, ShowEngineMessage);
}

bool TScanBarCode::EncodeBC_Txt(std::string_view segment, int32_t count, TStrings& decoded)
{
    return Vandrel::EncodeBC_Txt(segment, count, decoded);
}

bool TScanBarCode::EncodeBC_Num(std::string_view segment, int32_t count, TStrings& decoded)
{
    return Vandrel::EncodeBC_Num(segment, count, decoded);
}

bool TScanBarCode::EncodeBC_Byte(std::string_view segment, int32_t count, int16_t latch, TStrings& decoded)
{
    return Vandrel::EncodeBC_Byte(segment, count, latch, decoded);
}

} // namespace Vandrel
