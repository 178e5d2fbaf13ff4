#pragma once
// Runs the vandrel tool as a user would and collects what it said.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace VandrelTest {

struct ToolRun {
    int code; // the exit code; -1 when the tool crashed
    QString out;
    QString err;
    QByteArray bytes; // standard output as bytes, for pictures written to "-"
};

// `environment` adds NAME=value entries to the tool's environment.
inline ToolRun RunTool(const QStringList& args, const QStringList& environment = {})
{
    QProcess p;
    if (!environment.isEmpty())
        p.setEnvironment(QProcess::systemEnvironment() + environment);
    p.setStandardInputFile(QProcess::nullDevice()); // no terminal: nothing may wait for an answer
    p.start(VANDREL_CLI, args);
    p.waitForFinished(120000);
    const QByteArray out = p.readAllStandardOutput();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(out),
            QString::fromLocal8Bit(p.readAllStandardError()), out};
}

// A failed expectation's story: the command line, then what the tool answered.
inline QString Explain(const QStringList& args, const ToolRun& r)
{
    return args.join(' ') + " -> " + QString::number(r.code) + ": " + r.err;
}

} // namespace VandrelTest
