#pragma once
// TBarPreviewForm: the ready-made preview window, a form filled by one
// preview box with a zoom menu. Closing it hides it; PrinterPreview shows it
// again.
#include "core/Export.h"
#include "print/PreBox.h"

#include <QImage>
#include <QSize>
#include <QWidget>

class QAction;
class QMenu;

namespace Vandrel {

class VANDREL_EXPORT TBarPreviewForm : public QWidget {
    Q_OBJECT
public:
    explicit TBarPreviewForm(QWidget* parent = nullptr);
    ~TBarPreviewForm() override;

    QMenu* PMenuScale;
    QAction* N5001;
    QAction* N2001;
    QAction* N1501;
    QAction* N1001;
    QAction* N751;
    QAction* N501;
    QAction* N101;
    QAction* PageWidth1;
    QAction* WholePage1;
    TBarPreBox* PreviewBox;

    // The zoom items' handler: checks the item and selects the view mode its
    // tag names, then lays out again even when the mode was already in force.
    // EInvalidCast when `sender` is not a menu item.
    void N5001Click(QObject* sender);

    // The window as it looks at `size` in view mode `mode`, drawn offscreen.
    QImage GrabPreview(QSize size, TViewMode mode);
};

} // namespace Vandrel
