#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ostrel {

// The text files exchanged with the accounting products use Windows-1252.
namespace Ansi {

QString decode(const QByteArray& bytes);
// A character that Windows-1252 lacks becomes "?".
QByteArray encode(const QString& text);

// Lines of a text file; a line ends at CR LF, LF or CR. Throws EInOutError.
QStringList readLines(const QString& path);
// Writes the lines, each followed by CR LF, replacing the file. Throws EInOutError.
void writeLines(const QString& path, const QStringList& lines);

QStringList splitLines(const QString& text);

} // namespace Ansi
} // namespace ostrel
