#include "apps/designer/DesignerPlugin.h"

#include "package/Published.h"

#include <QColor>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerFormWindowManagerInterface>
#include <QDesignerPropertySheetExtension>
#include <QExtensionManager>
#include <QIcon>
#include <QMetaEnum>
#include <QXmlStreamWriter>

#include <algorithm>
#include <memory>

namespace Vandrel {

namespace {

bool IsComponentWidget(const QWidget& widget)
{
    const std::vector<TRegisteredComponent>& registered = RegisteredComponents();
    return std::any_of(registered.begin(), registered.end(),
                       [&](const TRegisteredComponent& r) { return r.Class.WidgetClass == widget.metaObject(); });
}

// Marks the published properties of a component on a form as changed exactly
// where the library stores them, as Designer saves what is marked.
void MarkStored(QDesignerFormEditorInterface* core, QWidget& widget)
{
    if (!IsComponentWidget(widget))
        return;
    auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), &widget);
    if (!sheet)
        return;
    for (const QMetaProperty& property : PublishedProperties(*widget.metaObject())) {
        const int index = sheet->indexOf(QString::fromLatin1(property.name()));
        if (index >= 0 && sheet->isVisible(index))
            sheet->setChanged(index, IsStoredProperty(widget, property.name()));
    }
}

void MarkForm(QDesignerFormEditorInterface* core, QDesignerFormWindowInterface* form)
{
    if (QWidget* main = form->mainContainer())
        for (QWidget* widget : main->findChildren<QWidget*>())
            MarkStored(core, *widget);
}

// A property element of a form file. Declared defaults are enumerators,
// booleans, numbers and colours.
void WriteProperty(QXmlStreamWriter& xml, const QMetaProperty& property, const QVariant& value)
{
    xml.writeStartElement("property");
    xml.writeAttribute("name", QString::fromLatin1(property.name()));
    if (property.isEnumType()) {
        const QMetaEnum type = property.enumerator();
        const QString key = QString::fromLatin1(type.valueToKey(value.toInt()));
        xml.writeTextElement("enum", QString::fromLatin1(type.scope()) + "::" + key);
    } else if (value.typeId() == QMetaType::Bool) {
        xml.writeTextElement("bool", value.toBool() ? "true" : "false");
    } else if (value.typeId() == QMetaType::QColor) {
        const QColor color = value.value<QColor>();
        xml.writeStartElement("color");
        xml.writeTextElement("red", QString::number(color.red()));
        xml.writeTextElement("green", QString::number(color.green()));
        xml.writeTextElement("blue", QString::number(color.blue()));
        xml.writeEndElement();
    } else {
        xml.writeTextElement("number", value.toString());
    }
    xml.writeEndElement();
}

void WriteGeometry(QXmlStreamWriter& xml, QSize size)
{
    xml.writeStartElement("property");
    xml.writeAttribute("name", "geometry");
    xml.writeStartElement("rect");
    xml.writeTextElement("x", "0");
    xml.writeTextElement("y", "0");
    xml.writeTextElement("width", QString::number(size.width()));
    xml.writeTextElement("height", QString::number(size.height()));
    xml.writeEndElement();
    xml.writeEndElement();
}

} // namespace

TComponentWidget::TComponentWidget(const TRegisteredComponent& component, TDesignerPlugin* plugin)
    : QObject(plugin), FComponent(component), FPlugin(plugin)
{
}

QString TComponentWidget::name() const
{
    return QString::fromLatin1(FComponent.Class.WidgetClass->className());
}

QString TComponentWidget::group() const
{
    return FComponent.Page;
}

QString TComponentWidget::toolTip() const
{
    return FComponent.Class.ToolTip;
}

QString TComponentWidget::whatsThis() const
{
    return FComponent.ClassName + QStringLiteral(": ") + FComponent.Class.ToolTip;
}

QString TComponentWidget::includeFile() const
{
    return FComponent.Class.IncludeFile;
}

QIcon TComponentWidget::icon() const
{
    return QIcon(QStringLiteral(":/vandrel/palette/") + FComponent.ClassName.toUpper());
}

QWidget* TComponentWidget::createWidget(QWidget* parent)
{
    QWidget* widget = FComponent.Class.CreateWidget(parent);
    if (FCore && parent)
        widget->show();
    return widget;
}

void TComponentWidget::initialize(QDesignerFormEditorInterface* core)
{
    if (FCore)
        return;
    FCore = core;
    FPlugin->FollowForms(core);
}

QString TComponentWidget::domXml() const
{
    const QMetaObject& meta = *FComponent.Class.WidgetClass;
    const std::unique_ptr<QWidget> widget(FComponent.Class.CreateWidget(nullptr));
    QString text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.writeStartElement("ui");
    xml.writeAttribute("language", "c++");
    xml.writeStartElement("widget");
    xml.writeAttribute("class", name());
    // Named after the component; Designer numbers further ones.
    xml.writeAttribute("name", FComponent.ClassName.mid(1));
    WriteGeometry(xml, widget->size());
    for (const QMetaProperty& property : PublishedProperties(meta))
        if (const std::optional<QVariant> value = DeclaredDefault(meta, property))
            WriteProperty(xml, property, *value);
    xml.writeEndElement();
    xml.writeEndElement();
    return text;
}

TDesignerPlugin::TDesignerPlugin(QObject* parent) : QObject(parent)
{
    Register();
    for (const TRegisteredComponent& component : RegisteredComponents())
        FWidgets.append(new TComponentWidget(component, this));
}

void TDesignerPlugin::FollowForms(QDesignerFormEditorInterface* core)
{
    if (FFollowed == core)
        return;
    FFollowed = core;
    // Loading a form, dropping a component and every edit end in a change of
    // the form; each time the marks are set again from the values.
    connect(core->formWindowManager(), &QDesignerFormWindowManagerInterface::formWindowAdded, this,
            [core](QDesignerFormWindowInterface* form) {
                connect(form, &QDesignerFormWindowInterface::changed, form, [core, form] { MarkForm(core, form); });
            });
}

} // namespace Vandrel
