#pragma once
// A real SQLite database file for the data-aware tests.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace VandrelTest {

class TestDatabase {
public:
    // Creates a database file, opens it as connection `name` and runs `statements`.
    TestDatabase(const QString& name, const QStringList& statements);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString FileName() const { return FDir.filePath("test.sqlite"); }
    QString Name() const { return FName; }

private:
    QTemporaryDir FDir;
    QString FName;
};

} // namespace VandrelTest
