// Draws an EAN-13 symbol into a PNG file, and a PDF417 symbol into another,
// which TScanBarCode reads back: the read bytes must be the drawn value.
// Exits 0 when they are; says why not otherwise.
// Usage: vandrel-consumer [EAN13.png PDF417.png] (default ean13.png pdf417.png)
#include <vandrel/BarPDF417.h>
#include <vandrel/Exceptions.h>
#include <vandrel/ScanBarCode.h>
#include <vandrel/SingleBarcode.h>

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <string>

using namespace Vandrel;

static bool Save(const QImage& picture, const QString& fileName)
{
    if (picture.save(fileName))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
    return false;
}

int main(int argc, char** argv)
{
    if (argc != 1 && argc != 3) {
        std::fprintf(stderr, "usage: vandrel-consumer [EAN13.png PDF417.png]\n");
        return 2;
    }
    const QString eanFile = argc == 3 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("ean13.png");
    const QString pdf417File = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("pdf417.png");
    // Everything is drawn into pictures: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TSingleBarCode ean;
    ean.resize(300, 150);
    ean.FSetBarType(EAN13);
    ean.FSetBarValue("400638133393"); // the control adds the check digit, 1
    QImage picture;
    ean.CreateBMP(picture);
    if (!Save(picture, eanFile))
        return 1;

    const std::string value = "Vandrel, installed and found";
    // Forms name <vandrel/BarPDF417.h> for the data-aware control too.
    TDBBarPDF417 fromField;
    TBarPDF417 pdf417;
    pdf417.resize(600, 300);
    pdf417.FSetBarValue(value);
    pdf417.CreateBMP(picture);
    if (!Save(picture, pdf417File))
        return 1;

    TScanBarCode scanner;
    scanner.FSetSourceType(SoureFile);
    scanner.PicFileName = pdf417File;
    TMemoryStream read;
    try {
        scanner.ScanBarCode(read);
    } catch (const Exception& e) { // thrown inside the library, caught here
        std::fprintf(stderr, "%s: %s\n", qPrintable(pdf417File), e.what());
        return 1;
    }
    const std::string bytes(read.Bytes().begin(), read.Bytes().end());
    if (bytes != value) {
        std::fprintf(stderr, "%s reads \"%s\", not \"%s\"\n", qPrintable(pdf417File), bytes.c_str(), value.c_str());
        return 1;
    }
    std::printf("%s\n", bytes.c_str());
    return 0;
}
