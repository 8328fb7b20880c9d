#pragma once

#include <QString>
#include <QStringList>

namespace ostrel::SettingsFile {

// The part of the executable's file name before the first ".EXE" (any case);
// the whole name when it holds none.
QString baseName(const QString& executableFileName);
// baseName + ".ini", a bare name resolved in the current directory.
QString fileName(const QString& executableFileName);

// Writes the three settings lines; throws EInOutError.
void write(const QString& path, const QString& dataSource, const QString& host,
           const QString& codIstat);

} // namespace ostrel::SettingsFile
