#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <vector>

class QPainter;
class QTextDocument;
class QTextTable;

namespace ostrel {

// The borders of a document's tables drawn by the report engine instead of
// Qt. Qt draws every cell's border on its own, looking the cell's format
// and its neighbours up a dozen times and sending the PDF four fills; this
// draws the same bevels from the finished layout, one fill per colour and
// page.
class TableBorders {
public:
    // Before the document's first layout: takes over the borders of the
    // top-level tables with an inset, outset or solid border, no cell
    // spacing and no cell spanning rows.
    explicit TableBorders(QTextDocument& document);

    // After the document is drawn, in its coordinates: the borders inside
    // clip, the bevels Qt would have drawn.
    void paint(QPainter& painter, const QRectF& clip) const;

private:
    struct Table {
        QTextTable* table;
        qreal border;
        QColor light;
        QColor dark;
        bool inset; // the cells' bevel; the table's own is the other one
    };
    struct Row {
        int table;
        qreal top;
        qreal bottom;
        QList<qreal> lefts; // of the cells, the last one's right edge last
    };
    void measure() const;

    QTextDocument& m_document;
    std::vector<Table> m_tables;
    mutable bool m_measured = false;
    mutable std::vector<QRectF> m_frames; // per table, its outer rectangle
    mutable std::vector<Row> m_rows;      // in document order
    mutable qreal m_tallestRow = 0;
};

} // namespace ostrel
