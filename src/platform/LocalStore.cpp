#include "LocalStore.h"

#include "Errors.h"
#include "StoreFunctions.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <sqlite3.h>

namespace ostrel {

namespace {

// A second copy of the program may hold the file's lock for a while (an
// import); wait for it rather than fail at once.
constexpr int kBusyTimeoutMs = 30000;
constexpr int kBusyStepMs = 20;

struct Translation {
    const char* storeText;
    const char* italian;
};

const Translation kTranslations[] = {
    {"database is locked",
     "l'archivio è occupato da un'altra copia del programma e l'attesa è scaduta: riprovare"},
    {"attempt to write a readonly database",
     "l'archivio è in sola lettura, non è possibile registrare"},
    {"database or disk is full", "il disco è pieno, non è possibile registrare"},
    {"disk I/O error", "errore di lettura o scrittura del disco"},
    {"file is not a database", "il file non è un archivio SQLite"},
    {"database disk image is malformed", "il file dell'archivio è danneggiato"},
    {"unable to open database file", "impossibile aprire il file dell'archivio"},
};

} // namespace

ColumnDef columnFromDeclaration(const QString& name, const QString& declaredType)
{
    ColumnDef def{name, declaredType, FieldType::Text, 0};
    const QString t = declaredType.trimmed().toUpper();
    static const QRegularExpression sized(QStringLiteral("\\((\\d+)\\)"));
    if (t.startsWith(u"SMALLINT") || t.startsWith(u"INT2"))
        def.type = FieldType::Int2;
    else if (t.startsWith(u"INT"))
        def.type = FieldType::Int4;
    else if (t.startsWith(u"DOUBLE") || t.startsWith(u"REAL") || t.startsWith(u"FLOAT")
             || t.startsWith(u"NUMERIC") || t.startsWith(u"DECIMAL"))
        def.type = FieldType::Real;
    else if (t.startsWith(u"BOOL") || t.startsWith(u"BIT") || t.startsWith(u"YESNO"))
        def.type = FieldType::Bool;
    else {
        def.type = FieldType::Text;
        const auto m = sized.match(t);
        if (m.hasMatch())
            def.size = m.captured(1).toInt();
    }
    return def;
}

LocalStore::LocalStore(QString connectionName) : m_connectionName(std::move(connectionName)) {}

LocalStore::~LocalStore()
{
    close();
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

void LocalStore::setDataSource(const QString& path)
{
    close();
    m_dataSource = path;
}

bool LocalStore::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName)
        && QSqlDatabase::database(m_connectionName, false).isOpen();
}

void LocalStore::close()
{
    m_columns.clear();
    for (sqlite3_stmt* statement : std::as_const(m_prepared))
        sqlite3_finalize(statement);
    m_prepared.clear();
    m_handle = nullptr;
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::database(m_connectionName, false).close();
}

void LocalStore::checkFile() const
{
    if (m_dataSource.trimmed().isEmpty())
        throw EDatabaseError(QStringLiteral(
            "Non è indicato il file dell'archivio: la prima riga del file delle impostazioni è "
            "vuota."));
    const QFileInfo info(m_dataSource);
    if (!info.exists())
        throw EDatabaseError(
            QStringLiteral("Il file dell'archivio '%1' non esiste.").arg(m_dataSource));
    if (info.isDir())
        throw EDatabaseError(
            QStringLiteral("'%1' è una cartella, non il file dell'archivio.").arg(m_dataSource));
    QFile file(m_dataSource);
    if (!file.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Impossibile aprire il file dell'archivio '%1': %2")
                                 .arg(m_dataSource, file.errorString()));
    const QByteArray head = file.read(32);
    if (head.isEmpty())
        return; // an empty file is an empty store; its missing tables are reported later
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return;
    const QByteArray jetTag = head.mid(4, 15);
    if (jetTag == "Standard Jet DB" || jetTag == "Standard ACE DB")
        throw EDatabaseError(
            QStringLiteral(
                "Il file '%1' è un database Microsoft Access (Jet), che questa versione di Ostrel "
                "non legge: l'archivio deve essere un file SQLite, creato con \"ostrelctl "
                "create-store\" e indicato nella prima riga del file delle impostazioni.")
                .arg(m_dataSource));
    throw EDatabaseError(
        QStringLiteral("Il file '%1' non è un archivio di Ostrel (non è un database SQLite).")
            .arg(m_dataSource));
}

QSqlDatabase LocalStore::database()
{
    if (!QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.isOpen())
        return db;
    if (!db.isValid())
        throw EDatabaseError(QStringLiteral("Il driver SQLite di Qt non è installato."));
    checkFile();
    db.setDatabaseName(m_dataSource);
    if (!db.open())
        throw EDatabaseError(describeError(
            QStringLiteral("Impossibile aprire l'archivio '%1'").arg(m_dataSource),
            db.lastError()));
    m_handle = nullptr;
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3* const*>(handle.data());
    if (!m_handle) {
        db.close();
        throw EDatabaseError(QStringLiteral("Il driver SQLite di Qt non dà accesso all'archivio"));
    }
    installStoreFunctions(m_handle);
    sqlite3_busy_handler(m_handle, &LocalStore::waitForLock, this);
    return db;
}

