#include "apps/demo/DemoWindow.h"

#include "apps/demo/PropertyPanel.h"
#include "print/VirtualPrinter.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <exception>
#include <initializer_list>

using namespace Vandrel;

namespace VandrelDemo {

namespace {

QPushButton* Button(const QString& text, QLayout* row)
{
    auto* button = new QPushButton(text);
    row->addWidget(button);
    return button;
}

} // namespace

QString OpenProducts(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile())
        return QStringLiteral("no database file '%1'; name the sample products with --db FILE").arg(fileName);
    QSqlDatabase products = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    // The demo only reads, and read-only SQLite never creates a file.
    products.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    products.setDatabaseName(fileName);
    if (!products.open())
        return QStringLiteral("cannot open '%1': %2").arg(fileName, products.lastError().text());
    return QString();
}

TDemoWindow::TDemoWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Vandrel demo"));
    FMessages = new QPlainTextEdit;
    FMessages->setObjectName(QStringLiteral("Messages"));
    FMessages->setReadOnly(true);
    FMessages->setMaximumHeight(70);
    FMessages->setPlaceholderText(QStringLiteral("What the library says appears here: a value a symbology cannot "
                                                 "carry, a picture without a symbol, a printer that cannot print."));

    auto* layout = new QGridLayout(this);
    layout->addWidget(ControlsBox(), 0, 0);
    layout->addWidget(PropertiesBox(), 0, 1, 3, 1);
    layout->addWidget(DatabaseBox(), 1, 0);
    layout->addWidget(ReaderBox(), 2, 0);
    layout->addWidget(FMessages, 3, 0, 1, 2);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);

    // Last: nothing above may throw once the library's messages come here.
    FPreviousHandler = SetMessageHandler([this](const QString& text) { Say(text); });
}

TDemoWindow::~TDemoWindow()
{
    SetMessageHandler(std::move(FPreviousHandler));
}

QGroupBox* TDemoWindow::ControlsBox()
{
    FLinear = new TSingleBarCode;
    FLinear->setObjectName(QStringLiteral("Linear"));
    FLinear->FSetBarType(Code128_B);
    FLinear->SetBarValueText(QStringLiteral("Vandrel demo"));
    FLinear->setMinimumSize(360, 110);

    FPdf417 = new TBarPDF417;
    FPdf417->setObjectName(QStringLiteral("Pdf417"));
    FPdf417->SetBarValueText(QStringLiteral("PDF417 drawn by a Qt widget"));
    FPdf417->setMinimumSize(360, 140);

    FPrint = new TBarPrint(this);
    auto* buttons = new QHBoxLayout;
    connect(Button(QStringLiteral("Print"), buttons), &QPushButton::clicked, this, [this] { PrintSelected(false); });
    connect(Button(QStringLiteral("Preview"), buttons), &QPushButton::clicked, this, [this] { PrintSelected(true); });
    connect(Button(QStringLiteral("Copy to clipboard"), buttons), &QPushButton::clicked, this,
            [this] { Selected()->CopyToClipboard(); });
    buttons->addStretch();

    auto* box = new QGroupBox(QStringLiteral("Controls"));
    auto* column = new QVBoxLayout(box);
    column->addWidget(FLinear);
    column->addWidget(FPdf417);
    column->addLayout(buttons);
    return box;
}

QWidget* TDemoWindow::PropertiesBox()
{
    FChoice = new QComboBox;
    FChoice->setObjectName(QStringLiteral("Control"));
    auto* pages = new QStackedWidget;
    for (TBarCode* control : std::initializer_list<TBarCode*>{FLinear, FPdf417}) {
        const QString name = QString::fromLatin1(control->metaObject()->className()).section(QStringLiteral("::"), -1);
        FChoice->addItem(name, QVariant::fromValue(control));
        auto* scroll = new QScrollArea;
        scroll->setWidget(new TPropertyPanel(control));
        scroll->setWidgetResizable(true);
        pages->addWidget(scroll);
    }
    connect(FChoice, &QComboBox::currentIndexChanged, pages, &QStackedWidget::setCurrentIndex);

    auto* box = new QGroupBox(QStringLiteral("Properties"));
    auto* column = new QVBoxLayout(box);
    column->addWidget(FChoice);
    column->addWidget(pages);
    return box;
}

TBarCode* TDemoWindow::Selected() const
{
    return FChoice->currentData().value<TBarCode*>();
}

void TDemoWindow::PrintSelected(bool preview)
{
    // A control prints in the printer's own pixels, its area's top-left
    // corner at the given place on the printable area.
    FPrint->SetBarCode(Selected());
    try {
        if (preview) {
            FPrint->Preview({0, 0});
            return;
        }
        FPrint->Print({0, 0});
        QString device, driver, port;
        VirtualPrinter->GetPrinter(device, driver, port);
        Say(QStringLiteral("Printed on %1").arg(device));
    } catch (const std::exception& e) {
        Say(QString::fromStdString(e.what()));
    }
}

