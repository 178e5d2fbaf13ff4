#include "package/Registry.h"

#include "linear/DBSingleBarcode.h"
#include "linear/SingleBarcode.h"
#include "pdf417/BarPDF417.h"
#include "pdf417/DBBarPDF417.h"
#include "reader/ScanBarCodeHolder.h"
#include "report/QRPDF417.h"
#include "report/QRSingleBarCode.h"

#include <algorithm>

namespace Vandrel {

namespace {

std::vector<TRegisteredComponent>& Registry()
{
    static std::vector<TRegisteredComponent> registry;
    return registry;
}

QString PublishedName(const QMetaObject& meta)
{
    QString name = QString::fromLatin1(meta.className());
    return name.mid(name.lastIndexOf(u':') + 1);
}

} // namespace

void RegisterComponents(const QString& page, const std::vector<TComponentClass>& classes)
{
    std::vector<TRegisteredComponent>& registry = Registry();
    for (const TComponentClass& c : classes) {
        const bool known = std::any_of(registry.begin(), registry.end(), [&](const TRegisteredComponent& r) {
            return r.Class.MetaObject == c.MetaObject;
        });
        if (known)
            continue;
        const auto onPage = std::count_if(registry.begin(), registry.end(),
                                          [&](const TRegisteredComponent& r) { return r.Page == page; });
        registry.push_back({page, int(onPage) + 1, PublishedName(*c.MetaObject), c});
    }
}

const std::vector<TRegisteredComponent>& RegisteredComponents()
{
    return Registry();
}

void Register()
{
    const std::vector<TComponentClass> components{
        ComponentClass<TBarPDF417>("vandrel/BarPDF417.h", "PDF417 symbol"),
        ComponentClass<TDBBarPDF417>("vandrel/DBBarPDF417.h", "PDF417 symbol of a database field"),
        ComponentClass<TQRPDF417>("vandrel/QRPDF417.h", "PDF417 symbol on a report band"),
        ComponentClass<TDBQRPDF417>("vandrel/QRPDF417.h", "PDF417 symbol of a database field on a report band"),
        ComponentClass<TSingleBarCode>("vandrel/SingleBarcode.h", "Linear barcode of any of 23 symbologies"),
        ComponentClass<TQRSingleBarCode>("vandrel/QRSingleBarCode.h", "Linear barcode on a report band"),
        ComponentClass<TDBSingleBarCode>("vandrel/DBSingleBarcode.h", "Linear barcode of a database field"),
        ComponentClass<TDBQRSingleBarCode>("vandrel/QRSingleBarCode.h",
                                           "Linear barcode of a database field on a report band"),
        ComponentClass<TScanBarCode, TScanBarCodeHolder>(
            "vandrel/ScanBarCodeHolder.h",
            "Reads PDF417 symbols back from a picture; hidden while the application runs"),
    };
    // One class per call, so that each takes the next place on the page.
    for (const TComponentClass& c : components)
        RegisterComponents(QStringLiteral("Vandrel"), {c});
}

} // namespace Vandrel
