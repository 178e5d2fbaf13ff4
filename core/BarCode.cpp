#include "core/BarCode.h"

#include "core/Exceptions.h"
#include "platform/DeviceCaps.h"
#include "platform/Emf.h"
#include "platform/Messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cmath>

namespace Vandrel {

namespace {
// The directory part of a file name, separator included ("" for a bare name).
QString DirectoryPart(const QString& fileName)
{
    return fileName.left(fileName.lastIndexOf(QLatin1Char('/')) + 1);
}

template <typename T>
bool Assign(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

QImage NewBitmap(int32_t width, int32_t height)
{
    QImage bmp(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    bmp.fill(Qt::white);
    return bmp;
}

TBarCode::TBarCode(QWidget* owner) : QWidget(owner)
{
    // The opaque flag stands for the control style's opaque bit: a control that
    // paints its own background. Without it Qt shows the parent beneath.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    resize(200, 100);
}

void TBarCode::FSetAlignment(TAlignment value)
{
    if (Assign(FAlignment, value))
        Invalidate();
}

void TBarCode::FSetAngle(TAngleType value)
{
    if (Assign(FAngle, value))
        Invalidate();
}

void TBarCode::FSetBarBackColor(const QColor& value)
{
    if (Assign(FBarBackColor, value))
        Invalidate();
}

void TBarCode::FSetBarColor(const QColor& value)
{
    if (Assign(FBarColor, value))
        Invalidate();
}

void TBarCode::FSetSymbolWidth(float value)
{
    FSymbolWidth = value;
}

void TBarCode::FSetSymbolHeight(float value)
{
    FSymbolHeight = value;
}

bool TBarCode::FGetTransparent() const
{
    return !testAttribute(Qt::WA_OpaquePaintEvent);
}

void TBarCode::FSetTransparent(bool value)
{
    if (value == FGetTransparent())
        return;
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    Invalidate();
}

void TBarCode::FSetUnitType(TUnitType value)
{
    FUnitType = value;
}

TPoint TBarCode::GetRotatePoint(TPoint p, TPoint t) const
{
    // Exactly Translate2D(Rotate2D(p, Angle * pi / 2), t) for quarter turns,
    // without trigonometry per element.
    switch (FAngle) {
    case _90: return {t.x + p.y, t.y - p.x};
    case _180: return {t.x - p.x, t.y - p.y};
    case _270: return {t.x - p.y, t.y + p.x};
    default: return {t.x + p.x, t.y + p.y};
    }
}

void TBarCode::GetRotateRect(TRect& r, TPoint t) const
{
    const int32_t w = r.Right - r.Left;
    const int32_t h = r.Bottom - r.Top;
    const TPoint q = GetRotatePoint({r.Left, r.Top}, t);
    switch (FAngle) {
    case _90: r = {q.x, q.y - w, q.x + h, q.y}; break;
    case _180: r = {q.x - w, q.y - h, q.x, q.y}; break;
    case _270: r = {q.x - h, q.y, q.x, q.y + w}; break;
    default: r = {q.x, q.y, q.x + w, q.y + h}; break;
    }
}

int32_t TBarCode::GetPixPerInchSX(const QPaintDevice* dc)
{
    return GetDeviceCaps(dc, LOGPIXELSX);
}

int32_t TBarCode::GetPixPerInchSY(const QPaintDevice* dc)
{
    return GetDeviceCaps(dc, LOGPIXELSY);
}

int32_t TBarCode::GetPixPerMMSX(const QPaintDevice* dc)
{
    return int32_t(std::nearbyint(GetPixPerInchSX(dc) / 25.4));
}

int32_t TBarCode::GetPixPerMMSY(const QPaintDevice* dc)
{
    return int32_t(std::nearbyint(GetPixPerInchSY(dc) / 25.4));
}

void TBarCode::CalcuBmpSize()
{
    BmpWidth = width();
    BmpHeight = height();
}

void TBarCode::CreateBMP(QImage&) {}

void TBarCode::Print(QPainter*, TPoint) {}

void TBarCode::Internalprint(QPainter*, TPoint)
{
    CalcuBmpSize();
}

void TBarCode::CopyToClipboard()
{
    QImage bmp;
    CreateBMP(bmp);
    QGuiApplication::clipboard()->setImage(bmp);
}

void TBarCode::SaveToJpg(const QString& fileName)
{
    if (!CheckFilePath(DirectoryPart(fileName)))
        return;
    QImage bmp;
    CreateBMP(bmp);
    // QSaveFile writes beside the target and renames on success, so a failed
    // write never leaves a truncated picture behind.
    QSaveFile file(fileName);
    QImageWriter writer(&file, "jpg");
    if (!file.open(QIODevice::WriteOnly) || !writer.write(bmp) || !file.commit())
        throw Exception(
            QStringLiteral("Cannot write '%1': %2")
                .arg(fileName, writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString())
                .toStdString());
}

QString TBarCode::EmfFileName(const QString& fileName)
{
    const QString dir = DirectoryPart(fileName);
    const QString name = fileName.mid(dir.size());
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dir + (dot < 0 ? name + QLatin1Char('.') : name.left(dot + 1)) + QStringLiteral("EMF");
}

void TBarCode::SaveToEmf(const QString& fileName)
{
    if (!CheckFilePath(DirectoryPart(fileName)))
        return;
    QImage bmp;
    CreateBMP(bmp);
    SaveImageAsEmf(bmp, EmfFileName(fileName), QStringLiteral("bmp to emf"), QStringLiteral("V1.0"));
}

bool TBarCode::CheckFilePath(const QString& path)
{
    // A probe of our own, created exclusively under a unique name and removed
    // again, so that no file of the user's is ever replaced or deleted.
    QTemporaryFile probe(path + QStringLiteral(".vandrel-probe-XXXXXX"));
    if (!probe.open()) {
        ShowMessage(QLatin1Char('\'') + path + QStringLiteral("' Isn't Exsit!"));
        return false;
    }
    return true;
}

void TBarCode::Invalidate()
{
    update();
    Q_EMIT invalidated();
}

void TBarCode::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    FPaintDC = &painter;
    struct Reset {
        QPainter*& DC;
        ~Reset() { DC = nullptr; }
    } reset{FPaintDC};
    Paint();
}

void TBarCode::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Invalidate();
}

} // namespace Vandrel
