#include "AccountingSession.h"

#include "Errors.h"

#include <QSqlError>
#include <QSqlDriver>

namespace ostrel {

namespace {

// So that a server that never answers does not hold the window for minutes.
constexpr int kConnectTimeoutSeconds = 10;

} // namespace

QString AccountingSession::driverName()
{
    const QString driver = qEnvironmentVariable("OSTREL_ACCOUNTING_DRIVER");
    return driver.isEmpty() ? QStringLiteral("QOCI") : driver;
}

QString AccountingSession::databaseName()
{
    const QString name = qEnvironmentVariable("OSTREL_ACCOUNTING_DATABASE");
    return name.isEmpty() ? QStringLiteral("kestra") : name;
}

AccountingSession::AccountingSession(QString connectionName)
    : m_connectionName(std::move(connectionName))
{
}

AccountingSession::~AccountingSession()
{
    close();
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

void AccountingSession::setServer(const QString& server)
{
    if (server != m_server)
        close();
    m_server = server;
}

void AccountingSession::setUsername(const QString& username)
{
    if (username != m_username)
        close();
    m_username = username;
}

void AccountingSession::setPassword(const QString& password)
{
    if (password != m_password)
        close();
    m_password = password;
}

QSqlDatabase AccountingSession::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool AccountingSession::isConnected() const
{
    return QSqlDatabase::contains(m_connectionName) && database().isOpen();
}

void AccountingSession::fail(const QString& what, const QSqlError& error) const
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    // The driver's text never carries the password, but make sure.
    if (!m_password.isEmpty())
        text.replace(m_password, QStringLiteral("***"));
    throw EDatabaseError(what + QStringLiteral(": ") + text);
}

void AccountingSession::open()
{
    if (isConnected())
        return;
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(driverName(), m_connectionName);
    if (!db.isValid())
        throw EDatabaseError(
            QStringLiteral("Il driver %1 per la banca dati di Kestra non è installato").arg(driverName()));
    const qsizetype colon = m_server.lastIndexOf(u':');
    const QString host = (colon >= 0 ? m_server.left(colon) : m_server).trimmed();
    db.setHostName(host);
    if (colon >= 0) {
        bool ok = false;
        const int port = m_server.mid(colon + 1).trimmed().toInt(&ok);
        if (ok)
            db.setPort(port);
    }
    db.setDatabaseName(databaseName());
    // Ids and amounts come back as exact decimal text, not as doubles.
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    db.setUserName(m_username);
    db.setPassword(m_password);
    if (driverName() == u"QPSQL")
        db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(kConnectTimeoutSeconds));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db.close();
        fail(QStringLiteral("Impossibile connettersi a %1 come %2").arg(m_server, m_username), error);
    }
    beginTransaction();
}

void AccountingSession::beginTransaction()
{
    QSqlDatabase db = database();
    if (!db.transaction())
        fail(QStringLiteral("Impossibile iniziare la transazione"), db.lastError());
}

void AccountingSession::close()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    QSqlDatabase db = database();
    if (db.isOpen()) {
        db.rollback();
        db.close();
    }
}

void AccountingSession::commit()
{
    QSqlDatabase db = database();
    if (!db.isOpen())
        throw EDatabaseError(QStringLiteral("La sessione con la banca dati di Kestra non è aperta"));
    if (!db.commit())
        fail(QStringLiteral("Impossibile confermare la transazione"), db.lastError());
    beginTransaction();
}

void AccountingSession::rollback()
{
    QSqlDatabase db = database();
    if (!db.isOpen())
        return;
    if (!db.rollback())
        fail(QStringLiteral("Impossibile annullare la transazione"), db.lastError());
    beginTransaction();
}

void AccountingSession::execute(const QString& sql)
{
    if (!isConnected())
        throw EDatabaseError(QStringLiteral("La sessione con la banca dati di Kestra non è aperta"));
    QSqlQuery q(database());
    if (!q.exec(sql))
        fail(QStringLiteral("Istruzione rifiutata dalla banca dati di Kestra"), q.lastError());
}

QString AccountingSession::queryValue(const QString& sql)
{
    QSqlQuery q = query(sql);
    return q.next() ? q.value(0).toString() : QString();
}

QSqlQuery AccountingSession::query(const QString& sql, const QVariantMap& parameters)
{
    if (!isConnected())
        throw EDatabaseError(QStringLiteral("La sessione con la banca dati di Kestra non è aperta"));
    QSqlQuery q(database());
    q.setForwardOnly(true);
    bool ok;
    if (parameters.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        for (auto it = parameters.cbegin(); ok && it != parameters.cend(); ++it)
            q.bindValue(u':' + it.key(), it.value().toString());
        ok = ok && q.exec();
    }
    if (!ok)
        fail(QStringLiteral("Istruzione rifiutata dalla banca dati di Kestra"), q.lastError());
    return q;
}

} // namespace ostrel
