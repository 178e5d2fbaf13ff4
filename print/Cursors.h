#pragma once
// The screen cursor table: user-defined cursors registered under small
// indexes, as the page panel of the preview refers to its magnifier and hand.
// The table keeps the loaded image; the QCursor is made on first use, because
// Qt can make cursors only once a GUI application runs.
#include "core/Export.h"

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>
#include <vector>

namespace Vandrel {

class VANDREL_EXPORT TCursorTable {
public:
    static constexpr int MaxIndex = 32767;

    // Loads the cursor image `name` from the library's resources and registers
    // it at the first free index from 1, which it returns. EOutOfResources
    // "Cannot load cursor resource" when there is no such resource, "Too many
    // user-defined cursors" when every index is taken.
    int Add(const QString& name, QPoint hotSpot);
    // The cursor at `index`; the standard arrow where nothing is registered.
    QCursor Cursor(int index) const;

private:
    struct TEntry {
        QImage Image;
        QPoint HotSpot;
        mutable std::optional<QCursor> Made;
    };
    // Entry i - 1 is index i: nothing is ever unregistered, so the first
    // free index is the one after the last.
    std::vector<TEntry> FEntries;
};

// The process's cursor table.
VANDREL_EXPORT TCursorTable& ScreenCursors();

// Indexes of the preview's cursors; 0 until RegisterPreviewCursors has run.
extern VANDREL_EXPORT int crMagnifier;
extern VANDREL_EXPORT int crHand;

// Registers the magnifier and the hand once per process; later calls do
// nothing. The library's BarPrView unit calls it when the library is loaded,
// which needs no GUI application: the table loads the images, the cursors
// are made when first asked for.
VANDREL_EXPORT void RegisterPreviewCursors();

} // namespace Vandrel
