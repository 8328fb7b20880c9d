#include "ItalianSettings.h"

#include <QLocale>

namespace ostrel {

void useItalianSettings()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

} // namespace ostrel
