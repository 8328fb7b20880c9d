#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace ostrel {

class AccountingSession;

// One statement sent to the accounting database, as the export log keeps
// it: the text, the values bound to it and what it returned.
struct ExecutedStatement {
    QString sql;
    QStringList parameters;
    QString result;
};
using StatementLog = std::vector<ExecutedStatement>;

// A scratch statement on the accounting session: its text is a list of
// lines joined by line breaks, built anew for every use.
class AccountingStatement {
public:
    AccountingStatement(AccountingSession& session, StatementLog* log)
        : m_session(session), m_log(log)
    {
    }

    QStringList SQL;
    void set(const QStringList& lines) { SQL = lines; }

    // Throws EDatabaseError.
    void execute();
    // First column of the first row as text; empty when there is no row.
    QString value();
    // Every column of the first row as text; empty when there is no row.
    QStringList row();

private:
    QString text() const { return SQL.join(u'\n'); }

    AccountingSession& m_session;
    StatementLog* m_log;
};

// A query with named parameters (":Name") bound as text. It stays prepared
// from its first opening until release(), so reopening it with new values
// costs one round trip.
class AccountingLookup {
public:
    AccountingLookup(AccountingSession& session, QStringList sql, QStringList parameterNames,
                     StatementLog* log);

    const QStringList& sql() const { return m_sql; }
    void setParameter(const QString& name, const QString& value);

    // Runs before every opening, to bind the parameters.
    std::function<void(AccountingLookup&)> beforeOpen;

    void open(); // throws EDatabaseError
    void close() { m_rows.clear(); m_active = false; }
    bool isActive() const { return m_active; }
    bool isEmpty() const { return m_rows.empty(); }
    // A column of the first row, by position.
    QString value(int column) const;
    // Ends the prepared statement, before the session closes.
    void release();

private:
    AccountingSession& m_session;
    QStringList m_sql;
    QStringList m_names;
    QStringList m_values;
    StatementLog* m_log;
    std::optional<QSqlQuery> m_query;
    std::vector<QStringList> m_rows;
    bool m_active = false;
};

} // namespace ostrel
