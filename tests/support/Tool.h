#pragma once
// Runs programs as a user would and collects what they said: the vandrel
// tool above all, and the helper programs that check its output.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace VandrelTest {

struct ToolRun {
    int code; // the exit code; -1 when the program crashed or did not finish
    QString out;
    QString err;
    QByteArray bytes; // standard output as bytes, for pictures written to "-"
};

// Standard input is the null device: no terminal, so nothing may wait for an answer.
inline ToolRun RunProgram(const QString& program, const QStringList& args,
                          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    const bool finished = p.waitForFinished(120000);
    const QByteArray out = p.readAllStandardOutput();
    return {finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(out),
            QString::fromLocal8Bit(p.readAllStandardError()), out};
}

#ifdef VANDREL_CLI // the suites that run the tool name it
// `environment` adds NAME=value entries to the tool's environment. A password
// in the tester's own environment never reaches the tool unasked.
inline ToolRun RunTool(const QStringList& args, const QStringList& environment = {})
{
    QProcessEnvironment tool = QProcessEnvironment::systemEnvironment();
    tool.remove("VANDREL_PASSWORD");
    for (const QString& entry : environment) {
        const qsizetype equals = entry.indexOf('=');
        tool.insert(entry.left(equals), entry.mid(equals + 1));
    }
    return RunProgram(VANDREL_CLI, args, tool);
}
#endif

// A failed expectation's story: the command line, then what the tool answered.
inline QString Explain(const QStringList& args, const ToolRun& r)
{
    return args.join(' ') + " -> " + QString::number(r.code) + ": " + r.err;
}

} // namespace VandrelTest
