#include "StoreSchema.h"

#include "platform/Errors.h"
#include "platform/LocalStore.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace ostrel::StoreSchema {

QStringList statements()
{
    QFile file(QStringLiteral(":/schema/store.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Lo schema dell'archivio manca nel programma"));
    QStringList result;
    QStringList current;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().startsWith(QStringLiteral("--")) || line.trimmed().isEmpty())
            continue;
        current.append(line);
        if (line.trimmed().endsWith(u';')) {
            QString statement = current.join(u'\n').trimmed();
            statement.chop(1);
            result.append(statement);
            current.clear();
        }
    }
    return result;
}

QString createStatement(const QString& table)
{
    const QRegularExpression head(
        QStringLiteral("^CREATE TABLE %1 \\(").arg(QRegularExpression::escape(table)),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString& statement : statements())
        if (head.match(statement).hasMatch())
            return statement;
    return QString();
}

void createStore(const QString& path)
{
    if (QFileInfo::exists(path))
        throw EInOutError(
            QStringLiteral("Il file '%1' esiste già: l'archivio non viene sovrascritto.").arg(path));
    {
        // Create the file empty and private before any row goes into it.
        QFile file(path);
        if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly))
            throw EInOutError(QStringLiteral("Impossibile creare il file '%1': %2")
                                  .arg(path, file.errorString()));
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    const QString connection = QStringLiteral("create-store-") + QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            db.transaction();
            for (const QString& statement : statements()) {
                if (!query.exec(statement)) {
                    error = query.lastError().text();
                    break;
                }
            }
            if (error.isEmpty() && !db.commit())
                error = db.lastError().text();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty()) {
        QFile::remove(path);
        throw EDatabaseError(
            QStringLiteral("Impossibile creare l'archivio '%1': %2").arg(path, error));
    }
}

namespace {

QList<ColumnDef> columnsOf(LocalStore& store, const QString& table)
{
    const QList<ColumnDef> columns = store.tableColumns(table);
    if (columns.isEmpty())
        throw EDatabaseError(QStringLiteral("Nell'archivio '%1' manca la tabella %2.")
                                 .arg(store.dataSource(), table));
    return columns;
}

} // namespace

void checkColumns(LocalStore& store, const QString& table)
{
    const QList<ColumnDef> columns = columnsOf(store, table);
    static const QRegularExpression column(QStringLiteral("^    (\\w+) [A-Z]"));
    QStringList missing;
    for (const QString& line : createStatement(table).split(u'\n')) {
        const auto m = column.match(line);
        if (!m.hasMatch() || m.captured(1) == u"CONSTRAINT")
            continue;
        const QString name = m.captured(1);
        if (std::none_of(columns.begin(), columns.end(), [&](const ColumnDef& c) {
                return c.name.compare(name, Qt::CaseInsensitive) == 0;
            }))
            missing.append(name);
    }
    if (!missing.isEmpty())
        throw EDatabaseError(
            QStringLiteral("Nella tabella %1 dell'archivio '%2' %3 %4: l'archivio non è di questa "
                           "versione del programma.")
                .arg(table, store.dataSource(),
                     missing.size() == 1 ? QStringLiteral("manca la colonna")
                                         : QStringLiteral("mancano le colonne"),
                     missing.join(QStringLiteral(", "))));
}

QList<QStringList> capUpgrade(LocalStore& store, const QString& table)
{
    const QList<ColumnDef> columns = columnsOf(store, table);
    const auto cap = std::find_if(columns.begin(), columns.end(), [](const ColumnDef& c) {
        return c.name.compare(QStringLiteral("Cap"), Qt::CaseInsensitive) == 0;
    });
    if (cap == columns.end())
        throw EDatabaseError(QStringLiteral("Nella tabella %1 dell'archivio '%2' manca la colonna Cap.")
                                 .arg(table, store.dataSource()));
    if (cap->declaredType.trimmed().compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0)
        return {};
    const QString create = createStatement(table);
    const QString rebuilt = table + QStringLiteral("_upgrade");
    QStringList names;
    for (const ColumnDef& c : columns)
        names.append(c.name);
    QString createRebuilt = create;
    createRebuilt.replace(QRegularExpression(QStringLiteral("^CREATE TABLE \\w+"),
                                             QRegularExpression::CaseInsensitiveOption),
                          QStringLiteral("CREATE TABLE ") + rebuilt);
    return {
        createRebuilt.split(u'\n'),
        {QStringLiteral("INSERT INTO %1 (%2)").arg(rebuilt, names.join(QStringLiteral(", "))),
         QStringLiteral("SELECT %1 FROM %2").arg(names.join(QStringLiteral(", ")), table)},
        {QStringLiteral("DROP TABLE %1").arg(table)},
        {QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(rebuilt, table)},
    };
}

} // namespace ostrel::StoreSchema
