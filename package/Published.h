#pragma once
// The published properties of the components and their declared defaults.
// A form stores a published property only when it differs from its declared
// default; a property without one is always stored. A class declares a
// default next to its properties as class information:
//     Q_CLASSINFO("default:Alignment", "taCenter")
// with the value written as the enumerator's key, "true"/"false", a number or
// a colour name; a derived class may declare its own.
#include "core/Export.h"

#include <QMetaObject>
#include <QMetaProperty>
#include <QVariant>

#include <optional>
#include <vector>

namespace Vandrel {

// The designable properties the library's own classes declare for `meta`
// (not those of Qt's base classes), base class first; a property declared
// again by a derived class appears once, as the derived class declares it.
VANDREL_EXPORT std::vector<QMetaProperty> PublishedProperties(const QMetaObject& meta);

// The declared default of `property` in class `meta`, of the property's type.
VANDREL_EXPORT std::optional<QVariant> DeclaredDefault(const QMetaObject& meta, const QMetaProperty& property);

// Whether a form stores the property `name` of `object`: a property that is
// STORED and not equal to its declared default. Properties that are not the
// object's meta-properties are left to the form (true).
VANDREL_EXPORT bool IsStoredProperty(const QObject& object, const char* name);

} // namespace Vandrel
