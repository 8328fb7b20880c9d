#pragma once

#include "DataSource.h"
#include "FieldBinding.h"

#include <QCheckBox>
#include <QLabel>

namespace ostrel {

class Field;

// A label showing one field's display text.
class DBText : public QLabel, public DataLink {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setDataField(const QString& name);
    Field* field() const { return m_binding.field(); }

protected:
    void activeChanged() override { refresh(); }
    void dataSetChanged() override { refresh(); }
    void recordChanged(Field* field) override;

private:
    void refresh();

    FieldBinding m_binding{this};
};

// A check box bound to a yes/no field; it changes only while the record is
// being edited.
class DBCheckBox : public QCheckBox, public DataLink {
    Q_OBJECT
public:
    explicit DBCheckBox(const QString& caption, QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setDataField(const QString& name);
    Field* field() const { return m_binding.field(); }

protected:
    void nextCheckState() override;
    void activeChanged() override { refresh(); }
    void dataSetChanged() override { refresh(); }
    void recordChanged(Field* field) override;

private:
    void refresh();

    FieldBinding m_binding{this};
};

} // namespace ostrel
