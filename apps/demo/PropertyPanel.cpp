#include "apps/demo/PropertyPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QSpinBox>

namespace VandrelDemo {

namespace {

// The controls' numbers are sizes, counts and resolutions: none is negative.
constexpr int Largest = 10000;

// Writes every value `changed` announces to the property, at once.
template <typename Editor, typename Signal>
Editor* Bind(Editor* editor, Signal changed, QObject* control, const QMetaProperty& property)
{
    QObject::connect(editor, changed, control,
                     [=](const auto& value) { property.write(control, QVariant::fromValue(value)); });
    return editor;
}

template <typename SpinBox, typename Number>
QWidget* NumberEditor(QObject* control, const QMetaProperty& property, Number value)
{
    auto* editor = new SpinBox;
    editor->setRange(0, Largest);
    editor->setValue(value);
    return Bind(editor, &SpinBox::valueChanged, control, property);
}

QWidget* EnumEditor(QObject* control, const QMetaProperty& property)
{
    auto* editor = new QComboBox;
    const QMetaEnum values = property.enumerator();
    for (int i = 0; i < values.keyCount(); ++i)
        editor->addItem(QString::fromLatin1(values.key(i)), values.value(i));
    editor->setCurrentIndex(editor->findData(property.read(control).toInt()));
    QObject::connect(editor, &QComboBox::currentIndexChanged, control,
                     [=] { property.write(control, editor->currentData()); });
    return editor;
}

// A colour by name ("navy") or number ("#000080"); text that names none yet is not written.
QWidget* ColorEditor(QObject* control, const QMetaProperty& property)
{
    auto* editor = new QLineEdit(property.read(control).value<QColor>().name());
    QObject::connect(editor, &QLineEdit::textEdited, control, [=](const QString& text) {
        if (const QColor color = QColor::fromString(text); color.isValid())
            property.write(control, color);
    });
    return editor;
}

// The family and the pixel size; the font's other attributes are kept.
QWidget* FontEditor(QObject* control, const QMetaProperty& property)
{
    const QFont font = property.read(control).value<QFont>();
    auto* family = new QFontComboBox;
    // Sized to the panel, not to the longest family name installed.
    family->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    family->setMinimumContentsLength(8);
    family->setCurrentFont(font);
    auto* size = new QSpinBox;
    size->setRange(1, 200);
    size->setSuffix(QStringLiteral(" px"));
    size->setValue(font.pixelSize());
    const auto apply = [=] {
        QFont changed = property.read(control).value<QFont>();
        changed.setFamily(family->currentFont().family());
        changed.setPixelSize(size->value());
        property.write(control, changed);
    };
    QObject::connect(family, &QFontComboBox::currentFontChanged, control, apply);
    QObject::connect(size, &QSpinBox::valueChanged, control, apply);

    auto* editor = new QWidget;
    auto* row = new QHBoxLayout(editor);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(family, 1);
    row->addWidget(size);
    return editor;
}

// The editor for the property's type; null for a type this panel does not edit.
QWidget* Editor(QObject* control, const QMetaProperty& property)
{
    if (property.isEnumType())
        return EnumEditor(control, property);
    const QVariant value = property.read(control);
    switch (property.typeId()) {
    case QMetaType::Bool: {
        auto* editor = new QCheckBox;
        editor->setChecked(value.toBool());
        return Bind(editor, &QCheckBox::toggled, control, property);
    }
    case QMetaType::Int: return NumberEditor<QSpinBox>(control, property, value.toInt());
    case QMetaType::Float:
    case QMetaType::Double: return NumberEditor<QDoubleSpinBox>(control, property, value.toDouble());
    case QMetaType::QString: return Bind(new QLineEdit(value.toString()), &QLineEdit::textEdited, control, property);
    case QMetaType::QColor: return ColorEditor(control, property);
    case QMetaType::QFont: return FontEditor(control, property);
    default: return nullptr;
    }
}

} // namespace

TPropertyPanel::TPropertyPanel(QWidget* control, QWidget* parent) : QWidget(parent)
{
    auto* form = new QFormLayout(this);
    // QWidget's own properties (geometry, palette, ...) are every widget's; the
    // control's begin after them.
    const QMetaObject* meta = control->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        // A property a derived class declares again (the data-aware BarValue)
        // is edited as the last declaration says, or not at all.
        if (!property.isDesignable() || !property.isWritable() || meta->indexOfProperty(property.name()) != i)
            continue;
        if (QWidget* editor = Editor(control, property)) {
            editor->setObjectName(QString::fromLatin1(property.name()));
            form->addRow(QString::fromLatin1(property.name()), editor);
        }
    }
}

} // namespace VandrelDemo
