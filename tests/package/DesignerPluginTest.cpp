// The Qt Designer plugin as Designer and QUiLoader use it: the components
// Register puts on the palette, a form holding all of them loaded and saved
// again, and Designer finding the installed plugin through its plugin path.
#include "package/Published.h"
#include "pdf417/BarPDF417.h"
#include "pdf417/DBBarPDF417.h"
#include "reader/ScanBarCodeHolder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDesignerComponents>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowCursorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerFormWindowManagerInterface>
#include <QDesignerIntegration>
#include <QDesignerWidgetDataBaseInterface>
#include <QFile>
#include <QFileInfo>
#include <QFormBuilder>
#include <QIcon>
#include <QPluginLoader>
#include <QProcess>
#include <QTemporaryDir>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <gtest/gtest.h>

#include <memory>

namespace VandrelTest {

using namespace Vandrel;

namespace {

struct TExpectedWidget {
    const char* Name;
    const char* IncludeFile;
    const char* Icon;
};

const TExpectedWidget Palette[] = {
    {"Vandrel::TBarPDF417", "vandrel/BarPDF417.h", "TBARPDF417"},
    {"Vandrel::TDBBarPDF417", "vandrel/DBBarPDF417.h", "TDBBARPDF417"},
    {"Vandrel::TQRPDF417", "vandrel/QRPDF417.h", "TQRPDF417"},
    {"Vandrel::TDBQRPDF417", "vandrel/QRPDF417.h", "TDBQRPDF417"},
    {"Vandrel::TSingleBarCode", "vandrel/SingleBarcode.h", "TSINGLEBARCODE"},
    {"Vandrel::TQRSingleBarCode", "vandrel/QRSingleBarCode.h", "TQRSINGLEBARCODE"},
    {"Vandrel::TDBSingleBarCode", "vandrel/DBSingleBarcode.h", "TDBSINGLEBARCODE"},
    {"Vandrel::TDBQRSingleBarCode", "vandrel/QRSingleBarCode.h", "TDBQRSINGLEBARCODE"},
    {"Vandrel::TScanBarCodeHolder", "vandrel/ScanBarCodeHolder.h", "TSCANBARCODE"},
};

QStringList PaletteNames()
{
    QStringList names;
    for (const TExpectedWidget& w : Palette)
        names.append(QString::fromLatin1(w.Name));
    return names;
}

struct TProperty {
    const char* Widget;
    const char* Name;
    QVariant Value;
};

// What AllComponents.ui sets, none of it at a declared default.
const TProperty Set[] = {
    {"pdf", "BarValue", QStringLiteral("Vandrel PDF417")},
    {"pdf", "ErrorLevel", QVariant::fromValue(Level4)},
    {"pdf", "DataColumn", 5},
    {"pdf", "Angle", QVariant::fromValue(_90)},
    {"pdf", "BarColor", QColor(0, 0, 128)},
    {"dbPdf", "CodeMode", QVariant::fromValue(nMode)},
    {"dbPdf", "PDFType", QVariant::fromValue(Truncated)},
    {"dbPdf", "DataField", QStringLiteral("name")},
    {"qrPdf", "BarValue", QStringLiteral("Band PDF417")},
    {"qrPdf", "Transparent", true},
    {"qrPdf", "DataRow", 10},
    {"qrPdf", "Aspect", 4.5},
    {"dbQrPdf", "DataField", QStringLiteral("code")},
    {"dbQrPdf", "ErrorLevel", QVariant::fromValue(Level2)},
    {"dbQrPdf", "BarX", 3},
    {"single", "CalcuCheck", false},
    {"single", "BarType", QVariant::fromValue(EAN13)},
    {"single", "BarValue", QStringLiteral("400638133393")},
    {"single", "ShowText", false},
    {"single", "BarBackColor", QColor(255, 255, 0)},
    {"single", "UnitType", QVariant::fromValue(MM)},
    {"single", "PrintDPIX", 600},
    {"single", "SymbolWidth", 30.5},
    {"qrSingle", "BarType", QVariant::fromValue(Code39)},
    {"qrSingle", "BarValue", QStringLiteral("BAND-1")},
    {"qrSingle", "Alignment", QVariant::fromValue(taLeft)},
    {"qrSingle", "ShowText", false},
    {"dbSingle", "DataField", QStringLiteral("ean")},
    {"dbSingle", "Angle", QVariant::fromValue(_270)},
    {"dbSingle", "BarColor", QColor(128, 0, 0)},
    {"dbQrSingle", "DataField", QStringLiteral("ean")},
    {"dbQrSingle", "Transparent", true},
    {"dbQrSingle", "BarType", QVariant::fromValue(EAN8)},
    {"scan", "PicFileName", QStringLiteral("labels/pdf417.png")},
    {"scan", "SourceType", QVariant::fromValue(SoureFile)},
    {"scan", "Password", QStringLiteral("secret")},
};

// Properties the file gives at their declared default: a saved form omits them.
const std::pair<const char*, const char*> AtDefault[] = {
    {"pdf", "Alignment"},        {"pdf", "PDFType"},       {"dbPdf", "PrintDPIX"},
    {"qrPdf", "Angle"},          {"dbQrPdf", "IsEncrypt"}, {"single", "BarColor"},
    {"qrSingle", "Transparent"}, {"dbSingle", "ShowText"}, {"dbQrSingle", "BarBackColor"},
};

// Properties without a declared default, left at the new component's value:
// a saved form has them all the same.
const std::pair<const char*, const char*> WithoutDefault[] = {
    {"pdf", "Transparent"}, {"pdf", "SymbolWidth"},    {"pdf", "CodeMode"},
    {"pdf", "Aspect"},      {"pdf", "BarX"},           {"qrPdf", "CodeMode"},
    {"qrPdf", "BarX"},      {"single", "Transparent"}, {"dbSingle", "SymbolHeight"},
};

QByteArray Fixture()
{
    QFile file(QStringLiteral(VANDREL_TEST_DIR "/package/AllComponents.ui"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// The names of the properties a form file stores, by widget.
QMap<QString, QStringList> StoredProperties(const QString& ui)
{
    QMap<QString, QStringList> stored;
    QStringList widgets; // the names of the enclosing widgets; "" for other elements
    QXmlStreamReader xml(ui);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const bool widget = xml.name() == QLatin1String("widget");
            if (xml.name() == QLatin1String("property") && !widgets.isEmpty() && !widgets.last().isEmpty())
                stored[widgets.last()].append(xml.attributes().value("name").toString());
            widgets.append(widget ? xml.attributes().value("name").toString() : QString());
        } else if (xml.isEndElement()) {
            widgets.removeLast();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return stored;
}

void ExpectStoredAsDeclared(const QString& ui)
{
    const QMap<QString, QStringList> stored = StoredProperties(ui);
    for (const TProperty& p : Set)
        EXPECT_TRUE(stored[p.Widget].contains(p.Name)) << p.Widget << "." << p.Name;
    for (const auto& [widget, name] : AtDefault)
        EXPECT_FALSE(stored[widget].contains(name)) << widget << "." << name;
    for (const auto& [widget, name] : WithoutDefault)
        EXPECT_TRUE(stored[widget].contains(name)) << widget << "." << name;
}

void ExpectCarriesTheFixture(QWidget& form)
{
    for (const TProperty& p : Set) {
        const QObject* widget = form.findChild<QObject*>(p.Widget);
        ASSERT_NE(widget, nullptr) << p.Widget;
        EXPECT_EQ(widget->property(p.Name), p.Value) << p.Widget << "." << p.Name;
    }
}

std::unique_ptr<QWidget> LoadForm(const QByteArray& ui)
{
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QFileInfo(QStringLiteral(VANDREL_DESIGNER_PLUGIN)).path());
    QBuffer buffer;
    buffer.setData(ui);
    buffer.open(QIODevice::ReadOnly);
    std::unique_ptr<QWidget> form(loader.load(&buffer));
    EXPECT_TRUE(form) << loader.errorString().toStdString();
    return form;
}

// QFormBuilder writes every writable property unless told otherwise; an
// application saving forms of the library's components asks the library. It
// does not write Q_ENUM values itself: they go as numbers, which it reads
// back into such properties.
class TFormWriter : public QFormBuilder {
protected:
    bool checkProperty(QObject* object, const QString& name) const override
    {
        return IsStoredProperty(*object, name.toLatin1().constData());
    }
    DomProperty* createProperty(QObject* object, const QString& name, const QVariant& value) override
    {
        if (value.metaType().flags().testFlag(QMetaType::IsEnumeration))
            return QFormBuilder::createProperty(object, name, value.toInt());
        return QFormBuilder::createProperty(object, name, value);
    }
};

// Designer's form editor, as the designer program sets it up, with the
// plugin installed under a temporary prefix. Designer looks for plugins in
// the "designer" folder of each library path; QT_PLUGIN_PATH adds to those
// paths at start-up, addLibraryPath does the same here.
struct TDesigner {
    QTemporaryDir Prefix;
    QString Error;
    QDesignerFormEditorInterface* Core = nullptr;

    TDesigner()
    {
        QProcess install;
        install.start(QStringLiteral(VANDREL_CMAKE),
                      {"--install", VANDREL_BUILD_DIR, "--component", "designer", "--prefix", Prefix.path()});
        if (!install.waitForFinished(120000) || install.exitCode() != 0) {
            Error = QString::fromLocal8Bit(install.readAllStandardOutput() + install.readAllStandardError());
            return;
        }
        QCoreApplication::addLibraryPath(Prefix.filePath(QStringLiteral(VANDREL_QT_PLUGINS)));
        Core = QDesignerComponents::createFormEditor(qApp);
        new QDesignerIntegration(Core, Core);
        QDesignerComponents::initializePlugins(Core);
    }
};

TDesigner& Designer()
{
    static TDesigner designer;
    return designer;
}

} // namespace

TEST(DesignerPlugin, OffersTheRegisteredComponentsInOrder)
{
    QPluginLoader loader(QStringLiteral(VANDREL_DESIGNER_PLUGIN));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
    ASSERT_NE(collection, nullptr) << loader.errorString().toStdString();
    const QList<QDesignerCustomWidgetInterface*> widgets = collection->customWidgets();
    ASSERT_EQ(widgets.size(), std::size(Palette));
    QWidget parent;
    for (int i = 0; i < widgets.size(); ++i) {
        QDesignerCustomWidgetInterface& w = *widgets[i];
        const TExpectedWidget& expected = Palette[i];
        SCOPED_TRACE(expected.Name);
        EXPECT_EQ(w.name(), expected.Name);
        EXPECT_EQ(w.group(), "Vandrel");
        EXPECT_EQ(w.includeFile(), expected.IncludeFile);
        EXPECT_FALSE(w.toolTip().isEmpty());
        EXPECT_FALSE(w.isContainer());
        const QImage icon(QStringLiteral(":/vandrel/palette/") + expected.Icon);
        EXPECT_EQ(w.icon().pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32),
                  icon.convertToFormat(QImage::Format_ARGB32));

        QWidget* created = w.createWidget(&parent);
        ASSERT_NE(created, nullptr);
        EXPECT_EQ(created->metaObject()->className(), w.name());

        // The DOM XML drops the widget at its size with each declared default.
        const QMap<QString, QStringList> dom = StoredProperties(w.domXml());
        ASSERT_EQ(dom.size(), 1);
        EXPECT_TRUE(w.domXml().contains("class=\"" + w.name() + "\""));
        const QMetaObject& meta = *created->metaObject();
        QStringList defaults{"geometry"};
        for (const QMetaProperty& p : PublishedProperties(meta))
            if (DeclaredDefault(meta, p))
                defaults.append(p.name());
        EXPECT_EQ(dom.first(), defaults);
    }
    // Outside Designer the reader's holder is created hidden, as the application has it.
    parent.show();
    EXPECT_TRUE(parent.findChild<TScanBarCodeHolder*>()->isHidden());
    EXPECT_FALSE(parent.findChild<TBarPDF417*>()->isHidden());
}

TEST(DesignerPlugin, UiLoaderBuildsAFormOfEveryComponentAndSavingOmitsDefaults)
{
    const std::unique_ptr<QWidget> form = LoadForm(Fixture());
    ASSERT_TRUE(form);
    ExpectCarriesTheFixture(*form);
    auto* scan = form->findChild<TScanBarCodeHolder*>("scan");
    ASSERT_NE(scan, nullptr);
    EXPECT_EQ(scan->Component().PicFileName, "labels/pdf417.png");
    EXPECT_EQ(scan->Component().Password(), "secret");
    form->show();
    EXPECT_TRUE(scan->isHidden());

    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    TFormWriter().save(&saved, form.get());
    ExpectStoredAsDeclared(QString::fromUtf8(saved.data()));
}

TEST(DesignerPlugin, DesignerFindsTheInstalledPluginInItsPluginPath)
{
    TDesigner& designer = Designer();
    ASSERT_NE(designer.Core, nullptr) << designer.Error.toStdString();
    const QString installed = designer.Prefix.filePath(QStringLiteral(VANDREL_QT_PLUGINS "/designer/") +
                                                       QFileInfo(QStringLiteral(VANDREL_DESIGNER_PLUGIN)).fileName());
    EXPECT_TRUE(QFile::exists(installed)) << installed.toStdString();

    QStringList group;
    const QDesignerWidgetDataBaseInterface& widgets = *designer.Core->widgetDataBase();
    for (int i = 0; i < widgets.count(); ++i)
        if (widgets.item(i)->group() == "Vandrel")
            group.append(widgets.item(i)->name());
    EXPECT_EQ(group, PaletteNames());
}

TEST(DesignerPlugin, DesignerSavesOnlyWhatDiffersFromTheDeclaredDefaults)
{
    TDesigner& designer = Designer();
    ASSERT_NE(designer.Core, nullptr) << designer.Error.toStdString();
    const std::unique_ptr<QDesignerFormWindowInterface> form(
        designer.Core->formWindowManager()->createFormWindow(nullptr));
    form->setContents(QString::fromUtf8(Fixture()));
    ExpectStoredAsDeclared(form->contents());
    // What Designer saved reads back as it was.
    const std::unique_ptr<QWidget> saved = LoadForm(form->contents().toUtf8());
    ASSERT_TRUE(saved);
    ExpectCarriesTheFixture(*saved);
    // In Designer the reader's holder shows on the form.
    EXPECT_FALSE(form->mainContainer()->findChild<TScanBarCodeHolder*>("scan")->isHidden());

    // An edit in the property editor stores a value, unless it is the default.
    auto* single = form->mainContainer()->findChild<QWidget*>("single");
    form->cursor()->setWidgetProperty(single, QStringLiteral("ShowText"), true);
    form->cursor()->setWidgetProperty(single, QStringLiteral("Transparent"), true);
    const QStringList stored = StoredProperties(form->contents())["single"];
    EXPECT_FALSE(stored.contains("ShowText"));
    EXPECT_TRUE(stored.contains("Transparent"));
}

} // namespace VandrelTest
