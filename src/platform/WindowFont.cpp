#include "WindowFont.h"

#include <QFontDatabase>

namespace ostrel {

QFont windowFont(int pixelSize, bool bold)
{
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Tahoma"))
        ? QStringLiteral("Tahoma")
        : QStringLiteral("DejaVu Sans");
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace ostrel
