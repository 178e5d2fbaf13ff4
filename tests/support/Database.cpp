#include "support/Database.h"

#include <QSqlError>
#include <QSqlQuery>

#include <stdexcept>

namespace VandrelTest {

TestDatabase::TestDatabase(const QString& name, const QStringList& statements) : FName(name)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(FileName());
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        for (const QString& sql : statements) {
            QSqlQuery q(db);
            if (!q.exec(sql))
                throw std::runtime_error(q.lastError().text().toStdString());
        }
    }
}

TestDatabase::~TestDatabase()
{
    QSqlDatabase::database(FName, false).close();
    QSqlDatabase::removeDatabase(FName);
}

} // namespace VandrelTest
