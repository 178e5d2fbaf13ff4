#include "reader/ScanBarCodeHolder.h"

#include <QPainter>
#include <QPixmap>

namespace Vandrel {

namespace {
// The palette icon inside a two-pixel frame.
constexpr int IconSize = 24;
constexpr int Frame = 2;
} // namespace

TScanBarCodeHolder::TScanBarCodeHolder(QWidget* parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
    hide();
}

QSize TScanBarCodeHolder::sizeHint() const
{
    return {IconSize + 2 * Frame, IconSize + 2 * Frame};
}

void TScanBarCodeHolder::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawPixmap(Frame, Frame, QPixmap(QStringLiteral(":/vandrel/palette/TSCANBARCODE")));
}

} // namespace Vandrel
