#pragma once
// The demo window: a 1D and a PDF417 control with a panel of their
// properties, printed or previewed through TBarPrint and copied to the
// clipboard; the data-aware pair scrolling through the sample products; and
// the PDF417 reader, from a picture file or the clipboard. What the library
// has to say (a value it refuses, a picture without a symbol, a printer that
// cannot print) is listed in the window rather than shown in message boxes.
#include "linear/DBSingleBarcode.h"
#include "linear/SingleBarcode.h"
#include "pdf417/BarPDF417.h"
#include "pdf417/DBBarPDF417.h"
#include "platform/DataSet.h"
#include "platform/Messages.h"
#include "print/BarPrint.h"
#include "reader/ScanBarCode.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace VandrelDemo {

// Opens the SQLite file of the sample products, read-only, as the default
// Qt SQL connection; the reason when it cannot.
QString OpenProducts(const QString& fileName);

class TDemoWindow : public QWidget {
    Q_OBJECT

public:
    // Reads the table `products` of the default Qt SQL connection; throws
    // Vandrel::EDatabaseError when it cannot.
    explicit TDemoWindow(QWidget* parent = nullptr);
    ~TDemoWindow() override;

    // Reads the PDF417 symbol of a picture file, or of the clipboard's
    // picture, into the text box.
    void ReadFile(const QString& fileName);
    void ReadClipboard();

private:
    QGroupBox* ControlsBox();
    QWidget* PropertiesBox();
    QGroupBox* DatabaseBox();
    QGroupBox* ReaderBox();

    // The control whose properties the panel shows: the one Print, Preview
    // and Copy act on.
    Vandrel::TBarCode* Selected() const;
    void PrintSelected(bool preview);
    void ShowRecord();
    void Read(Vandrel::TPicSoureType source);
    void Say(const QString& text);

    Vandrel::TSingleBarCode* FLinear;
    Vandrel::TBarPDF417* FPdf417;
    QComboBox* FChoice;
    Vandrel::TBarPrint* FPrint;

    Vandrel::TDataSet* FProducts;
    Vandrel::TDataSource* FSource;
    Vandrel::TDBSingleBarCode* FDBLinear;
    Vandrel::TDBBarPDF417* FDBPdf417;
    QLabel* FRecord;
    QPushButton* FFirst;
    QPushButton* FPrior;
    QPushButton* FNext;
    QPushButton* FLast;

    Vandrel::TScanBarCode* FScanner;
    QLineEdit* FPassword;
    QPlainTextEdit* FReadText;

    QPlainTextEdit* FMessages;
    Vandrel::TMessageHandler FPreviousHandler;
};

} // namespace VandrelDemo
