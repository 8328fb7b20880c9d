#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>

namespace ostrel {

// A session to the accounting database over a Qt SQL driver. Automatic commit
// is off: a transaction is open from the open until commit or rollback, and
// a new one begins right after each. Changing the server, the user or the
// password ends the connection.
class AccountingSession {
public:
    explicit AccountingSession(QString connectionName);
    ~AccountingSession();
    AccountingSession(const AccountingSession&) = delete;
    AccountingSession& operator=(const AccountingSession&) = delete;

    // "host:port".
    void setServer(const QString& server);
    void setUsername(const QString& username);
    void setPassword(const QString& password);
    const QString& server() const { return m_server; }
    const QString& username() const { return m_username; }

    // Throws EDatabaseError when the server cannot be reached or refuses the login.
    void open();
    void close();
    bool isConnected() const;

    void commit();
    void rollback();

    void execute(const QString& sql);
    // First column of the first row as text; empty when there is no row.
    QString queryValue(const QString& sql);
    // A query with named parameters (":Name") bound as text.
    QSqlQuery query(const QString& sql, const QVariantMap& parameters = {});
    QSqlDatabase database() const;

    // Qt SQL driver and database name of the accounting server, from
    // OSTREL_ACCOUNTING_DRIVER (default QOCI) and OSTREL_ACCOUNTING_DATABASE
    // (default kestra).
    static QString driverName();
    static QString databaseName();

private:
    void beginTransaction();
    [[noreturn]] void fail(const QString& what, const class QSqlError& error) const;

    QString m_connectionName;
    QString m_server;
    QString m_username;
    QString m_password;
};

} // namespace ostrel
