#pragma once

#include "DataSource.h"
#include "FieldBinding.h"

#include <QLineEdit>
#include <functional>

namespace ostrel {

class Field;

// A single-line edit bound to one field. Unfocused it shows the field's
// display text, focused its edit text; the typed text goes into the field
// when the focus leaves and when the record is posted. A refused text is
// reported and the focus stays. It accepts input only while the record is
// being edited. Its change event is textChanged, which also fires when the
// data layer replaces the text.
class DBEdit : public QLineEdit, public DataLink {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_binding.dataSource(); }
    void setDataField(const QString& name);
    const QString& dataField() const { return m_binding.dataField(); }
    Field* field() const { return m_binding.field(); }

    // Typed letters become capitals.
    void setUpperCase();

    // The control's enter and exit events.
    std::function<void()> onEnter;
    std::function<void()> onExit;

protected:
    // Focus entry and exit notifications; the base fires onEnter / onExit.
    virtual void DoEnter();
    virtual void DoExit();

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    void activeChanged() override { refresh(); }
    void dataSetChanged() override { refresh(); }
    void recordChanged(Field* field) override;
    void editingChanged() override;
    void updateData() override;

private:
    void refresh();
    // Writes the typed text into the field; throws what the field throws.
    void writeText();

    FieldBinding m_binding{this};
    bool m_userModified = false;
    bool m_refocusing = false;
};

} // namespace ostrel
