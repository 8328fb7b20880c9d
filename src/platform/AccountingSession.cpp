#include "AccountingSession.h"

#include "Errors.h"

#include <QSqlError>
#include <QSqlDriver>

namespace ostrel {

namespace {

// So that a server that never answers does not hold the window for minutes.
constexpr int kConnectTimeoutSeconds = 10;

struct Translation {
    const char* driverText;
    const char* italian;
};

const char kLost[] = "la connessione con il server si è interrotta; quanto non era ancora "
                     "confermato non è stato registrato";

// The server's own words (PostgreSQL's and Oracle's) for the failures a user
// can act on.
const Translation kTranslations[] = {
    {"server closed the connection", kLost},
    {"terminating connection", kLost},
    {"no connection to the server", kLost},
    {"connection to server was lost", kLost},
    {"could not receive data from server", kLost},
    {"ORA-03113", kLost},
    {"ORA-03114", kLost},
    {"ORA-03135", kLost},
    {"timeout expired", "il server non ha risposto in tempo"},
    {"ORA-12170", "il server non ha risposto in tempo"},
    {"Connection refused", "il server non accetta connessioni a questo indirizzo: controllare "
                           "l'indirizzo e la porta, e che il server sia avviato"},
    {"ORA-12541", "il server non accetta connessioni a questo indirizzo: controllare "
                  "l'indirizzo e la porta, e che il server sia avviato"},
    {"could not translate host name", "il nome del server non è conosciuto"},
    {"password authentication failed", "utente o password non accettati dal server"},
    {"ORA-01017", "utente o password non accettati dal server"},
};

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
    // The schema user is also its password: neither is repeated.
    for (const QString& secret : {m_password, m_username})
        if (!secret.isEmpty())
            text.replace(secret, QStringLiteral("***"));
    for (const Translation& t : kTranslations)
        if (text.contains(QLatin1String(t.driverText), Qt::CaseInsensitive)) {
            text = QString::fromUtf8(t.italian) + QStringLiteral(" (") + text.simplified() + u')';
            break;
        }
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
        fail(QStringLiteral("Impossibile connettersi alla banca dati di Kestra su %1").arg(m_server), error);
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
