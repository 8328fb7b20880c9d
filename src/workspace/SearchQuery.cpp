#include "SearchQuery.h"

#include "app/DataModule.h"
#include "platform/SqlStatement.h"

namespace ostrel::SearchQuery {

QStringList designText()
{
    return {QStringLiteral("SELECT * FROM tEntrate"), QStringLiteral("WHERE"), defaultFilterLine(),
            QStringLiteral("ORDER BY"), QStringLiteral("  Anno, Numero")};
}

QString defaultFilterLine()
{
    return QStringLiteral("  Numero like \"%\"");
}

QString filterLine(int edit, const QString& text)
{
    static const char* const columns[7] = {"Cap", "Art", "UEB", "Numero", "Anno", "Descrizione",
                                           "Responsabile"};
    if (edit < 1 || edit > 7)
        return defaultFilterLine();
    const QString value = sqlText(text);
    const bool contains = edit >= 6;
    return QStringLiteral("  %1 like '%2%3%'")
        .arg(QString::fromLatin1(columns[edit - 1]), contains ? QStringLiteral("%") : QString(), value);
}

QString sortText(int column)
{
    switch (column) {
    case 0:
        return QStringLiteral("Cap, Art");
    case 2:
        return QStringLiteral("UEB");
    case 3:
        return QStringLiteral("Anno, Numero, Sub");
    case 6:
        return QStringLiteral("TRIM(Descrizione)");
    case 7:
        return QStringLiteral("TRIM(Responsabile)");
    default:
        return QString();
    }
}

int filterIndex(const QStringList& lines)
{
    return TdTabelle::CercaRiga(QStringLiteral("WHERE"), lines) + 1;
}

int sortIndex(const QStringList& lines)
{
    return TdTabelle::CercaRiga(QStringLiteral("ORDER BY"), lines) + 1;
}

} // namespace ostrel::SearchQuery
