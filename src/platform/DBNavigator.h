#pragma once

#include "DataSource.h"
#include "FieldBinding.h"

#include <QWidget>
#include <array>
#include <functional>

class QToolButton;

namespace ostrel {

// The record navigator: first, prior, next, last, delete, edit, post,
// cancel. Before each action `beforeAction` may abandon it; after an action
// that was carried out `onClick` runs. Post and cancel are enabled only while
// editing, edit only while not. The navigator itself takes the focus.
class DBNavigator : public QWidget, public DataLink {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Delete, Edit, Post, Cancel };
    static constexpr int ButtonCount = 8;

    explicit DBNavigator(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_binding.dataSource(); }
    DataSet* dataSet() const { return m_binding.dataSet(); }

    // Sets abandon to true to refuse the action.
    std::function<void(Button, bool& abandon)> beforeAction;
    std::function<void(Button)> onClick;

    QToolButton* button(Button b) const { return m_buttons[b]; }
    // Runs the action as a click on its button does.
    void BtnClick(Button b);
    static QString hint(Button b);

protected:
    void activeChanged() override { updateButtons(); }
    void dataSetChanged() override { updateButtons(); }
    void recordChanged(Field* field) override
    {
        if (!field)
            updateButtons();
    }
    void editingChanged() override { updateButtons(); }
    void changeEvent(QEvent* event) override;

private:
    void updateButtons();

    FieldBinding m_binding{this};
    std::array<QToolButton*, ButtonCount> m_buttons{};
};

} // namespace ostrel
