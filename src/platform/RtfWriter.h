#pragma once

#include <QByteArray>
#include <QDate>
#include <QPageLayout>
#include <QString>

class QIODevice;
class QTextDocument;
class QTextFrame;
class QTextBlock;
class QTextTable;

namespace ostrel {

// Writes a laid-out report as RTF: paragraphs with their alignment, bold and
// italic runs, tables with borders and column widths, page breaks, and the
// title, date and "Pagina N di M" as page header and footer.
class RtfWriter {
public:
    RtfWriter(const QTextDocument& document, QString title, QDate date, QPageLayout layout);
    void write(QIODevice& device);
    QByteArray toRtf();

private:
    void writeFrame(const QTextFrame* frame, bool inTable);
    void writeBlock(const QTextBlock& block, bool inTable);
    void writeTable(const QTextTable* table);
    void writeRuns(const QTextBlock& block);
    static QByteArray escaped(const QString& text);

    const QTextDocument& m_doc;
    QString m_title;
    QDate m_date;
    QPageLayout m_layout;
    QByteArray m_out;
    bool m_firstBlock = true;
};

} // namespace ostrel
