#include "ReportRules.h"

#include "app/WorkFolder.h"

#include <QFileInfo>
#include <QSysInfo>

namespace ostrel::ReportRules {

QString templatePath(const QString& name)
{
    if (QFileInfo::exists(name))
        return name;
    return WorkFolder::file(name);
}

QString computerName()
{
    if (qEnvironmentVariableIsSet("COMPUTERNAME"))
        return qEnvironmentVariable("COMPUTERNAME");
    return QSysInfo::machineHostName();
}

bool designerAllowed(const QString& computerName)
{
    QString upper = computerName;
    for (QChar& c : upper)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return upper.contains(QStringLiteral("VESPARIO"));
}

bool designerAllowed()
{
    return designerAllowed(computerName());
}

} // namespace ostrel::ReportRules
