#include "DBEdit.h"

#include "CapitalsInput.h"
#include "DataSet.h"
#include "Errors.h"
#include "Field.h"
#include "MessageBoxes.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace ostrel {

namespace {

// Focus that moves to a message box or a menu and back is not the user
// leaving the edit.
bool isWindowSwitch(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
    connect(this, &QLineEdit::textEdited, this, [this] { m_userModified = true; });
}

void DBEdit::setUpperCase()
{
    typeInCapitals(this);
}

void DBEdit::setDataSource(DataSource* source)
{
    m_binding.setDataSource(source);
    refresh();
}

void DBEdit::setDataField(const QString& name)
{
    m_binding.setDataField(name);
    refresh();
}

void DBEdit::refresh()
{
    m_userModified = false;
    const Field* f = field();
    const QString text = !f ? QString() : hasFocus() ? f->editText() : f->displayText();
    if (text != this->text())
        setText(text);
    editingChanged();
}

void DBEdit::recordChanged(Field* changed)
{
    if (!changed || changed == field())
        refresh();
}

void DBEdit::editingChanged()
{
    const DataSet* ds = m_binding.dataSet();
    const Field* f = field();
    setReadOnly(!ds || !ds->isEditing() || !f || f->isReadOnly());
}

void DBEdit::writeText()
{
    if (!m_userModified)
        return;
    Field* f = field();
    if (!f)
        return;
    m_userModified = false;
    try {
        f->setAsString(text());
    } catch (...) {
        m_userModified = true;
        throw;
    }
}

void DBEdit::updateData()
{
    writeText();
}

void DBEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (isWindowSwitch(event->reason()))
        return;
    if (m_refocusing) {
        // Back after a refused text: still the same visit to the edit.
        m_refocusing = false;
        return;
    }
    if (!m_userModified)
        refresh();
    guarded([this] { DoEnter(); });
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (isWindowSwitch(event->reason()) || m_refocusing)
        return;
    try {
        writeText();
    } catch (const std::exception& e) {
        reportException(e);
        m_refocusing = true;
        setFocus(Qt::OtherFocusReason);
        return;
    }
    refresh();
    guarded([this] { DoExit(); });
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    // With automatic editing a typed character starts editing the record,
    // or a new one when the table holds none.
    DataSet* ds = m_binding.dataSet();
    DataSource* source = m_binding.dataSource();
    const bool typing = !event->text().isEmpty() && (event->text()[0].isPrint() || event->key() == Qt::Key_Backspace
                                                     || event->key() == Qt::Key_Delete);
    if (typing && source && source->autoEdit && ds && ds->isActive() && !ds->isEditing()) {
        bool started = false;
        guarded([&] {
            if (ds->isEmpty())
                ds->append();
            else
                ds->edit();
            started = true;
        });
        if (!started)
            return;
    }
    QLineEdit::keyPressEvent(event);
}

void DBEdit::DoEnter()
{
    if (onEnter)
        onEnter();
}

void DBEdit::DoExit()
{
    if (onExit)
        onExit();
}

} // namespace ostrel
