#pragma once

#include <QSqlDatabase>
#include <QString>

namespace ostrel {

// A connection of the test's own to one installation of the test accounting
// server ("127.0.0.1:PORT"), whose password is its name; not yet opened.
inline QSqlDatabase addTestLedger(const QString& connectionName, const QString& host, const QString& schema)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    const qsizetype colon = host.lastIndexOf(u':');
    db.setHostName(host.left(colon));
    db.setPort(host.mid(colon + 1).toInt());
    db.setDatabaseName(QStringLiteral("kestra"));
    db.setUserName(schema);
    db.setPassword(schema);
    return db;
}

} // namespace ostrel
