#include "print/Cursors.h"

#include "core/Exceptions.h"

#include <QFile>
#include <QPixmap>

#include <vector>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void InitCursorResources()
{
    Q_INIT_RESOURCE(print);
}

namespace Vandrel {

int crMagnifier = 0;
int crHand = 0;

namespace {
// Reads an XPM file with the reader built into QtGui, given the file's
// strings, rather than through QImageReader: that would look up the image
// plugins while the library is being loaded, before the application exists,
// and they would then not be looked for beside the application.
QImage ReadXpm(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.readAll();
    std::vector<QByteArray> strings;
    for (qsizetype open = text.indexOf('"'); open >= 0; open = text.indexOf('"', open)) {
        const qsizetype close = text.indexOf('"', open + 1);
        if (close < 0)
            return {};
        strings.push_back(text.mid(open + 1, close - open - 1));
        open = close + 1;
    }
    // The reader takes as many strings as the values line announces: one per
    // colour and one per row after it.
    if (strings.empty())
        return {};
    const QList<QByteArray> values = strings[0].simplified().split(' ');
    if (values.size() < 4)
        return {};
    const qint64 rows = values[1].toLongLong(), colours = values[2].toLongLong();
    const qint64 available = qint64(strings.size()) - 1;
    if (rows < 0 || colours < 0 || colours > available || rows > available - colours)
        return {};
    std::vector<const char*> lines;
    for (const QByteArray& s : strings)
        lines.push_back(s.constData());
    return QImage(lines.data());
}
} // namespace

int TCursorTable::Add(const QString& name, QPoint hotSpot)
{
    const QImage image = ReadXpm(QStringLiteral(":/vandrel/cursors/") + name);
    if (image.isNull())
        throw EOutOfResources("Cannot load cursor resource");
    if (FEntries.size() >= MaxIndex)
        throw EOutOfResources("Too many user-defined cursors");
    FEntries.push_back(TEntry{image, hotSpot, std::nullopt});
    return int(FEntries.size());
}

QCursor TCursorTable::Cursor(int index) const
{
    if (index < 1 || index > int(FEntries.size()))
        return QCursor(Qt::ArrowCursor);
    const TEntry& e = FEntries[index - 1];
    // One QCursor per entry, so that a cursor compares equal to itself.
    if (!e.Made)
        e.Made = QCursor(QPixmap::fromImage(e.Image), e.HotSpot.x(), e.HotSpot.y());
    return *e.Made;
}

TCursorTable& ScreenCursors()
{
    static TCursorTable table;
    return table;
}

void RegisterPreviewCursors()
{
    if (crMagnifier != 0)
        return;
    // The cursors are registered while the library is being loaded, possibly
    // before the resource compiler's own start-up code has run.
    InitCursorResources();
    // Hot spots: the centre of the lens, the middle of the palm.
    crMagnifier = ScreenCursors().Add(QStringLiteral("MAGNIFIEREH"), QPoint(12, 12));
    crHand = ScreenCursors().Add(QStringLiteral("HANDEH"), QPoint(16, 15));
}

} // namespace Vandrel
