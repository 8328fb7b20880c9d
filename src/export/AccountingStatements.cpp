#include "AccountingStatements.h"

#include "platform/AccountingSession.h"
#include "platform/Errors.h"

#include <QSqlError>
#include <QSqlRecord>

namespace ostrel {

namespace {

[[noreturn]] void refused(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    throw EDatabaseError(QStringLiteral("Istruzione rifiutata dalla banca dati di Kestra: ") + text);
}

} // namespace

void AccountingStatement::execute()
{
    const QString sql = text();
    m_session.execute(sql);
    if (m_log)
        m_log->push_back({sql, {}, {}});
}

QString AccountingStatement::value()
{
    const QString sql = text();
    const QString result = m_session.queryValue(sql);
    if (m_log)
        m_log->push_back({sql, {}, result});
    return result;
}

QStringList AccountingStatement::row()
{
    const QString sql = text();
    QSqlQuery query = m_session.query(sql);
    QStringList values;
    if (query.next())
        for (int i = 0, n = query.record().count(); i < n; ++i)
            values.append(query.value(i).toString());
    if (m_log)
        m_log->push_back({sql, {}, values.join(u',')});
    return values;
}

AccountingLookup::AccountingLookup(AccountingSession& session, QStringList sql,
                                   QStringList parameterNames, StatementLog* log)
    : m_session(session), m_sql(std::move(sql)), m_names(std::move(parameterNames)),
      m_values(m_names.size()), m_log(log)
{
}

void AccountingLookup::setParameter(const QString& name, const QString& value)
{
    const qsizetype index = m_names.indexOf(name);
    if (index < 0)
        throw EDatabaseError(QStringLiteral("Parametro '%1' non trovato").arg(name));
    m_values[index] = value;
}

void AccountingLookup::open()
{
    close();
    if (beforeOpen)
        beforeOpen(*this);
    if (!m_session.isConnected())
        throw EDatabaseError(QStringLiteral("La sessione con la banca dati di Kestra non è aperta"));
    if (!m_query) {
        m_query.emplace(m_session.database());
        m_query->setForwardOnly(true);
        if (!m_query->prepare(m_sql.join(u'\n'))) {
            const QSqlError error = m_query->lastError();
            m_query.reset();
            refused(error);
        }
    }
    for (qsizetype i = 0; i < m_names.size(); ++i)
        m_query->bindValue(u':' + m_names[i], m_values[i]);
    if (!m_query->exec())
        refused(m_query->lastError());
    while (m_query->next()) {
        QStringList row;
        for (int i = 0, n = m_query->record().count(); i < n; ++i)
            row.append(m_query->value(i).toString());
        m_rows.push_back(row);
    }
    m_query->finish();
    m_active = true;
    if (m_log)
        m_log->push_back({m_sql.join(u'\n'), m_values, m_rows.empty() ? QString() : m_rows.front().value(0)});
}

QString AccountingLookup::value(int column) const
{
    return m_rows.empty() ? QString() : m_rows.front().value(column);
}

void AccountingLookup::release()
{
    close();
    m_query.reset();
}

} // namespace ostrel