QGroupBox* TDemoWindow::DatabaseBox()
{
    FProducts = new TDataSet(this);
    FProducts->SetSQL(QStringLiteral("SELECT name, ean FROM products ORDER BY id"));
    FSource = new TDataSource(this);
    FSource->SetDataSet(FProducts);

    FDBLinear = new TDBSingleBarCode;
    FDBLinear->setObjectName(QStringLiteral("DBLinear"));
    FDBLinear->FSetBarType(EAN13);
    FDBLinear->SetDataField(QStringLiteral("ean"));
    FDBLinear->SetDataSource(FSource);
    FDBLinear->setMinimumSize(220, 110);
    // A record without a code hides the symbol but keeps its place.
    QSizePolicy keep = FDBLinear->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    FDBLinear->setSizePolicy(keep);

    FDBPdf417 = new TDBBarPDF417;
    FDBPdf417->setObjectName(QStringLiteral("DBPdf417"));
    FDBPdf417->SetDataField(QStringLiteral("name"));
    FDBPdf417->SetDataSource(FSource);
    FDBPdf417->setMinimumSize(220, 110);

    FRecord = new QLabel;
    FRecord->setObjectName(QStringLiteral("Record"));
    auto* buttons = new QHBoxLayout;
    FFirst = Button(QStringLiteral("First"), buttons);
    FPrior = Button(QStringLiteral("Prior"), buttons);
    FNext = Button(QStringLiteral("Next"), buttons);
    FLast = Button(QStringLiteral("Last"), buttons);
    buttons->addStretch();
    connect(FFirst, &QPushButton::clicked, FProducts, &TDataSet::First);
    connect(FPrior, &QPushButton::clicked, FProducts, &TDataSet::Prior);
    connect(FNext, &QPushButton::clicked, FProducts, &TDataSet::Next);
    connect(FLast, &QPushButton::clicked, FProducts, &TDataSet::Last);
    connect(FProducts, &TDataSet::DataChanged, this, &TDemoWindow::ShowRecord);
    FProducts->Open();

    auto* box = new QGroupBox(QStringLiteral("Database: ean and name of the sample products"));
    auto* grid = new QGridLayout(box);
    grid->addWidget(FDBLinear, 0, 0);
    grid->addWidget(FDBPdf417, 0, 1);
    grid->addWidget(FRecord, 1, 0, 1, 2);
    grid->addLayout(buttons, 2, 0, 1, 2);
    return box;
}

void TDemoWindow::ShowRecord()
{
    const int n = FProducts->RecNo();
    const int count = FProducts->RecordCount();
    const QString name = FProducts->FieldByName(QStringLiteral("name"))->AsString();
    // An empty field leaves a data-aware control with the previous record's
    // value: that symbol would label this product wrongly, so none is shown.
    const bool coded = !FProducts->FieldByName(QStringLiteral("ean"))->AsString().isEmpty();
    FDBLinear->setVisible(coded);
    FRecord->setText(
        QStringLiteral("Product %1 of %2: %3%4").arg(n).arg(count).arg(name, coded ? QString() : " (no EAN)"));
    FFirst->setEnabled(n > 1);
    FPrior->setEnabled(n > 1);
    FNext->setEnabled(n < count);
    FLast->setEnabled(n < count);
}

QGroupBox* TDemoWindow::ReaderBox()
{
    FScanner = new TScanBarCode(this);
    auto* buttons = new QHBoxLayout;
    connect(Button(QStringLiteral("Read picture file..."), buttons), &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("PDF417 picture"), QString(),
                                                          QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp *.gif "
                                                                         "*.tif *.tiff);;All files (*)"));
        if (!file.isEmpty())
            ReadFile(file);
    });
    connect(Button(QStringLiteral("Read clipboard"), buttons), &QPushButton::clicked, this,
            &TDemoWindow::ReadClipboard);
    buttons->addWidget(new QLabel(QStringLiteral("Password:")));
    FPassword = new QLineEdit;
    FPassword->setObjectName(QStringLiteral("ReaderPassword"));
    FPassword->setMaxLength(32); // the reader takes no longer password
    FPassword->setEchoMode(QLineEdit::Password);
    buttons->addWidget(FPassword);

    FReadText = new QPlainTextEdit;
    FReadText->setObjectName(QStringLiteral("ReadText"));
    FReadText->setReadOnly(true);
    FReadText->setPlaceholderText(QStringLiteral("The text of the PDF417 symbol read. Copy a control to the "
                                                 "clipboard and read it back."));

    auto* box = new QGroupBox(QStringLiteral("PDF417 reader"));
    auto* column = new QVBoxLayout(box);
    column->addLayout(buttons);
    column->addWidget(FReadText);
    return box;
}

void TDemoWindow::ReadFile(const QString& fileName)
{
    // The reader finds no symbol in what is no picture; the user should hear why.
    if (QImageReader picture(fileName); !picture.canRead()) {
        FReadText->clear();
        Say(QStringLiteral("Cannot read '%1': %2").arg(fileName, picture.errorString()));
        return;
    }
    FScanner->PicFileName = fileName;
    Read(SoureFile);
}

void TDemoWindow::ReadClipboard()
{
    Read(SourceClipBoard);
}

void TDemoWindow::Read(TPicSoureType source)
{
    FReadText->clear();
    FScanner->FSetSourceType(source);
    FScanner->SetPasswordText(FPassword->text());
    TMemoryStream bytes;
    try {
        FScanner->ScanBarCode(bytes);
    } catch (const std::exception& e) {
        Say(QString::fromStdString(e.what()));
        return;
    }
    // PDF417 carries bytes; the controls take their text as Latin-1. A
    // protected payload comes back with the zero padding of its last cipher
    // block, which is no part of the text.
    QByteArray text(reinterpret_cast<const char*>(bytes.Bytes().data()), qsizetype(bytes.Size()));
    while (text.endsWith('\0'))
        text.chop(1);
    FReadText->setPlainText(QString::fromLatin1(text));
}

void TDemoWindow::Say(const QString& text)
{
    FMessages->appendPlainText(text);
}

} // namespace VandrelDemo
