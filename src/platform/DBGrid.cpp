#include "DBGrid.h"

#include "DataSet.h"
#include "Field.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>

namespace ostrel {

class DBGrid::Model : public QAbstractTableModel {
public:
    explicit Model(DBGrid& grid) : m_grid(grid) {}

    int rowCount(const QModelIndex& parent) const override
    {
        const DataSet* ds = m_grid.dataSet();
        return parent.isValid() || !ds || !ds->isActive() ? 0 : ds->recordCount();
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(m_grid.m_columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const DataSet* ds = m_grid.dataSet();
        if (!ds || !ds->isActive())
            return {};
        const Column& column = m_grid.m_columns[index.column()];
        if (role == Qt::TextAlignmentRole)
            return int(column.alignment | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        const Field* field = ds->findField(column.field);
        if (!field)
            return {};
        const QVariant v = ds->valueAt(index.row(), *field);
        if (!v.isValid())
            return QString();
        return field->type() == FieldType::Text ? v.toString() : QString::number(v.toLongLong());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical) {
            // The row indicator: a marker on the current record.
            const DataSet* ds = m_grid.dataSet();
            if (role == Qt::DisplayRole)
                return ds && ds->recNo() == section ? QStringLiteral("▶") : QString();
            return {};
        }
        const Column& column = m_grid.m_columns[section];
        switch (role) {
        case Qt::DisplayRole:
            return column.title;
        case Qt::TextAlignmentRole:
            return int(column.titleAlignment | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            return column.titleColor.isValid() ? QVariant(column.titleColor) : QVariant();
        case Qt::FontRole: {
            QFont font = m_grid.font();
            font.setBold(column.titleBold);
            return font;
        }
        default:
            return {};
        }
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
    void titlesChanged() { emit headerDataChanged(Qt::Horizontal, 0, columnCount({}) - 1); }
    void indicatorChanged() { emit headerDataChanged(Qt::Vertical, 0, rowCount({}) - 1); }

private:
    DBGrid& m_grid;
};

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), m_model(new Model(*this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    // The selected row stays visible when the grid does not have the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(18);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        guarded([&] {
            if (onTitleClick)
                onTitleClick(section);
        });
    });
}

DataSet* DBGrid::dataSet() const
{
    return m_binding.dataSet();
}

void DBGrid::setDataSource(DataSource* source)
{
    m_binding.setDataSource(source);
    reload();
}

void DBGrid::setColumns(const QList<Column>& columns)
{
    m_columns = columns;
    reload();
    for (int i = 0; i < m_columns.size(); ++i)
        setColumnWidth(i, m_columns[i].width);
}

void DBGrid::setTitleStyle(int column, const QColor& color, bool bold)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].titleColor = color;
    m_columns[column].titleBold = bold;
    m_model->titlesChanged();
}

void DBGrid::reload()
{
    m_model->reset();
    followCurrentRecord();
}

void DBGrid::recordChanged(Field* field)
{
    if (!field)
        followCurrentRecord();
}

void DBGrid::followCurrentRecord()
{
    const DataSet* ds = dataSet();
    if (!ds || !ds->isActive() || ds->recNo() < 0)
        return;
    m_following = true;
    const QModelIndex index = m_model->index(ds->recNo(), qMax(0, currentIndex().column()));
    setCurrentIndex(index);
    selectRow(ds->recNo());
    scrollTo(index);
    m_following = false;
    m_model->indicatorChanged();
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    DataSet* ds = dataSet();
    if (m_following || !ds || !ds->isActive() || !current.isValid() || current.row() == ds->recNo())
        return;
    guarded([&] { ds->moveTo(current.row()); });
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    guarded([&] {
        if (onDoubleClick)
            onDoubleClick();
    });
}

} // namespace ostrel
