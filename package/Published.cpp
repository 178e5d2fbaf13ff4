#include "package/Published.h"

#include <QByteArray>
#include <QMetaEnum>

namespace Vandrel {

namespace {

// The first property index that the library's classes declare: the count of
// the nearest Qt base class.
int FirstOwnProperty(const QMetaObject& meta)
{
    const QMetaObject* base = &meta;
    while (base && QByteArrayView(base->className()).startsWith("Vandrel::"))
        base = base->superClass();
    return base ? base->propertyCount() : 0;
}

} // namespace

std::vector<QMetaProperty> PublishedProperties(const QMetaObject& meta)
{
    std::vector<QMetaProperty> published;
    for (int i = FirstOwnProperty(meta); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (property.isDesignable() && meta.indexOfProperty(property.name()) == i)
            published.push_back(property);
    }
    return published;
}

std::optional<QVariant> DeclaredDefault(const QMetaObject& meta, const QMetaProperty& property)
{
    const int index = meta.indexOfClassInfo(QByteArray("default:") + property.name());
    if (index < 0)
        return std::nullopt;
    const char* text = meta.classInfo(index).value();
    bool known = true;
    QVariant value = property.isEnumType() ? QVariant(property.enumerator().keyToValue(text, &known))
                                           : QVariant(QString::fromLatin1(text));
    if (!known || !value.convert(property.metaType()))
        return std::nullopt;
    return value;
}

bool IsStoredProperty(const QObject& object, const char* name)
{
    const QMetaObject& meta = *object.metaObject();
    const int index = meta.indexOfProperty(name);
    if (index < 0)
        return true;
    const QMetaProperty property = meta.property(index);
    if (!property.isStored())
        return false;
    const std::optional<QVariant> declared = DeclaredDefault(meta, property);
    return !declared || property.read(&object) != *declared;
}

} // namespace Vandrel
