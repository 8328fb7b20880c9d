#include "DataSource.h"

#include "DataSet.h"

#include <algorithm>

namespace ostrel {

DataSource::~DataSource()
{
    if (m_dataSet)
        m_dataSet->detach(this);
}

void DataSource::setDataSet(DataSet* dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        m_dataSet->detach(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->attach(this);
    activeChanged();
}

void DataSource::addLink(DataLink* link)
{
    if (std::find(m_links.begin(), m_links.end(), link) == m_links.end())
        m_links.push_back(link);
}

void DataSource::removeLink(DataLink* link)
{
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
}

// Notices go to a copy of the list: a control may unlink itself meanwhile.
void DataSource::activeChanged()
{
    for (DataLink* link : std::vector<DataLink*>(m_links))
        link->activeChanged();
}

void DataSource::dataSetChanged()
{
    for (DataLink* link : std::vector<DataLink*>(m_links))
        link->dataSetChanged();
}

void DataSource::recordChanged(Field* field)
{
    for (DataLink* link : std::vector<DataLink*>(m_links))
        link->recordChanged(field);
}

void DataSource::editingChanged()
{
    for (DataLink* link : std::vector<DataLink*>(m_links))
        link->editingChanged();
}

void DataSource::updateData()
{
    for (DataLink* link : std::vector<DataLink*>(m_links))
        link->updateData();
}

} // namespace ostrel
