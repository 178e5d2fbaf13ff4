// The declared defaults of the registered components: what a form stores of
// a new component.
#include "package/Published.h"
#include "package/Registry.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

// A new component stores none of the properties that have a declared
// default, and every other one it may store; every declared default names a
// published property of its class.
TEST(Published, DeclaredDefaultsAreWhatANewComponentHas)
{
    Register();
    for (const TRegisteredComponent& r : RegisteredComponents()) {
        if (r.Page != "Vandrel")
            continue;
        const QMetaObject& meta = *r.Class.WidgetClass;
        const std::unique_ptr<QWidget> widget(r.Class.CreateWidget(nullptr));
        const std::vector<QMetaProperty> published = PublishedProperties(meta);
        for (int i = 0; i < meta.classInfoCount(); ++i) {
            const QByteArray key = meta.classInfo(i).name();
            if (!key.startsWith("default:"))
                continue;
            const QByteArray name = key.mid(8);
            const auto property = std::find_if(published.begin(), published.end(),
                                               [&](const QMetaProperty& p) { return name == p.name(); });
            ASSERT_NE(property, published.end()) << meta.className() << " " << key.constData();
            const std::optional<QVariant> declared = DeclaredDefault(meta, *property);
            ASSERT_TRUE(declared) << meta.className() << " " << key.constData();
            EXPECT_EQ(property->read(widget.get()), *declared) << meta.className() << " " << key.constData();
            EXPECT_FALSE(IsStoredProperty(*widget, name));
        }
        for (const QMetaProperty& property : published) {
            if (!DeclaredDefault(meta, property)) {
                EXPECT_EQ(IsStoredProperty(*widget, property.name()), property.isStored())
                    << meta.className() << " " << property.name();
            }
        }
    }
}

} // namespace VandrelTest
