#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ostrel::fuzz {

// The residue line rule written out a second way, to hold the reader to it:
// runs of "|" separate the fields, blanks and control characters around a
// field do not count.
inline QString trimControls(QStringView s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first].unicode() <= 32)
        ++first;
    while (last > first && s[last - 1].unicode() <= 32)
        --last;
    return s.mid(first, last - first).toString();
}

inline QStringList referenceFields(const QString& line)
{
    QStringList fields;
    for (const QString& part : line.split(u'|', Qt::SkipEmptyParts))
        fields.append(trimControls(part));
    return fields;
}

// A line the import skips.
inline bool referenceEmptyLine(const QString& line)
{
    for (const QChar c : line)
        if (c.unicode() > 32 && c != u'|')
            return false;
    return true;
}

struct ImportedField {
    const char* column;
    int number; // field of the line, from 1
};

// Where the import puts each field.
inline const QList<ImportedField>& importedFields()
{
    static const QList<ImportedField> fields = {
        {"Cap", 2},     {"Art", 3},          {"Oggetto", 5},  {"UEB", 6},
        {"Numero", 8},  {"Sub", 9},          {"Anno", 10},    {"Descrizione", 11},
        {"Importo", 12}, {"CodResp", 13},    {"Responsabile", 14}, {"ImportoBak", 12},
    };
    return fields;
}

} // namespace ostrel::fuzz
