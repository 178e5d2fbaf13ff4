#include "apps/ScanCommand.h"

#include "apps/Cli.h"
#include "platform/Exceptions.h"
#include "platform/Messages.h"
#include "reader/ScanBarCode.h"

#include <QCommandLineParser>
#include <QSaveFile>

#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace Vandrel {

namespace {
// Asks for the password on the terminal, without echo; no terminal, no password.
QString TerminalPassword(const QString&, const QString& prompt, const QString&)
{
    if (!isatty(STDIN_FILENO))
        return QString();
    std::fprintf(stderr, "%s ", qPrintable(prompt));
    termios saved{};
    const bool quiet = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::string line;
    std::getline(std::cin, line);
    if (quiet)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fprintf(stderr, "\n");
    return QString::fromLocal8Bit(line.c_str());
}

bool WriteBytes(const TMemoryStream& data, const QString& output)
{
    const auto* bytes = reinterpret_cast<const char*>(data.Bytes().data());
    const auto size = qint64(data.Size());
    if (output.isEmpty())
        return std::fwrite(bytes, 1, size_t(size), stdout) == size_t(size) && std::fflush(stdout) == 0;
    QSaveFile file(output);
    return file.open(QIODevice::WriteOnly) && file.write(bytes, size) == size && file.commit();
}
} // namespace

int ScanCommand(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "The picture (PNG, JPEG, BMP, GIF, ...) of a PDF417 symbol.");
    parser.addOption({"password", "Password of a protected payload. Without it a protected payload asks for\n"
                                  "one on the terminal, or is read with an empty password.",
                      "P"});
    parser.addOption({QStringList{"o", "output"}, "Write the bytes to this file instead of standard output.", "OUT"});
    if (const auto done = Parse(parser, args,
                                "Reads a PDF417 picture back to the bytes it carries. A protected payload is\n"
                                "deciphered; its bytes are followed by the zero padding of the last cipher block.\n"
                                "A picture that cannot be read prints \"Don't Scan barcode picture\" and exits 1.",
                                1))
        return *done;
    const auto password = ParseLatin1(parser.value("password"));
    if (!password)
        return UsageError("the password holds characters outside Latin-1");

    TScanBarCode scanner;
    bool refused = false;
    const TMessageHandler previous = SetMessageHandler([&](const QString& text) {
        refused = refused || text == QLatin1String("Length of Password <= 32!");
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    scanner.FSetPWD(*password);
    SetMessageHandler(previous);
    if (refused)
        return 1;
    SetInputHandler(TerminalPassword);
    scanner.FSetSourceType(SoureFile);
    scanner.PicFileName = parser.positionalArguments().constFirst();
    TMemoryStream data;
    try {
        scanner.ScanBarCode(data);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (!WriteBytes(data, parser.value("output"))) {
        std::fprintf(stderr, "vandrel: cannot write '%s'\n", qPrintable(parser.value("output")));
        return 1;
    }
    return 0;
}

} // namespace Vandrel
