#pragma once

#include <QString>
#include <QStringList>

namespace ostrel {

class LocalStore;

// The store's tables as written once in schema/store.sql.
namespace StoreSchema {

// The CREATE TABLE statements, in file order.
QStringList statements();
// The CREATE TABLE statement of one table; empty when unknown.
QString createStatement(const QString& table);

// Creates a new store file with the three tables, readable by its owner
// only; refuses an existing file. Throws EDatabaseError or EInOutError.
void createStore(const QString& path);

// The statements that rebuild a residue table whose Cap column is not an
// INTEGER, rows unchanged; empty when Cap already is one. Throws
// EDatabaseError when the table or the column is missing.
QList<QStringList> capUpgrade(LocalStore& store, const QString& table);

// Throws EDatabaseError naming the table or the columns of the schema that
// the store lacks, before any window binds to them.
void checkColumns(LocalStore& store, const QString& table);

} // namespace StoreSchema
} // namespace ostrel
