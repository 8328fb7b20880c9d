#pragma once

#include "FieldType.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

namespace ostrel {

// Declared type of a table column, as the data layer needs it.
struct ColumnDef {
    QString name;
    QString declaredType;
    FieldType type = FieldType::Text;
    int size = 0;
};

// The connection to the local store: one SQLite file. It opens on first use,
// never creates the file, and waits for another copy's lock instead of failing.
class LocalStore {
public:
    explicit LocalStore(QString connectionName);
    ~LocalStore();
    LocalStore(const LocalStore&) = delete;
    LocalStore& operator=(const LocalStore&) = delete;

    // Closes the connection; the next use opens the new file.
    void setDataSource(const QString& path);
    const QString& dataSource() const { return m_dataSource; }

    // The open connection; throws EDatabaseError when the file is missing or
    // is not a usable store.
    QSqlDatabase database();
    // The SQLite handle of the open connection, for the data layer's reads.
    sqlite3* handle();
    bool isOpen() const;
    void close();
    // A prepared statement kept for reuse until the connection closes; the
    // caller resets it after use. Throws EDatabaseError with `what`.
    sqlite3_stmt* prepared(const QString& sql, const QString& what);
    // Runs a cached statement with positional values; returns the rows changed.
    int run(const QString& sql, const QVariantList& values, qint64* lastInsertRowId,
            const QString& what);

    // Runs one statement with positional bound values; throws EDatabaseError.
    QSqlQuery exec(const QString& sql, const QVariantList& values = {});
    // Columns of a table in declared order; empty when the table is missing.
    QList<ColumnDef> tableColumns(const QString& table);
    void forgetTableColumns() { m_columns.clear(); }

    // A write transaction, taken at once so that reading then writing in it
    // cannot meet another copy's writer halfway and fail without waiting.
    void begin();
    void commit();
    void rollback();
    bool inTransaction();

    // Called when a statement starts waiting for another copy's lock, with
    // the words to show; the wait lasts at most 30 seconds.
    std::function<void(const QString& text)> onWaitForLock;

    // Italian message for a statement the store refused.
    static QString describeError(const QString& what, const QSqlError& error);
    static QString describeError(const QString& what, const QString& storeText);

private:
    void checkFile() const;
    void runPlain(const char* sql, const QString& what);
    static int waitForLock(void* store, int attempt);

    QString m_connectionName;
    QString m_dataSource;
    QHash<QString, QList<ColumnDef>> m_columns;
    QHash<QString, sqlite3_stmt*> m_prepared;
    sqlite3* m_handle = nullptr;
};

// Commits on commit(); rolls back when left any other way.
class StoreTransaction {
public:
    explicit StoreTransaction(LocalStore& store);
    ~StoreTransaction();
    void commit();

private:
    LocalStore& m_store;
    bool m_done = false;
};

ColumnDef columnFromDeclaration(const QString& name, const QString& declaredType);

} // namespace ostrel
