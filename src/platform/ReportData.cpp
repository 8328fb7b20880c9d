#include "ReportData.h"

#include "DataSet.h"
#include "Errors.h"

#include <QLocale>
#include <cmath>

namespace ostrel {

QString formatReportAmount(double value)
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    const double rounded = std::round(value * 100.0) / 100.0;
    // No "-0,00" for a value that rounds to zero.
    return italian.toString(rounded == 0.0 ? 0.0 : rounded, 'f', 2);
}

namespace {

ReportKind kindOf(FieldType type)
{
    switch (type) {
    case FieldType::Real:
        return ReportKind::Amount;
    case FieldType::Int2:
    case FieldType::Int4:
        return ReportKind::Integer;
    case FieldType::Bool:
        return ReportKind::Flag;
    default:
        return ReportKind::Text;
    }
}

} // namespace

ReportDataSet::ReportDataSet(QString name, DataSet* dataSet, QList<ReportAlias> aliases)
    : m_name(std::move(name)), m_dataSet(dataSet), m_aliases(std::move(aliases))
{
}

ReportDataSet::ReportDataSet(QString name, QList<Column> columns, QList<QVariantList> rows)
    : m_name(std::move(name)), m_columns(std::move(columns)), m_rows(std::move(rows))
{
}

void ReportDataSet::setGroupBy(const QStringList& names, GroupLabel label)
{
    m_groupBy = names;
    m_label = std::move(label);
}

QString ReportDataSet::groupLabel(const QVariantList& values) const
{
    if (m_label)
        return m_label(values);
    QStringList parts;
    for (const QVariant& v : values)
        parts.append(v.toString().trimmed());
    return parts.join(u" - ");
}

ReportDataSet::Snapshot ReportDataSet::read() const
{
    if (!m_dataSet)
        return {m_columns, m_rows};
    Snapshot snapshot;
    DataSet& ds = *m_dataSet;
    if (!ds.isActive())
        ds.open();
    std::vector<Field*> fields;
    for (const ReportAlias& alias : m_aliases) {
        Field& field = ds.fieldByName(alias.field.isEmpty() ? alias.name : alias.field);
        fields.push_back(&field);
        snapshot.columns.append({alias.name, kindOf(field.type())});
    }
    snapshot.rows.reserve(ds.recordCount());
    for (ds.first(); !ds.eof(); ds.next()) {
        QVariantList row;
        row.reserve(qsizetype(fields.size()));
        for (Field* field : fields)
            row.append(field->value());
        snapshot.rows.append(std::move(row));
    }
    return snapshot;
}

} // namespace ostrel
