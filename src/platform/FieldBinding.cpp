#include "FieldBinding.h"

#include "DataSet.h"
#include "DataSource.h"

namespace ostrel {

FieldBinding::~FieldBinding()
{
    if (m_source)
        m_source->removeLink(m_control);
}

void FieldBinding::setDataSource(DataSource* source)
{
    if (m_source)
        m_source->removeLink(m_control);
    m_source = source;
    if (m_source)
        m_source->addLink(m_control);
}

DataSet* FieldBinding::dataSet() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

Field* FieldBinding::field() const
{
    DataSet* ds = dataSet();
    return ds && ds->isActive() ? ds->findField(m_fieldName) : nullptr;
}

} // namespace ostrel
