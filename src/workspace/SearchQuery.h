#pragma once

#include <QString>
#include <QStringList>

namespace ostrel::SearchQuery {

// The list's query text at design time: table line, "WHERE", filter line,
// "ORDER BY", sort line.
QStringList designText();
QString defaultFilterLine();

// The filter line of filter edit `edit` (1 to 7: Cap, Art, UEB, Numero,
// Anno begin with the text; Descrizione and Responsabile contain it), quoted
// by sqlText, which refuses a null character.
QString filterLine(int edit, const QString& text);

// The sort text of a title click on grid column `column`; empty for the
// columns that do not sort (Art, Sub, Anno).
QString sortText(int column);

// Index of the filter line (after the line "WHERE") and of the sort line
// (after the line "ORDER BY") in a query text.
int filterIndex(const QStringList& lines);
int sortIndex(const QStringList& lines);

} // namespace ostrel::SearchQuery
