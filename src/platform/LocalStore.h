#pragma once

#include "FieldType.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

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
    bool isOpen() const;
    void close();
    // Grows at every open: statements prepared before belong to a dead connection.
    int generation() const { return m_generation; }

    // Runs one statement with positional bound values; throws EDatabaseError.
    QSqlQuery exec(const QString& sql, const QVariantList& values = {});
    // Columns of a table in declared order; empty when the table is missing.
    QList<ColumnDef> tableColumns(const QString& table);
    void forgetTableColumns() { m_columns.clear(); }

    void begin();
    void commit();
    void rollback();

    // Italian message for a statement the store refused.
    static QString describeError(const QString& what, const QSqlError& error);

private:
    void checkFile() const;

    QString m_connectionName;
    QString m_dataSource;
    QHash<QString, QList<ColumnDef>> m_columns;
    int m_generation = 0;
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
