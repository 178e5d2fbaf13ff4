#pragma once
// TScanBarCode: the non-visual component that reads PDF417 symbols back from
// a picture (a bitmap the host hands over, a picture file, or the clipboard)
// and returns the bytes they carry, deciphering a protected payload. A
// picture of a whole Macro PDF417 sequence gives the sequence's bytes joined.
//
// The engine it runs (reader/) shows nothing by itself: it reports through
// the message function its caller hands it. The component is the host-facing
// side and hands it ShowMessage, so every message of a read, and of
// HugeAdd and HugeMulti, goes to the library's message hook.
#include "core/Enums.h"
#include "core/Export.h"
#include "core/MemoryStream.h"
#include "reader/StreamDecode.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace Vandrel {

class VANDREL_EXPORT TScanBarCode : public QObject {
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

    // Reads the picture and replaces the contents of `stream` with the bytes
    // of its first result (ScanPicture): the symbol, or for a picture of a
    // whole Macro PDF417 sequence the sequence's bytes joined in segment
    // order. A protected payload is deciphered with Password (or the answer
    // to "PLEASE INPUT PASSWORD" when that is empty). Raises "Don't Scan
    // barcode picture" when the read fails, after showing why when there is
    // more to say (an incomplete sequence names its missing segments, an
    // unreadable symbol beside others is counted); the stream is then
    // untouched. ScanAll gives every result of a picture of several.
    void ScanBarCode(TMemoryStream& stream);

    // Every result of the picture (ScanPictureAll): each symbol or joined
    // sequence, in picture order, deciphered like ScanBarCode's. Raises
    // nothing: a failed read has Error set, which is not shown; the messages
    // of the reading itself are.
    TPictureScan ScanAll(TScanJoin join = TScanJoin::Sequences);

    // The Macro PDF417 control block of the last result ScanBarCode read, if
    // it had one; for a joined sequence, its last segment's.
    const std::optional<TMacroBlock>& Macro() const { return FMacro; }

    // The reader's decimal arithmetic and segment decoders as published:
    // invalid characters show "Invalid char in Parameter!" through
    // ShowMessage and give "".
    static std::string HugeAdd(std::string_view a, std::string_view b);
    static std::string HugeMulti(std::string_view a, std::string_view b);
    static bool EncodeBC_Txt(std::string_view segment, int32_t count, TStrings& decoded);
    static bool EncodeBC_Num(std::string_view segment, int32_t count, TStrings& decoded);
    static bool EncodeBC_Byte(std::string_view segment, int32_t count, int16_t latch, TStrings& decoded);

private:
    std::string FPassword;
    TPicSoureType FSourceType = SoureDIB;
    QImage FSourceBitmap;
    std::optional<TMacroBlock> FMacro;
};

} // namespace Vandrel
