#pragma once
// TScanBarCode: the non-visual component that reads a PDF417 symbol back from
// a picture (a bitmap the host hands over, a picture file, or the clipboard)
// and returns the bytes it carries, deciphering a protected payload.
#include "core/Enums.h"
#include "core/MemoryStream.h"
#include "reader/StreamDecode.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <optional>
#include <string>

namespace Vandrel {

class TScanBarCode : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString PicFileName MEMBER PicFileName)
    Q_PROPERTY(QString Password READ PasswordText WRITE SetPasswordText)
    Q_PROPERTY(Vandrel::TPicSoureType SourceType READ SourceType WRITE FSetSourceType)

public:
    explicit TScanBarCode(QObject* owner = nullptr);

    // The picture file read when SourceType is SoureFile.
    QString PicFileName;

    const std::string& Password() const { return FPassword; }
    // 33 characters or more are refused with "Length of Password <= 32!".
    void FSetPWD(const std::string& value);
    QString PasswordText() const;
    void SetPasswordText(const QString& value);
    TPicSoureType SourceType() const { return FSourceType; }
    void FSetSourceType(TPicSoureType value);
    // The picture read when SourceType is SoureDIB.
    const QImage& SourceBitmap() const { return FSourceBitmap; }
    void SetSourceBitmap(const QImage& value) { FSourceBitmap = value; }

    // The picture of the current source ("ClipBoard isn't Picture!" when the
    // clipboard holds none); a null image when there is nothing to read.
    QImage GetBSStream() const;

    // Reads the symbol and replaces the contents of `stream` with its bytes,
    // deciphered with Password (or the answer to "PLEASE INPUT PASSWORD" when
    // that is empty) if the payload is protected. Raises "Don't Scan barcode
    // picture" when no symbol could be read; the stream is then untouched.
    void ScanBarCode(TMemoryStream& stream);

    // The Macro PDF417 control block of the last symbol read, if it had one.
    const std::optional<TMacroBlock>& Macro() const { return FMacro; }

private:
    std::string FPassword;
    TPicSoureType FSourceType = SoureDIB;
    QImage FSourceBitmap;
    std::optional<TMacroBlock> FMacro;
};

} // namespace Vandrel
