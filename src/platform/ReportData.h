#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

namespace ostrel {

class DataSet;

// Amounts as the reports print them: "1.234,50", "-0,50"; two decimals,
// thousands point, no currency sign.
QString formatReportAmount(double value);

// What a report data set exposes of one column.
enum class ReportKind { Amount, Integer, Text, Flag };

// A name the report sees and the field of the data set it reads.
struct ReportAlias {
    QString name;
    QString field; // empty: the same as name
};

// A named binding of rows for a report: a data set with the list of names
// it exposes, in order, or rows given directly (figures computed in code).
class ReportDataSet {
public:
    struct Column {
        QString name;
        ReportKind kind = ReportKind::Text;
    };
    using GroupLabel = std::function<QString(const QVariantList& groupValues)>;

    ReportDataSet() = default;
    ReportDataSet(QString name, DataSet* dataSet, QList<ReportAlias> aliases);
    ReportDataSet(QString name, QList<Column> columns, QList<QVariantList> rows);

    const QString& name() const { return m_name; }
    DataSet* dataSet() const { return m_dataSet; }
    const QList<ReportAlias>& aliases() const { return m_aliases; }

    // Consecutive rows with equal values of these exposed names (texts
    // trimmed) form a group that the template can close with subtotals.
    void setGroupBy(const QStringList& names, GroupLabel label = {});
    const QStringList& groupBy() const { return m_groupBy; }
    QString groupLabel(const QVariantList& values) const;

    // The columns and rows as the report reads them: for a data set, every
    // row from the first (calculated fields included); the cursor ends on
    // the last row and the data set stays open.
    struct Snapshot {
        QList<Column> columns;
        QList<QVariantList> rows;
    };
    Snapshot read() const;

private:
    QString m_name;
    DataSet* m_dataSet = nullptr;
    QList<ReportAlias> m_aliases;
    QList<Column> m_columns;
    QList<QVariantList> m_rows;
    QStringList m_groupBy;
    GroupLabel m_label;
};

} // namespace ostrel
