#pragma once

#include "platform/DBEdit.h"

#include <QColor>
#include <QFont>

namespace ostrel {

// The program's data edit: while it has the focus its background takes the
// reverse colour and its text turns bold, so the amount being typed stands out.
class TDBEditRev : public DBEdit {
    Q_OBJECT
public:
    explicit TDBEditRev(QWidget* parent = nullptr);

    QColor ColorRev() const { return FColorRev; }
    void SetColor(const QColor& color);

protected:
    void DoEnter() override;
    void DoExit() override;

private:
    QColor Colore;
    bool Stile = false; // the font was bold
    QColor FColorRev;
};

} // namespace ostrel
