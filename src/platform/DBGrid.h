#pragma once

#include "DataSource.h"
#include "FieldBinding.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QTableView>
#include <functional>

namespace ostrel {

class DataSet;

// A read-only grid over a data source: whole-row selection that follows the
// data set's current record, clickable titles, a row indicator.
class DBGrid : public QTableView, public DataLink {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;
        Qt::Alignment titleAlignment = Qt::AlignLeft;
        Qt::Alignment alignment = Qt::AlignLeft;
        int width = 80;
        QColor titleColor;   // invalid: the normal window-text colour
        bool titleBold = false;
    };

    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }
    void setTitleStyle(int column, const QColor& color, bool bold);

    std::function<void(int column)> onTitleClick;
    std::function<void()> onDoubleClick;

protected:
    void activeChanged() override { reload(); }
    void dataSetChanged() override { reload(); }
    void recordChanged(Field* field) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    class Model;
    void reload();
    void followCurrentRecord();
    DataSet* dataSet() const;

    FieldBinding m_binding{this};
    QList<Column> m_columns;
    Model* m_model;
    bool m_following = false;
};

} // namespace ostrel
