#include "SqlStatement.h"

#include "LocalStore.h"

namespace ostrel {

int SqlStatement::execute()
{
    QSqlQuery query = m_store->exec(m_sql.join(u'\n'));
    return query.numRowsAffected();
}

} // namespace ostrel
