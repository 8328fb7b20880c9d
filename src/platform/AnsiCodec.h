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

// True when the bytes are UTF-8 rather than Windows-1252: a byte order mark,
// or at least one multi-byte sequence and no byte that UTF-8 forbids. Real
// Windows-1252 text almost never forms valid multi-byte sequences.
bool looksLikeUtf8(const QByteArray& bytes);

} // namespace Ansi
} // namespace ostrel
