#pragma once

#include "Errors.h"
#include "ReportData.h"

#include <QDate>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>

class QIODevice;
class QPagedPaintDevice;
class QPainter;
class QTextDocument;

namespace ostrel {

class TableBorders;

// A report laid out into pages: the template rendered with its data and
// laid out by Qt's text document. Every page is painted by paintPage, so the
// preview, the printer and the PDF show the same thing.
class PreparedReport {
public:
    // pageHeaderHtml: printed under the title at the top of every page.
    PreparedReport(std::unique_ptr<QTextDocument> body, QString title, QDate date,
                   QPageLayout layout, QString pageHeaderHtml = QString());
    ~PreparedReport();
    PreparedReport(const PreparedReport&) = delete;
    PreparedReport& operator=(const PreparedReport&) = delete;

    const QString& title() const { return m_title; }
    QDate date() const { return m_date; }
    const QPageLayout& pageLayout() const { return m_layout; }
    int pageCount() const;
    // The painter's unit is the point, its origin the page's top left corner.
    void paintPage(QPainter& painter, int index) const;
    // The page that holds the first match of text at or after page `from`
    // (case-insensitive), or -1.
    int findPage(const QString& text, int from = 0) const;
    const QTextDocument& body() const { return *m_body; }
    // The page's footer: "Pagina N di M" (index from 0).
    QString footerText(int index) const;

    // Pages fromPage..toPage (all by default) on a printer or PDF writer,
    // which takes the report's page layout.
    void paintAll(QPagedPaintDevice& device, int fromPage = 0, int toPage = -1) const;
    // Real text, one PDF page per page; title = the report's title.
    void writePdf(QIODevice& device) const;
    void writePdf(const QString& fileName) const; // throws EInOutError
    void writeRtf(QIODevice& device) const;
    void writeRtf(const QString& fileName) const; // throws EInOutError

private:
    void paintDocument(QPainter& painter, const QTextDocument& doc, const QRectF& targetPoints,
                       qreal offsetY, const TableBorders* borders = nullptr) const;
    QSizeF bodySizePoints() const;

    std::unique_ptr<QTextDocument> m_body;
    std::unique_ptr<TableBorders> m_bodyBorders;
    // The same on every page: laid out once.
    std::unique_ptr<QTextDocument> m_header;
    std::unique_ptr<QTextDocument> m_columns;
    std::unique_ptr<TableBorders> m_columnsBorders;
    QString m_title;
    QDate m_date;
    QPageLayout m_layout;
    qreal m_dpi;
    QString m_pageHeaderHtml;
    qreal m_pageHeaderPoints = 0;
};

// A report: a template, the data sets bound to it and the callback that
// answers its variables. Templates are HTML with Mustache tags; the README
// describes what they see.
class Report {
public:
    // Empties the report, then reads the file if it exists; no error when it
    // does not. Returns whether a template was read.
    bool loadFromFile(const QString& fileName);
    void clear();
    const QString& fileName() const { return m_fileName; }
    const QString& templateText() const { return m_template; }
    void setTemplateText(const QString& text) { m_template = text; }
    void saveToFile(const QString& fileName) const; // throws EInOutError

    void addDataSet(const ReportDataSet& dataSet);
    void clearDataSets() { m_dataSets.clear(); }
    const QList<ReportDataSet>& dataSets() const { return m_dataSets; }

    // Asked while preparing, for every declared variable and every
    // "var.NAME" of the template; value starts empty and may be set.
    std::function<void(const QString& name, QVariant& value)> getValue;
    void declareVariable(const QString& name);
    QStringList variableNames() const;
    QVariantMap variables() const;

    void setDate(QDate date) { m_date = date; }
    QDate date() const { return m_date.isValid() ? m_date : QDate::currentDate(); }

    // The HTML of the template with its data; throws EReportError when the
    // template's tags do not match.
    QString renderHtml() const;
    // Renders and lays out into pages, discarding nothing of the report.
    std::shared_ptr<PreparedReport> prepare() const;

    // {"variables": {NAME: text}, "datasets": {NAME: [{FIELD: value}]}}.
    QByteArray toJson() const;

private:
    QString m_fileName;
    QString m_template;
    QList<ReportDataSet> m_dataSets;
    QStringList m_declared;
    QDate m_date;
};

class EReportError : public Error {
public:
    explicit EReportError(const QString& message) : Error("EReportError", message) {}
};

} // namespace ostrel
