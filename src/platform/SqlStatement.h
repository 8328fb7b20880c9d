#pragma once

#include <QStringList>

namespace ostrel {

class LocalStore;

// A statement without result on the local store, its text a list of lines.
class SqlStatement {
public:
    explicit SqlStatement(LocalStore* store) : m_store(store) {}

    const QStringList& sql() const { return m_sql; }
    void clear() { m_sql.clear(); }
    void add(const QString& line) { m_sql.append(line); }
    void setSql(const QStringList& lines) { m_sql = lines; }
    // Returns the rows affected; throws EDatabaseError.
    int execute();

private:
    LocalStore* m_store;
    QStringList m_sql;
};

} // namespace ostrel
