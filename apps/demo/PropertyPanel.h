#pragma once
// A form with one editor for each designable property a control declares
// beyond QWidget's own, built from its Q_PROPERTYs alone: enumerations as
// combo boxes, booleans as check boxes, numbers as spin boxes, text as line
// edits, a colour as its name and a font as its family and pixel size. Every
// edit is written to the control at once, and the control repaints itself.
// Each editor is named after its property.
#include <QWidget>

namespace VandrelDemo {

class TPropertyPanel : public QWidget {
    Q_OBJECT

public:
    explicit TPropertyPanel(QWidget* control, QWidget* parent = nullptr);
};

} // namespace VandrelDemo
