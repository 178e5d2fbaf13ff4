#pragma once
// Design-time registration: the component classes a form designer offers, by
// palette page. Register puts the library's nine components on the page
// "Vandrel"; the Qt Designer plugin builds its palette from what it finds here.
#include "core/Export.h"

#include <QMetaObject>
#include <QString>

#include <utility>
#include <vector>

class QWidget;

namespace Vandrel {

// A component class as a form designer needs it.
struct TComponentClass {
    const QMetaObject* MetaObject;
    // The widget a form holds for the class: the class itself, or for a class
    // that is no widget the widget that stands for it.
    const QMetaObject* WidgetClass;
    QWidget* (*CreateWidget)(QWidget* parent);
    // The header declaring WidgetClass, as applications include it.
    QString IncludeFile;
    QString ToolTip;
};

// The class T, held on forms as the widget W.
template <class T, class W = T>
TComponentClass ComponentClass(QString includeFile, QString toolTip)
{
    return {&T::staticMetaObject, &W::staticMetaObject, [](QWidget* parent) -> QWidget* { return new W(parent); },
            std::move(includeFile), std::move(toolTip)};
}

struct TRegisteredComponent {
    QString Page;
    int Order;         // its place on the page, from 1
    QString ClassName; // the published name, without the namespace
    TComponentClass Class;
};

// Registers `classes` on the palette page `page`, after those already there.
// A class that is registered already keeps its place.
VANDREL_EXPORT void RegisterComponents(const QString& page, const std::vector<TComponentClass>& classes);

// Everything registered, in the order of registration.
VANDREL_EXPORT const std::vector<TRegisteredComponent>& RegisteredComponents();

// Registers the library's nine components on the page "Vandrel". A form
// designer calls it when it loads the library.
VANDREL_EXPORT void Register();

} // namespace Vandrel
