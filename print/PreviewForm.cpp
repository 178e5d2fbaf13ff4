#include "print/PreviewForm.h"

#include "core/Exceptions.h"
#include "print/PrinterPreview.h"

#include <QAction>
#include <QActionGroup>
#include <QLayout>
#include <QMenu>
#include <QVBoxLayout>

namespace Vandrel {

namespace {
// The zoom menu, in order. There is no item for 25 %.
struct TScaleItem {
    QAction* TBarPreviewForm::*Field;
    const char* Name;
    const char* Caption;
    TViewMode Mode; // the item's tag
};

constexpr TScaleItem ScaleItems[] = {
    {&TBarPreviewForm::N5001, "N5001", "500%", vm500},
    {&TBarPreviewForm::N2001, "N2001", "200%", vm200},
    {&TBarPreviewForm::N1501, "N1501", "150%", vm150},
    {&TBarPreviewForm::N1001, "N1001", "100%", vm100},
    {&TBarPreviewForm::N751, "N751", "75%", vm75},
    {&TBarPreviewForm::N501, "N501", "50%", vm50},
    {&TBarPreviewForm::N101, "N101", "10%", vm10},
    {&TBarPreviewForm::PageWidth1, "PageWidth1", "Page Width", vmPageWidth},
    {&TBarPreviewForm::WholePage1, "WholePage1", "Whole Page", vmFullPage},
};
} // namespace

TBarPreviewForm::TBarPreviewForm(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Barcode Preview"));
    // The client area: the window manager adds the frame around it.
    resize(536, 348);
    PreviewBox = new TBarPreBox(this);
    PreviewBox->setObjectName(QStringLiteral("PreviewBox"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PreviewBox);

    PMenuScale = new QMenu(this);
    PMenuScale->setObjectName(QStringLiteral("PMenuScale"));
    auto* group = new QActionGroup(PMenuScale);
    for (const TScaleItem& item : ScaleItems) {
        QAction* action = PMenuScale->addAction(QString::fromLatin1(item.Caption));
        action->setObjectName(QString::fromLatin1(item.Name));
        action->setData(int(item.Mode));
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, action] { N5001Click(action); });
        this->*item.Field = action;
    }
    PreviewBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PreviewBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PMenuScale->popup(PreviewBox->mapToGlobal(at)); });
}

TBarPreviewForm::~TBarPreviewForm()
{
    if (BarPreviewForm == this)
        BarPreviewForm = nullptr;
}

void TBarPreviewForm::N5001Click(QObject* sender)
{
    auto* item = qobject_cast<QAction*>(sender);
    if (!item)
        throw EInvalidCast("Invalid class typecast");
    item->setChecked(true);
    PreviewBox->SetViewMode(TViewMode(item->data().toInt()));
    PreviewBox->UpdatePageSetup();
}

QImage TBarPreviewForm::GrabPreview(QSize size, TViewMode mode)
{
    resize(size);
    layout()->activate();
    PreviewBox->SetViewMode(mode);
    PreviewBox->UpdatePageSetup();
    return grab().toImage();
}

} // namespace Vandrel
