#include "print/Cursors.h"

#include "platform/Exceptions.h"

#include <QPixmap>

namespace Vandrel {

int crMagnifier = 0;
int crHand = 0;

int TCursorTable::Add(const QString& name, QPoint hotSpot)
{
    const QImage image(QStringLiteral(":/vandrel/cursors/") + name);
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
    // Hot spots: the centre of the lens, the middle of the palm.
    crMagnifier = ScreenCursors().Add(QStringLiteral("MAGNIFIEREH"), QPoint(12, 12));
    crHand = ScreenCursors().Add(QStringLiteral("HANDEH"), QPoint(16, 15));
}

} // namespace Vandrel
