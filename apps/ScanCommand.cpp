#include "apps/ScanCommand.h"

#include "apps/Cli.h"
#include "core/Exceptions.h"
#include "platform/Messages.h"
#include "reader/ScanBarCode.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
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

bool WriteBytes(const QByteArray& data, const QString& output)
{
    if (output.isEmpty())
        return std::fwrite(data.constData(), 1, size_t(data.size()), stdout) == size_t(data.size()) &&
               std::fflush(stdout) == 0;
    QSaveFile file(output);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

// The picture in `file`; why not, in the words the user needs, when there is
// none: a file that is missing or unreadable, a directory, or no picture.
std::optional<QString> LoadPicture(const QString& file, QImage& picture)
{
    if (QFileInfo(file).isDir())
        return "'" + file + "' is a directory, not a picture";
    if (std::FILE* f = std::fopen(QFile::encodeName(file).constData(), "rb"))
        std::fclose(f);
    else
        return "cannot read '" + file + "': " + QString::fromLocal8Bit(std::strerror(errno));
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    picture = reader.read();
    if (picture.isNull())
        return "'" + file + "' is not a picture (" + reader.errorString() + ")";
    return std::nullopt;
}

// Where a result stands in a sequence: "segment 2 (last) of file 17.233.450",
// "segments 0-2 of file ...", or "no segment".
QByteArray Where(const TScanResult& result)
{
    if (!result.Macro)
        return "no segment";
    QByteArray where;
    const std::vector<int32_t>& segments = result.Segments;
    if (segments.size() > 1)
        where = "segments " + QByteArray::number(segments.front()) + "-" + QByteArray::number(segments.back());
    else if (segments.empty() || segments.front() < 0)
        where = "segment unknown";
    else
        where = "segment " + QByteArray::number(segments.front()) + (result.Macro->Last ? " (last)" : "");
    where += " of file ";
    for (size_t i = 0; i < result.Macro->FileId.size(); ++i)
        where += (i ? "." : "") + QByteArray::number(result.Macro->FileId[i]);
    return where;
}

// One result alone: its bytes. Several, or each symbol: every one behind a
// header line that says how many bytes follow, then a newline.
QByteArray Output(const std::vector<TScanResult>& results, bool each)
{
    const auto bytes = [](const TScanResult& r) {
        return QByteArray(reinterpret_cast<const char*>(r.Data.Bytes().data()), qsizetype(r.Data.Size()));
    };
    if (results.size() == 1 && !each)
        return bytes(results.front());
    QByteArray out;
    for (size_t i = 0; i < results.size(); ++i) {
        const TScanResult& r = results[i];
        out += (each ? "symbol " : "result ") + QByteArray::number(qulonglong(i + 1)) + " of " +
               QByteArray::number(qulonglong(results.size())) + ": ";
        if (each || r.Macro)
            out += Where(r) + ", ";
        out += QByteArray::number(qulonglong(r.Data.Size())) + " bytes\n" + bytes(r) + "\n";
    }
    return out;
}
} // namespace

int ScanCommand(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "The picture (PNG, JPEG, BMP, GIF, ...) of PDF417 symbols.");
    AddPasswordOptions(parser, "Password of a protected payload. Without any, a protected payload asks for "
                               "one on the terminal, or is read with an empty password.");
    parser.addOption(
        {QStringList{"o", "output"}, "Write what would be printed to this file instead of standard output.", "OUT"});
    parser.addOption({"each", "Print every symbol on its own, sequences not joined (see below)."});
    if (const auto done = Parse(parser, args,
                                "Reads every PDF417 symbol of a picture back to the bytes it carries.\n"
                                "\n"
                                "The symbols of a Macro PDF417 sequence (one file ID) are joined in segment\n"
                                "order into one result. Segments are numbered from 0, as the symbols store\n"
                                "them; a sequence with segments missing prints which ones (\"Macro PDF417\n"
                                "sequence incomplete: segments 2, 3 missing\") and exits 1.\n"
                                "A protected payload is deciphered; its bytes are followed by the zero padding\n"
                                "of the last cipher block.\n"
                                "\n"
                                "A picture with one result (a symbol or a whole sequence) prints its bytes\n"
                                "alone. With several results, each is printed as a header line\n"
                                "  result N of M: B bytes\n"
                                "  result N of M: segments 0-S of file F, B bytes      (a sequence)\n"
                                "then its B bytes, then a newline. Results come in picture order: lines of\n"
                                "symbols from top to bottom, each line from left to right.\n"
                                "\n"
                                "With --each every symbol is printed that way, whatever their number:\n"
                                "  symbol N of M: segment S of file F, B bytes\n"
                                "  symbol N of M: segment S (last) of file F, B bytes\n"
                                "  symbol N of M: no segment, B bytes                  (no part of a sequence)\n"
                                "F is the file ID's codewords joined by dots. A symbol holding a whole\n"
                                "protected payload is deciphered; a piece of a protected sequence is printed\n"
                                "as the symbol holds it. Sequences are not checked for completeness.\n"
                                "\n"
                                "A file that is missing, a directory or no picture says so and exits 1.\n"
                                "A picture in which no symbol can be read prints \"Don't Scan barcode\n"
                                "picture\" and exits 1; so does one with a symbol that cannot be read beside\n"
                                "others (\"1 of 3 symbols in the picture could not be read\"; with --each\n"
                                "after printing those that were read). A symbol is read only when its row\n"
                                "indicators and its error correction agree with what was read: a damaged\n"
                                "symbol gives its bytes or none, never others.\n"
                                "\n"
                                "Codewords misread or not read at all are corrected by the symbol's error\n"
                                "correction, as far as it reaches with two of its codewords kept to check the\n"
                                "result; a symbol damaged beyond that is not read. When codewords were\n"
                                "corrected, standard error says how many (\"corrected 3 codewords\").",
                                1))
        return *done;
    const auto password = ReadPassword(parser);
    if (!password)
        return ExitUsage;

    TScanBarCode scanner;
    bool refused = false;
    const TMessageHandler previous = SetMessageHandler([&](const QString& text) {
        refused = refused || text == QLatin1String("Length of Password <= 32!");
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    scanner.FSetPWD(*password);
    SetMessageHandler(previous);
    if (refused)
        return ExitUsage;
    SetInputHandler(TerminalPassword);

    // The file before the symbols: a missing file or one that is no picture
    // says so, not that no barcode was found.
    const QString file = parser.positionalArguments().constFirst();
    QImage picture;
    if (const std::optional<QString> error = LoadPicture(file, picture)) {
        std::fprintf(stderr, "vandrel: %s\n", qPrintable(*error));
        return 1;
    }
    scanner.SetSourceBitmap(picture);
    const bool each = parser.isSet("each");
    const TPictureScan scan = scanner.ScanAll(each ? TScanJoin::Each : TScanJoin::Sequences);
    if (!scan.Results.empty() && !WriteBytes(Output(scan.Results, each), parser.value("output"))) {
        std::fprintf(stderr, "vandrel: cannot write '%s'\n", qPrintable(parser.value("output")));
        return 1;
    }
    int32_t corrected = 0;
    for (const TScanResult& result : scan.Results)
        corrected += result.Corrected;
    if (corrected > 0)
        std::fprintf(stderr, "corrected %d codeword%s\n", int(corrected), corrected == 1 ? "" : "s");
    if (!scan.Error.empty()) {
        std::fprintf(stderr, "%s\n", scan.Error.c_str());
        return 1;
    }
    return 0;
}

} // namespace Vandrel
