// A 1D control in a window: an EAN-13 symbol, its check digit completed.
#include <vandrel/SingleBarcode.h>

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Vandrel::TSingleBarCode code;
    code.FSetBarType(Vandrel::EAN13);
    code.FSetBarValue("400638133393"); // shown as 4006381333931
    code.resize(300, 150);
    code.show();
    return app.exec();
}
