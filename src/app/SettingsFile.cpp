#include "SettingsFile.h"

#include "platform/AnsiCodec.h"

#include <QFileInfo>

namespace ostrel::SettingsFile {

QString baseName(const QString& executableFileName)
{
    const QString name = QFileInfo(executableFileName).fileName();
    const qsizetype exe = name.toUpper().indexOf(QStringLiteral(".EXE"));
    return exe >= 0 ? name.left(exe) : name;
}

QString fileName(const QString& executableFileName)
{
    return baseName(executableFileName) + QStringLiteral(".ini");
}

void write(const QString& path, const QString& dataSource, const QString& host,
           const QString& codIstat)
{
    Ansi::writeLines(path, {dataSource, host, codIstat});
}

} // namespace ostrel::SettingsFile
