#include "DBEditRev.h"

#include <QPalette>

namespace ostrel {

TDBEditRev::TDBEditRev(QWidget* parent) : DBEdit(parent), FColorRev(0, 255, 255) {}

void TDBEditRev::SetColor(const QColor& color)
{
    if (color == FColorRev)
        return;
    FColorRev = color; // shows from the next entry on
    update();
}

void TDBEditRev::DoEnter()
{
    DBEdit::DoEnter();
    Colore = palette().color(QPalette::Base);
    QPalette p = palette();
    p.setColor(QPalette::Base, FColorRev);
    setPalette(p);
    Stile = font().bold();
    QFont f = font();
    f.setBold(true);
    setFont(f);
}

void TDBEditRev::DoExit()
{
    DBEdit::DoExit();
    QPalette p = palette();
    p.setColor(QPalette::Base, Colore);
    setPalette(p);
    QFont f = font();
    f.setBold(Stile);
    setFont(f);
}

} // namespace ostrel
