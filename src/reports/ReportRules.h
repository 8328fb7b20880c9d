#pragma once

#include <QString>

namespace ostrel::ReportRules {

// A template name as found: the bare name when such a file is in the current
// directory, else the same name in the work folder (not checked).
QString templatePath(const QString& name);

// The computer's name: COMPUTERNAME, or the host name where it is not set.
QString computerName();
// The report designer is offered on the computers whose name, upper-cased
// (letters a to z), contains "VESPARIO".
bool designerAllowed(const QString& computerName);
bool designerAllowed();

} // namespace ostrel::ReportRules
