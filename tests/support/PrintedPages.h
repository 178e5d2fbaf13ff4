#pragma once
// What a print job left behind: PDF pages as pictures (through poppler), and
// the files the cups-pdf queue writes.
#include "support/Tool.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

namespace VandrelTest {

// The queue scripts/test-printer.sh sets up.
inline const QString TestQueue = QStringLiteral("VandrelPDF");

// Page `page` of a PDF file as a picture at `dpi`; a null picture when poppler
// cannot render it.
inline QImage PdfPage(const QString& pdf, int dpi = 300, int page = 1)
{
    QTemporaryDir dir;
    RunProgram("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", "-f", QString::number(page), "-l",
                            QString::number(page), pdf, dir.filePath("page")});
    return QImage(dir.filePath("page.png"));
}

// The number of pages poppler finds in a PDF file; -1 when it is none.
inline int PdfPageCount(const QString& pdf)
{
    for (const QByteArray& line : RunProgram("pdfinfo", {pdf}).bytes.split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// Where cups-pdf writes this user's jobs: the "Out" setting of its
// configuration with ${HOME} and ${USER} filled in, ~/PDF by default.
inline QString CupsPdfDirectory()
{
    QString out = QStringLiteral("${HOME}/PDF");
    QFile conf("/etc/cups/cups-pdf.conf");
    if (conf.open(QIODevice::ReadOnly))
        for (const QByteArray& line : conf.readAll().split('\n'))
            if (line.startsWith("Out "))
                out = QString::fromLocal8Bit(line.mid(4).trimmed());
    return out.replace("${HOME}", QDir::homePath()).replace("${USER}", qEnvironmentVariable("USER", "root"));
}

// The PDF that cups-pdf makes of the job titled `title` (letters and digits
// only, so that the file carries it unchanged), waiting for the queue up to
// a minute; empty when none appears.
inline QString CupsPdfOf(const QString& title)
{
    const QDir dir(CupsPdfDirectory());
    for (int i = 0; i < 600; ++i) {
        const QStringList found = dir.entryList({title + "*.pdf"}, QDir::Files);
        // The file is renamed into place once it is complete.
        if (!found.isEmpty() && PdfPageCount(dir.filePath(found.first())) > 0)
            return dir.filePath(found.first());
        QThread::msleep(100);
    }
    return QString();
}

// A title no earlier job has used.
inline QString UniqueTitle(const char* prefix)
{
    return QString::fromLatin1(prefix) + QString::number(QDateTime::currentMSecsSinceEpoch());
}

} // namespace VandrelTest
