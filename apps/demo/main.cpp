// vandrel-demo: the Vandrel components in one window.
#include "apps/demo/DemoWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "vandrel-demo: %s\n", qPrintable(message));
    return 1;
}

// Looked at before the application exists, which needs to know its platform.
bool GrabAsked(int argc, char** argv)
{
    return std::any_of(argv + 1, argv + argc, [](const char* arg) {
        const QByteArray option(arg);
        return option == "--grab" || option.startsWith("--grab=");
    });
}

// The sample products installed beside the program, else those of the
// source tree it was built from.
QString DefaultDatabase()
{
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" VANDREL_DEMO_INSTALLED_DB));
    return QFileInfo::exists(installed) ? installed : QStringLiteral(VANDREL_DEMO_SOURCE_DB);
}

int Grab(QWidget& window, const QString& fileName)
{
    if (QFileInfo(fileName).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) != 0)
        return Fail(QStringLiteral("--grab writes a .png file, not '%1'").arg(fileName));
    window.show(); // lays the window out; on the offscreen platform nothing appears
    // Written beside the target and renamed when complete: never a partial file.
    QSaveFile file(fileName);
    QImageWriter writer(&file, "png");
    if (!file.open(QIODevice::WriteOnly) || !writer.write(window.grab().toImage()) || !file.commit())
        return Fail(
            QStringLiteral("cannot write '%1': %2")
                .arg(fileName, file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const bool grab = GrabAsked(argc, argv);
    const bool platformSet = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    const bool display =
        platformSet || !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    // A grab is drawn offscreen and needs no display; without one, --help
    // and the refusal below still need an application to run in.
    if (!platformSet && (grab || !display))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vandrel-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the Vandrel components in one window: a 1D and a PDF417 control with their "
                       "properties, print and preview, the data-aware pair on a product database, and the "
                       "PDF417 reader."));
    parser.addHelpOption();
    parser.addOption({"db",
                      QStringLiteral("The SQLite database whose table products (name, ean) the data-aware "
                                     "controls show (default %1).")
                          .arg(DefaultDatabase()),
                      "FILE", DefaultDatabase()});
    parser.addOption(
        {"grab", "Draw the window offscreen into this PNG file and exit, instead of showing it.", "FILE.png"});
    parser.process(app);

    if (!grab && !display)
        return Fail("the window needs a display; --grab FILE.png draws it without one");
    if (const QString error = VandrelDemo::OpenProducts(parser.value("db")); !error.isEmpty())
        return Fail(error);
    try {
        VandrelDemo::TDemoWindow window;
        window.resize(1000, 780);
        if (grab)
            return Grab(window, parser.value("grab"));
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        return Fail(QString::fromStdString(e.what()));
    }
}
