#pragma once

#include <vector>

namespace ostrel {

class DataSet;
class Field;

// A control's view of a data source: the notices of the data set it shows.
class DataLink {
public:
    virtual ~DataLink() = default;
    // Opened or closed.
    virtual void activeChanged() {}
    // Rows changed as a whole (open, delete, another data set).
    virtual void dataSetChanged() {}
    // The current record moved or changed; field is null for the whole record.
    virtual void recordChanged(Field* field) { (void)field; }
    virtual void editingChanged() {}
    // The record is being posted: write any pending text into the field.
    virtual void updateData() {}
};

// Links a data set to the controls that show it.
class DataSource {
public:
    DataSource() = default;
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    void setDataSet(DataSet* dataSet);
    DataSet* dataSet() const { return m_dataSet; }
    // Off: typing into a bound control never starts editing on its own.
    bool autoEdit = true;

    void addLink(DataLink* link);
    void removeLink(DataLink* link);

    // Called by the data set.
    void activeChanged();
    void dataSetChanged();
    void recordChanged(Field* field);
    void editingChanged();
    void updateData();

private:
    DataSet* m_dataSet = nullptr;
    std::vector<DataLink*> m_links;
};

} // namespace ostrel
