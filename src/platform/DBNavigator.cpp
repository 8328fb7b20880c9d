#include "DBNavigator.h"

#include "DataSet.h"
#include "Glyphs.h"
#include "MessageBoxes.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

namespace ostrel {

namespace {

const char* const kHints[DBNavigator::ButtonCount] = {
    "Inizio archivio", "Indietro", "Avanti", "Fine archivio",
    "Elimina", "Modifica", "Registra", "Annulla",
};

const char* const kNames[DBNavigator::ButtonCount] = {
    "nbFirst", "nbPrior", "nbNext", "nbLast", "nbDelete", "nbEdit", "nbPost", "nbCancel",
};

const Glyph kGlyphs[DBNavigator::ButtonCount] = {
    Glyph::First, Glyph::Prior, Glyph::Next, Glyph::Last,
    Glyph::Delete, Glyph::Edit, Glyph::Post, Glyph::Cancel,
};

} // namespace

QString DBNavigator::hint(Button b)
{
    return QString::fromUtf8(kHints[b]);
}

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    // Focusable from the keyboard and by the program, but a click on a button
    // leaves the focus where it is: the action's checks give it back there.
    setFocusPolicy(Qt::TabFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kNames[i]));
        button->setToolTip(hint(Button(i)));
        button->setIcon(glyphIcon(kGlyphs[i], 24));
        button->setIconSize(QSize(24, 24));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
        button->setMinimumSize(40, 40);
        connect(button, &QToolButton::clicked, this, [this, i] { BtnClick(Button(i)); });
        layout->addWidget(button);
        m_buttons[i] = button;
    }
    updateButtons();
}

void DBNavigator::setDataSource(DataSource* source)
{
    m_binding.setDataSource(source);
    updateButtons();
}

void DBNavigator::BtnClick(Button b)
{
    guarded([&] {
        DataSet* ds = dataSet();
        if (!ds || !ds->isActive())
            return;
        bool abandon = false;
        if (beforeAction)
            beforeAction(b, abandon);
        if (abandon)
            return;
        switch (b) {
        case First:
            ds->first();
            break;
        case Prior:
            ds->prior();
            break;
        case Next:
            ds->next();
            break;
        case Last:
            ds->last();
            break;
        case Delete:
            ds->deleteRecord();
            break;
        case Edit:
            ds->edit();
            break;
        case Post:
            ds->post();
            break;
        case Cancel:
            ds->cancel();
            break;
        }
        if (onClick)
            onClick(b);
    });
}

void DBNavigator::updateButtons()
{
    const DataSet* ds = dataSet();
    const bool active = ds && ds->isActive();
    const bool editing = active && ds->isEditing();
    const bool canModify = active && !ds->isReadOnly();
    const bool empty = !active || ds->isEmpty();
    m_buttons[First]->setEnabled(active && !ds->bof());
    m_buttons[Prior]->setEnabled(active && !ds->bof());
    m_buttons[Next]->setEnabled(active && !ds->eof());
    m_buttons[Last]->setEnabled(active && !ds->eof());
    m_buttons[Delete]->setEnabled(canModify && !empty);
    m_buttons[Edit]->setEnabled(canModify && !editing && !empty);
    m_buttons[Post]->setEnabled(canModify && editing);
    m_buttons[Cancel]->setEnabled(canModify && editing);
}

void DBNavigator::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
}

} // namespace ostrel
