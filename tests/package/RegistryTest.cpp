// Register, the registry it fills and the palette icons.
#include "package/Registry.h"
#include "linear/SingleBarcode.h"
#include "print/PreBox.h"
#include "reader/ScanBarCodeHolder.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace VandrelTest {

using namespace Vandrel;

namespace {

std::vector<TRegisteredComponent> OnPage(const QString& page)
{
    std::vector<TRegisteredComponent> found;
    for (const TRegisteredComponent& r : RegisteredComponents())
        if (r.Page == page)
            found.push_back(r);
    return found;
}

} // namespace

TEST(Register, PutsNineComponentsOnThePageVandrelInOrder)
{
    // A designer that loads the library twice registers nothing twice.
    Register();
    Register();
    const QStringList expected{"TBarPDF417",       "TDBBarPDF417",       "TQRPDF417",
                               "TDBQRPDF417",      "TSingleBarCode",     "TQRSingleBarCode",
                               "TDBSingleBarCode", "TDBQRSingleBarCode", "TScanBarCode"};
    const std::vector<TRegisteredComponent> vandrel = OnPage(QStringLiteral("Vandrel"));
    QStringList names;
    for (const TRegisteredComponent& r : vandrel) {
        names.append(r.ClassName);
        EXPECT_EQ(r.Order, names.size());
        EXPECT_EQ(QString::fromLatin1(r.Class.MetaObject->className()), "Vandrel::" + r.ClassName);
    }
    EXPECT_EQ(names, expected);

    // Forms hold every component as a widget: the reader, which is none, as its holder.
    for (const TRegisteredComponent& r : vandrel) {
        const std::unique_ptr<QWidget> widget(r.Class.CreateWidget(nullptr));
        EXPECT_EQ(widget->metaObject(), r.Class.WidgetClass) << r.ClassName.toStdString();
        EXPECT_EQ(r.Class.WidgetClass == r.Class.MetaObject, r.ClassName != "TScanBarCode");
    }
    EXPECT_EQ(vandrel.back().Class.WidgetClass, &TScanBarCodeHolder::staticMetaObject);
}

TEST(Register, EachPageNumbersItsOwnPlacesAndAClassKeepsItsPlace)
{
    Register();
    const std::size_t registered = RegisteredComponents().size();
    RegisterComponents(QStringLiteral("Elsewhere"), {ComponentClass<TSingleBarCode>("SingleBarcode.h", "again")});
    EXPECT_EQ(RegisteredComponents().size(), registered);

    RegisterComponents(QStringLiteral("Elsewhere"), {ComponentClass<TBarPreBox>("PreBox.h", "a preview box")});
    const std::vector<TRegisteredComponent> elsewhere = OnPage(QStringLiteral("Elsewhere"));
    ASSERT_EQ(elsewhere.size(), 1u);
    EXPECT_EQ(elsewhere[0].Order, 1);
    EXPECT_EQ(elsewhere[0].ClassName, "TBarPreBox");
    EXPECT_EQ(OnPage(QStringLiteral("Vandrel")).size(), 9u);
}

TEST(Register, EveryComponentHasItsPaletteIcon)
{
    Register();
    for (const TRegisteredComponent& r : OnPage(QStringLiteral("Vandrel"))) {
        const QImage icon(":/vandrel/palette/" + r.ClassName.toUpper());
        ASSERT_FALSE(icon.isNull()) << r.ClassName.toStdString();
        EXPECT_EQ(icon.size(), QSize(24, 24));
        EXPECT_LE(icon.colorCount(), 16);
    }
}

} // namespace VandrelTest
