#include "DBText.h"

#include "DataSet.h"
#include "Field.h"
#include "MessageBoxes.h"

namespace ostrel {

namespace {

Field* boundField(DataSource* source, const QString& name)
{
    DataSet* ds = source ? source->dataSet() : nullptr;
    return ds && ds->isActive() ? ds->findField(name) : nullptr;
}

} // namespace

DBText::DBText(QWidget* parent) : QLabel(parent) {}

DBText::~DBText()
{
    if (m_source)
        m_source->removeLink(this);
}

void DBText::setDataSource(DataSource* source)
{
    if (m_source)
        m_source->removeLink(this);
    m_source = source;
    if (m_source)
        m_source->addLink(this);
    refresh();
}

void DBText::setDataField(const QString& name)
{
    m_fieldName = name;
    refresh();
}

Field* DBText::field() const
{
    return boundField(m_source, m_fieldName);
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

DBCheckBox::~DBCheckBox()
{
    if (m_source)
        m_source->removeLink(this);
}

void DBCheckBox::setDataSource(DataSource* source)
{
    if (m_source)
        m_source->removeLink(this);
    m_source = source;
    if (m_source)
        m_source->addLink(this);
    refresh();
}

void DBCheckBox::setDataField(const QString& name)
{
    m_fieldName = name;
    refresh();
}

Field* DBCheckBox::field() const
{
    return boundField(m_source, m_fieldName);
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
