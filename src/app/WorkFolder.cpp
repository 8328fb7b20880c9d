#include "WorkFolder.h"

#include <QDir>

namespace ostrel::WorkFolder {

QString path()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\btmp\\");
#else
    QString folder = qEnvironmentVariable("OSTREL_WORKDIR");
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/btmp/");
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
#endif
}

QString file(const QString& name)
{
    return path() + name;
}

} // namespace ostrel::WorkFolder
