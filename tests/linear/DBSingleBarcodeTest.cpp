// The data layer and the data-aware 1D control on a real SQLite file.
#include "linear/DBSingleBarcode.h"
#include "platform/DataSet.h"
#include "support/Database.h"

#include <QImage>
#include <QMetaProperty>

#include <gtest/gtest.h>

#include <memory>

namespace VandrelTest {

using namespace Vandrel;

namespace {

const QStringList Products{
    "CREATE TABLE products (id INTEGER PRIMARY KEY, name TEXT, ean TEXT)",
    "INSERT INTO products VALUES (1, 'Tea', '4006381333931')",
    "INSERT INTO products VALUES (2, 'Cup', '')",
    "INSERT INTO products VALUES (3, 'Pot', NULL)",
    "INSERT INTO products VALUES (4, 'Jar', '978020137962')",
};

// A control bound to the products table through a data source.
struct Bound {
    explicit Bound(const QString& connection, bool readOnly = false)
    {
        dataSet.SetConnectionName(connection);
        dataSet.SetSQL("SELECT id, name, ean FROM products ORDER BY id");
        dataSet.SetReadOnly(readOnly);
        source.SetDataSet(&dataSet);
        control.FSetBarType(EAN13);
        control.SetDataField("ean");
        control.SetDataSource(&source);
        QObject::connect(&control, &TBarCode::invalidated, [this] { ++repaints; });
    }
    TDataSet dataSet;
    TDataSource source;
    TDBSingleBarCode control;
    int repaints = 0;
};

} // namespace

TEST(DataSet, ScrollsThroughTheRecordsOfAQuery)
{
    TestDatabase db("scroll", Products);
    TDataSet ds;
    ds.SetConnectionName(db.Name());
    ds.SetTableName("products");
    EXPECT_FALSE(ds.Active());
    ds.Open();
    ASSERT_TRUE(ds.Active());
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_EQ(ds.Fields().size(), 3u);
    const TField* ean = ds.FieldByName("EAN"); // field names are not case-sensitive
    ASSERT_NE(ean, nullptr);
    QStringList seen;
    for (ds.First(); !ds.Eof(); ds.Next())
        seen << QString::number(ds.RecNo()) + ":" + ean->DisplayText() + (ean->IsNull() ? "(null)" : "");
    EXPECT_EQ(seen, (QStringList{"1:4006381333931", "2:", "3:(null)", "4:978020137962"}));
    ds.Prior();
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(ds.FindField("missing"), nullptr);
    EXPECT_THROW(ds.FieldByName("missing"), EDatabaseError);
    ds.Close();
    // Closing frees the fields: a field is looked up again after the next Open.
    EXPECT_FALSE(ds.Active());
    EXPECT_TRUE(ds.Fields().empty());
    EXPECT_EQ(ds.FindField("EAN"), nullptr);
}

TEST(DataSet, ErrorsAreReported)
{
    TestDatabase db("errors", Products);
    TDataSet bad;
    bad.SetConnectionName(db.Name());
    bad.SetSQL("SELEKT nonsense");
    EXPECT_THROW(bad.Open(), EDatabaseError);
    EXPECT_FALSE(bad.Active());
    TDataSet nowhere;
    nowhere.SetConnectionName("no such connection");
    nowhere.SetSQL("SELECT 1");
    EXPECT_THROW(nowhere.Open(), EDatabaseError);
}

TEST(DBSingleBarCode, FollowsTheRecordsAndKeepsThePreviousValueForEmptyFields)
{
    TestDatabase db("follow", Products);
    Bound b(db.Name());
    b.dataSet.Open();
    EXPECT_EQ(b.control.BarValue(), "4006381333931");
    b.dataSet.Next(); // empty text
    EXPECT_EQ(b.control.BarValue(), "4006381333931");
    b.dataSet.Next(); // null
    EXPECT_EQ(b.control.BarValue(), "4006381333931");
    b.dataSet.Next(); // 12 digits, completed by the check digit
    EXPECT_EQ(b.control.BarValue(), "9780201379624");
    b.dataSet.First();
    EXPECT_EQ(b.control.BarValue(), "4006381333931");
}

TEST(DBSingleBarCode, OpeningAndClosingRepaint)
{
    TestDatabase db("repaint", Products);
    Bound b(db.Name());
    b.repaints = 0;
    b.dataSet.Open();
    EXPECT_GE(b.repaints, 1);
    const int afterOpen = b.repaints;
    b.dataSet.Close();
    EXPECT_EQ(b.repaints, afterOpen + 1);
    EXPECT_FALSE(b.control.DataLink()->Active());
}

TEST(DBSingleBarCode, ReadOnlyDatasetIsNeverTakenOver)
{
    TestDatabase db("readonly", Products);
    Bound b(db.Name(), true);
    b.dataSet.Open();
    b.dataSet.Last();
    EXPECT_EQ(b.control.BarValue(), "123456");
}

TEST(DBSingleBarCode, UnknownFieldLeavesTheValueAlone)
{
    TestDatabase db("unknown", Products);
    Bound b(db.Name());
    b.control.SetDataField("no_such_field");
    b.dataSet.Open();
    EXPECT_EQ(b.control.BarValue(), "123456");
    b.control.SetDataField("ean"); // naming the field takes its value
    EXPECT_EQ(b.control.BarValue(), "4006381333931");
}

TEST(DBSingleBarCode, FreeingTheDataSourceLeavesTheControlWithoutOne)
{
    TestDatabase db("free", Products);
    TDataSet ds;
    ds.SetConnectionName(db.Name());
    ds.SetTableName("products");
    auto source = std::make_unique<TDataSource>();
    source->SetDataSet(&ds);
    TDBSingleBarCode control;
    control.SetDataField("name");
    control.FSetBarType(Code39);
    control.SetDataSource(source.get());
    ds.Open();
    int activeChanges = 0;
    QObject::connect(&control, &TBarCode::invalidated, [&] { ++activeChanges; });
    source.reset();
    EXPECT_EQ(control.GetDataSource(), nullptr);
    EXPECT_FALSE(control.DataLink()->Active());
    EXPECT_EQ(activeChanges, 1);
    ds.Next(); // no notification reaches the control any more
    EXPECT_EQ(control.BarValue(), "Tea");
    QImage bmp;
    control.CreateBMP(bmp); // still draws
    EXPECT_FALSE(bmp.isNull());
}

TEST(DBSingleBarCode, BarValueIsNotAPublishedPropertyOfTheDataAwareControl)
{
    TDBSingleBarCode control;
    const QMetaObject* mo = control.metaObject();
    const QMetaProperty value = mo->property(mo->indexOfProperty("BarValue"));
    EXPECT_FALSE(value.isDesignable());
    EXPECT_FALSE(value.isStored());
    EXPECT_GE(mo->indexOfProperty("DataField"), 0);
    EXPECT_GE(mo->indexOfProperty("DataSource"), 0);
}

} // namespace VandrelTest
