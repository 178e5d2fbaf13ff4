#include "reader/ScanBarCode.h"

#include "crypto/Payload.h"
#include "platform/Exceptions.h"
#include "platform/Messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>

namespace Vandrel {

namespace {
void Show(const std::string& text)
{
    ShowMessage(QString::fromStdString(text));
}

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
    if (CanSetPassword(value, Show))
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

void TScanBarCode::ScanBarCode(TMemoryStream& stream)
{
    // Every pixel is read as three colour bytes and one more, in place.
    const QImage picture = GetBSStream().convertToFormat(QImage::Format_RGB32);
    const TPixelView view{picture.constBits(), picture.width(), picture.height(), picture.bytesPerLine(), 4};
    const auto ask = [] {
        return InputBox(QStringLiteral("PLEASE INPUT PASSWORD"), QStringLiteral("PASSWORD:"), QString())
            .toLatin1()
            .toStdString();
    };
    auto result = ScanPicture(view, FPassword, ask, Show);
    if (!result)
        throw Exception("Don't Scan barcode picture");
    FMacro = result->Macro;
    stream = std::move(result->Data);
}

} // namespace Vandrel
