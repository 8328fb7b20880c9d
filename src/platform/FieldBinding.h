#pragma once

#include <QString>

namespace ostrel {

class DataLink;
class DataSet;
class DataSource;
class Field;

// What binds a data-aware control to a data source (and, for most, to one of
// its fields): the control is the link that receives the source's notices.
class FieldBinding {
public:
    explicit FieldBinding(DataLink* control) : m_control(control) {}
    ~FieldBinding();
    FieldBinding(const FieldBinding&) = delete;
    FieldBinding& operator=(const FieldBinding&) = delete;

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    void setDataField(const QString& name) { m_fieldName = name; }
    const QString& dataField() const { return m_fieldName; }

    DataSet* dataSet() const;
    // The field while the data set is open, else null.
    Field* field() const;

private:
    DataLink* m_control;
    DataSource* m_source = nullptr;
    QString m_fieldName;
};

} // namespace ostrel
