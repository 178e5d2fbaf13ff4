#pragma once
// The Qt Designer plugin: one custom widget for each component that Register
// puts on the palette, in its order and under its page, with its palette
// icon. Designer stores the properties its property sheet marks as changed;
// the plugin keeps those marks on what the library stores, so a published
// property equal to its declared default stays out of the form file.
#include "package/Registry.h"

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

class QDesignerFormEditorInterface;

namespace Vandrel {

class TDesignerPlugin;

class TComponentWidget : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    TComponentWidget(const TRegisteredComponent& component, TDesignerPlugin* plugin);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    // In Designer the widget is shown, also the one standing for a component
    // that is no widget; QUiLoader gets it as the application would.
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override { return FCore != nullptr; }
    void initialize(QDesignerFormEditorInterface* core) override;
    // The widget as dropped on a form: its size and the published properties
    // that have a declared default, at that default.
    QString domXml() const override;

private:
    TRegisteredComponent FComponent;
    TDesignerPlugin* FPlugin;
    QDesignerFormEditorInterface* FCore = nullptr;
};

class TDesignerPlugin : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit TDesignerPlugin(QObject* parent = nullptr);

    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return FWidgets; }

    // Keeps the stored marks of the components on the forms of `core`; once per core.
    void FollowForms(QDesignerFormEditorInterface* core);

private:
    QList<QDesignerCustomWidgetInterface*> FWidgets;
    QDesignerFormEditorInterface* FFollowed = nullptr;
};

} // namespace Vandrel
