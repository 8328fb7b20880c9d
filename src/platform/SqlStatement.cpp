#include "SqlStatement.h"

#include "Errors.h"
#include "LocalStore.h"

namespace ostrel {

int SqlStatement::execute()
{
    QSqlQuery query = m_store->exec(m_sql.join(u'\n'));
    return query.numRowsAffected();
}

QString sqlText(const QString& typed)
{
    if (typed.contains(QChar(u'\0')))
        throw EConvertError(QStringLiteral("Il testo cercato contiene un carattere nullo (codice 0), "
                                           "che l'archivio non sa confrontare: toglierlo e riprovare."));
    QString text = typed;
    return text.replace(u'\'', QStringLiteral("''"));
}

} // namespace ostrel
