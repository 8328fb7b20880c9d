#include "LegendWindow.h"

#include "platform/WindowFont.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>

namespace ostrel {

namespace {

QLabel* heading(QWidget* parent, const QString& text, const QRect& rect, Qt::Alignment alignment)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(rect);
    label->setFont(windowFont(13, true));
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

} // namespace

TfLegenda::TfLegenda(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fLegenda"));
    setWindowTitle(QStringLiteral("[fLegenda]"));
    setFont(windowFont(11));
    setFixedSize(447, 280);

    heading(this, QStringLiteral("PARTE CORRENTE"), QRect(92, 8, 172, 24), Qt::AlignHCenter);
    heading(this, QStringLiteral("CONTO CAPITALE"), QRect(268, 8, 172, 24), Qt::AlignHCenter);
    const int rowTop[2] = {40, 160};
    const QString rows[2] = {QStringLiteral("ENTRATE "), QStringLiteral("USCITE ")};
    const QStringList cells[2][2] = {
        {{"Titolo 1: Tutto", "", "Titolo 2: Tutto", "", "Titolo 3: Tutto"},
         {"Titolo 4: Tutto", "", "Titolo 5: Categorie 3 e 4"}},
        {{"Titolo 1: Tutto", "", "Titolo 3: Interventi 3, 4 e 5", ""}, {"Titolo 2: Tutto"}},
    };
    for (int r = 0; r < 2; ++r) {
        auto* bevel = new QFrame(this);
        bevel->setGeometry(4, rowTop[r] - 4, 439, 116);
        bevel->setFrameStyle(QFrame::Box | QFrame::Raised);
        heading(this, rows[r], QRect(8, rowTop[r], 80, 24), Qt::AlignRight);
        for (int c = 0; c < 2; ++c) {
            auto* text = new QPlainTextEdit(this);
            text->setObjectName(QStringLiteral("Memo%1").arg(r * 2 + c + 1));
            text->setGeometry(92 + c * 176, rowTop[r], 172, 104);
            text->setFont(windowFont(13));
            text->setReadOnly(true);
            text->setPlainText(cells[r][c].join(u'\n'));
            text->installEventFilter(this);
        }
    }
}

bool TfLegenda::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ostrel
