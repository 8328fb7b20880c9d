#pragma once

#include <QString>
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

// A typed text for the inside of the store's quotes: an apostrophe doubled, so
// that a typed D'ANGELO stays inside them. A null character would end the
// statement there, so it is refused with EConvertError.
QString sqlText(const QString& typed);

} // namespace ostrel
