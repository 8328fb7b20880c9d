#include "DBText.h"

#include "DataSet.h"
#include "Field.h"
#include "MessageBoxes.h"

namespace ostrel {

DBText::DBText(QWidget* parent) : QLabel(parent) {}

void DBText::setDataSource(DataSource* source)
{
    m_binding.setDataSource(source);
    refresh();
}

void DBText::setDataField(const QString& name)
{
    m_binding.setDataField(name);
    refresh();
}

void DBText::refresh()
{
    const Field* f = field();
    setText(f ? f->displayText() : QString());
}

void DBText::recordChanged(Field* changed)
{
    if (!changed || changed == field())
        refresh();
}

DBCheckBox::DBCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

void DBCheckBox::setDataSource(DataSource* source)
{
    m_binding.setDataSource(source);
    refresh();
}

void DBCheckBox::setDataField(const QString& name)
{
    m_binding.setDataField(name);
    refresh();
}

void DBCheckBox::refresh()
{
    const Field* f = field();
    setChecked(f && f->asBoolean());
}

void DBCheckBox::recordChanged(Field* changed)
{
    if (!changed || changed == field())
        refresh();
}

void DBCheckBox::nextCheckState()
{
    Field* f = field();
    if (!f || !f->dataSet().isEditing())
        return;
    guarded([&] { f->setValue(!f->asBoolean()); });
}

} // namespace ostrel
