#include "TableBorders.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>

namespace ostrel {

namespace {

bool hasRowSpans(QTextTable* table)
{
    for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < table->columns();) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.rowSpan() > 1)
                return true;
            c += std::max(1, cell.columnSpan());
        }
    }
    return false;
}

} // namespace

TableBorders::TableBorders(QTextDocument& document) : m_document(document)
{
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        const qreal border = format.border();
        const auto style = format.borderStyle();
        const bool bevel = style == QTextFrameFormat::BorderStyle_Inset
                           || style == QTextFrameFormat::BorderStyle_Outset;
        if (border <= 0 || format.borderCollapse() || format.cellSpacing() != 0
            || (!bevel && style != QTextFrameFormat::BorderStyle_Solid) || hasRowSpans(table))
            continue;
        // As Qt's own drawing: the darker side is the brush's colour.
        const QColor color = format.borderBrush().color();
        m_tables.push_back({table, border, bevel ? color.lighter() : color, color,
                            style == QTextFrameFormat::BorderStyle_Outset});
        // No style: Qt still lays the border out, so every cell keeps its
        // place, and draws none of it; the RTF writer still sees the width.
        format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
        table->setFormat(format);
    }
}

void TableBorders::measure() const
{
    m_measured = true;
    QAbstractTextDocumentLayout* layout = m_document.documentLayout();
    for (int t = 0; t < int(m_tables.size()); ++t) {
        QTextTable* table = m_tables[t].table;
        const QTextTableFormat format = table->format();
        const qreal border = m_tables[t].border;
        // A cell's first block starts at its content's corner and is as wide
        // as its content; the cell's bevel is around its padding, the table's
        // around all of its cells.
        const qreal padding = format.cellPadding() + border;
        QRectF outer;
        for (int r = 0; r < table->rows(); ++r) {
            Row row{t, 0, 0, {}};
            qreal right = 0;
            for (int c = 0; c < table->columns();) {
                const QTextTableCell cell = table->cellAt(r, c);
                // Blocks, not cursors: a cursor shapes its line to find its x.
                const QTextBlock firstBlock = cell.begin().currentBlock();
                const QRectF first = layout->blockBoundingRect(firstBlock);
                const QRectF last = firstBlock.contains(cell.lastPosition())
                                        ? first
                                        : layout->blockBoundingRect(m_document.findBlock(cell.lastPosition()));
                const qreal top = first.top() - padding;
                const qreal bottom = last.bottom() + padding;
                if (c == 0) {
                    row.top = top;
                    row.bottom = bottom;
                }
                row.lefts.append(first.left() - padding);
                row.top = std::min(row.top, top);
                row.bottom = std::max(row.bottom, bottom);
                right = first.right() + padding;
                c += std::max(1, cell.columnSpan());
            }
            row.lefts.append(right);
            const QRectF cells(QPointF(row.lefts.first(), row.top), QPointF(right, row.bottom));
            outer = outer.isNull() ? cells : outer.united(cells);
            m_tallestRow = std::max(m_tallestRow, row.bottom - row.top);
            m_rows.push_back(std::move(row));
        }
        m_frames.push_back(outer.adjusted(-border, -border, border, border));
    }
    // Rows keep their order; a page break can only push one further down.
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [](const Row& a, const Row& b) { return a.top < b.top; });
}

void TableBorders::paint(QPainter& painter, const QRectF& clip) const
{
    if (m_tables.empty())
        return;
    if (!m_measured)
        measure();
    // One fill per colour and page, not four per cell.
    std::vector<std::pair<QColor, std::vector<QRectF>>> fills;
    auto rects = [&](const QColor& color) -> std::vector<QRectF>& {
        for (auto& [c, list] : fills)
            if (c == color)
                return list;
        return fills.emplace_back(color, std::vector<QRectF>()).second;
    };
    auto bevel = [&](const Table& table, const QRectF& r, bool inset) {
        const qreal w = table.border;
        std::vector<QRectF>& topLeft = rects(inset ? table.dark : table.light);
        topLeft.push_back(QRectF(r.left(), r.top(), r.width(), w));
        topLeft.push_back(QRectF(r.left(), r.top(), w, r.height()));
        std::vector<QRectF>& bottomRight = rects(inset ? table.light : table.dark);
        bottomRight.push_back(QRectF(r.left(), r.bottom() - w, r.width(), w));
        bottomRight.push_back(QRectF(r.right() - w, r.top(), w, r.height()));
    };
    const auto from = std::lower_bound(m_rows.begin(), m_rows.end(), clip.top() - m_tallestRow,
                                       [](const Row& row, qreal y) { return row.top < y; });
    for (auto it = from; it != m_rows.end() && it->top < clip.bottom(); ++it) {
        if (it->bottom < clip.top())
            continue;
        const Table& table = m_tables[it->table];
        for (qsizetype c = 0; c + 1 < it->lefts.size(); ++c)
            bevel(table, QRectF(QPointF(it->lefts[c], it->top), QPointF(it->lefts[c + 1], it->bottom)),
                  table.inset);
    }
    for (size_t t = 0; t < m_tables.size(); ++t)
        if (m_frames[t].intersects(clip))
            bevel(m_tables[t], m_frames[t], !m_tables[t].inset);

    painter.save();
    painter.setPen(Qt::NoPen);
    for (const auto& [color, list] : fills) {
        painter.setBrush(color);
        painter.drawRects(list.data(), int(list.size()));
    }
    painter.restore();
}

} // namespace ostrel
