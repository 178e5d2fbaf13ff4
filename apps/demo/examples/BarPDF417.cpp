// A PDF417 control in a window: text at error level 4, modules 3 pixels wide.
#include <vandrel/BarPDF417.h>

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Vandrel::TBarPDF417 code;
    code.FSetErrorLevel(Vandrel::Level4);
    code.FSetBarX(3);
    code.FSetBarValue("Hello from Vandrel");
    code.resize(500, 200);
    code.show();
    return app.exec();
}