int LocalStore::waitForLock(void* store, int attempt)
{
    if (attempt * kBusyStepMs >= kBusyTimeoutMs)
        return 0;
    auto* self = static_cast<LocalStore*>(store);
    if (attempt == 0 && self->onWaitForLock)
        self->onWaitForLock(QStringLiteral(
            "L'archivio è occupato da un'altra copia del programma: attendo che lo liberi (al "
            "massimo %1 secondi)...").arg(kBusyTimeoutMs / 1000));
    sqlite3_sleep(kBusyStepMs);
    return 1;
}

sqlite3* LocalStore::handle()
{
    if (!m_handle)
        database();
    return m_handle;
}

sqlite3_stmt* LocalStore::prepared(const QString& sql, const QString& what)
{
    sqlite3* db = handle();
    if (sqlite3_stmt* statement = m_prepared.value(sql))
        return statement;
    // Filters typed in the windows give ever new texts: keep the cache small.
    if (m_prepared.size() >= 64) {
        for (sqlite3_stmt* statement : std::as_const(m_prepared))
            sqlite3_finalize(statement);
        m_prepared.clear();
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(statement);
        throw EDatabaseError(describeError(what, error));
    }
    m_prepared.insert(sql, statement);
    return statement;
}

int LocalStore::run(const QString& sql, const QVariantList& values, qint64* lastInsertRowId,
                    const QString& what)
{
    sqlite3_stmt* statement = prepared(sql, what);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        const int index = i + 1;
        if (!v.isValid() || v.isNull()) {
            sqlite3_bind_null(statement, index);
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Bool:
        case QMetaType::UInt:
            sqlite3_bind_int64(statement, index, v.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(statement, index, v.toDouble());
            break;
        default: {
            const QByteArray text = v.toString().toUtf8();
            sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
    const int step = sqlite3_step(statement);
    const QString error = step == SQLITE_DONE || step == SQLITE_ROW
        ? QString()
        : QString::fromUtf8(sqlite3_errmsg(m_handle));
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (!error.isNull())
        throw EDatabaseError(describeError(what, error));
    if (lastInsertRowId)
        *lastInsertRowId = sqlite3_last_insert_rowid(m_handle);
    return sqlite3_changes(m_handle);
}

QString LocalStore::describeError(const QString& what, const QSqlError& error)
{
    return describeError(what, error.databaseText().isEmpty() ? error.text() : error.databaseText());
}

QString LocalStore::describeError(const QString& what, const QString& raw)
{
    QString italian;
    for (const Translation& t : kTranslations) {
        if (raw.contains(QLatin1String(t.storeText), Qt::CaseInsensitive)) {
            italian = QString::fromUtf8(t.italian);
            break;
        }
    }
    static const QRegularExpression noTable(QStringLiteral("no such table: (\\S+)"));
    static const QRegularExpression noColumn(QStringLiteral("no such column: (\\S+)"));
    static const QRegularExpression check(QStringLiteral("CHECK constraint failed: (.+)"));
    static const QRegularExpression notNull(QStringLiteral("NOT NULL constraint failed: (\\S+)"));
    if (auto m = noTable.match(raw); m.hasMatch())
        italian = QStringLiteral("nell'archivio manca la tabella %1").arg(m.captured(1));
    else if (auto m = noColumn.match(raw); m.hasMatch())
        italian = QStringLiteral("nell'archivio manca la colonna %1").arg(m.captured(1));
    else if (auto m = check.match(raw); m.hasMatch())
        italian = QStringLiteral("un valore non è ammesso dall'archivio (regola: %1)")
                      .arg(m.captured(1).trimmed());
    else if (auto m = notNull.match(raw); m.hasMatch())
        italian = QStringLiteral("il campo %1 non può essere vuoto").arg(m.captured(1));
    if (italian.isEmpty())
        return QStringLiteral("%1: %2").arg(what, raw);
    return QStringLiteral("%1: %2 (%3)").arg(what, italian, raw);
}

QSqlQuery LocalStore::exec(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    bool ok;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        if (ok) {
            for (const QVariant& v : values)
                query.addBindValue(v);
            ok = query.exec();
        }
    }
    if (!ok)
        throw EDatabaseError(
            describeError(QStringLiteral("Istruzione rifiutata dall'archivio"), query.lastError()));
    return query;
}

QList<ColumnDef> LocalStore::tableColumns(const QString& table)
{
    const QString key = table.toLower();
    if (auto it = m_columns.constFind(key); it != m_columns.constEnd())
        return *it;
    QList<ColumnDef> columns;
    QSqlQuery query = exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    while (query.next())
        columns.append(columnFromDeclaration(query.value(1).toString(), query.value(2).toString()));
    if (!columns.isEmpty())
        m_columns.insert(key, columns);
    return columns;
}

void LocalStore::runPlain(const char* sql, const QString& what)
{
    sqlite3* db = handle();
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(describeError(what, QString::fromUtf8(sqlite3_errmsg(db))));
}

void LocalStore::begin()
{
    runPlain("BEGIN IMMEDIATE", QStringLiteral("Impossibile iniziare la transazione"));
}

void LocalStore::commit()
{
    runPlain("COMMIT", QStringLiteral("Impossibile registrare la transazione"));
}

void LocalStore::rollback()
{
    if (m_handle && !sqlite3_get_autocommit(m_handle))
        sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool LocalStore::inTransaction()
{
    return !sqlite3_get_autocommit(handle());
}

StoreTransaction::StoreTransaction(LocalStore& store) : m_store(store)
{
    m_store.begin();
}

StoreTransaction::~StoreTransaction()
{
    if (!m_done)
        m_store.rollback();
}

void StoreTransaction::commit()
{
    m_store.commit();
    m_done = true;
}

} // namespace ostrel
