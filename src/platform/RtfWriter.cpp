#include "RtfWriter.h"

#include <QIODevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <cmath>

namespace ostrel {

namespace {

int twips(qreal points)
{
    return int(std::lround(points * 20));
}

QByteArray alignment(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return "\\qr";
    if (a & Qt::AlignHCenter)
        return "\\qc";
    if (a & Qt::AlignJustify)
        return "\\qj";
    return "\\ql";
}

} // namespace

RtfWriter::RtfWriter(const QTextDocument& document, QString title, QDate date, QPageLayout layout)
    : m_doc(document), m_title(std::move(title)), m_date(date), m_layout(layout)
{
}

QByteArray RtfWriter::escaped(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == QChar::Nbsp) {
            out += "\\~";
        } else if (u == QChar::LineSeparator || u == '\n') {
            out += "\\line ";
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u < 0x80) {
            out += char(u);
        } else {
            // \uN takes a signed 16-bit number; "?" is for readers without Unicode.
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

void RtfWriter::writeRuns(const QTextBlock& block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat f = fragment.charFormat();
        QByteArray group = "{";
        if (f.fontWeight() >= QFont::Bold)
            group += "\\b";
        if (f.fontItalic())
            group += "\\i";
        if (f.fontUnderline())
            group += "\\ul";
        const qreal size = f.fontPointSize();
        if (size > 0)
            group += "\\fs" + QByteArray::number(int(std::lround(size * 2)));
        group += ' ';
        QString text = fragment.text();
        text.remove(QChar::ObjectReplacementCharacter);
        m_out += group + escaped(text) + '}';
    }
}

void RtfWriter::writeBlock(const QTextBlock& block, bool inTable)
{
    const QTextBlockFormat f = block.blockFormat();
    QByteArray start = "\\pard\\plain";
    if (inTable)
        start += "\\intbl";
    // Inside a table the row carries the break.
    if (!inTable && !m_firstBlock && (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
        start += "\\pagebb";
    start += alignment(f.alignment());
    if (f.topMargin() > 0)
        start += "\\sb" + QByteArray::number(twips(f.topMargin() * 0.75));
    if (f.bottomMargin() > 0)
        start += "\\sa" + QByteArray::number(twips(f.bottomMargin() * 0.75));
    m_out += start + "\\fs18 ";
    writeRuns(block);
    m_firstBlock = false;
    if (!inTable)
        m_out += "\\par\n";
    if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter)
        m_out += "\\page\n";
}

void RtfWriter::writeTable(const QTextTable* table)
{
    const QTextTableFormat format = table->format();
    const int columns = table->columns();
    const qreal available = m_layout.paintRect(QPageLayout::Point).width();
    qreal tableWidth = available;
    if (format.width().type() == QTextLength::PercentageLength)
        tableWidth = available * format.width().rawValue() / 100.0;
    // Column widths: percentages and fixed widths as given, the rest shared.
    QList<qreal> widths(columns, 0);
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    qreal fixed = 0;
    int free = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength l = c < constraints.size() ? constraints[c] : QTextLength();
        if (l.type() == QTextLength::PercentageLength)
            widths[c] = tableWidth * l.rawValue() / 100.0;
        else if (l.type() == QTextLength::FixedLength)
            widths[c] = l.rawValue() * 0.75;
        else
            ++free;
        fixed += widths[c];
    }
    for (int c = 0; c < columns; ++c)
        if (widths[c] == 0)
            widths[c] = free ? std::max<qreal>(20, (tableWidth - fixed) / free) : 20;
    const bool borders = format.border() > 0;
    const QByteArray border = borders ? "\\clbrdrt\\brdrs\\brdrw5\\clbrdrl\\brdrs\\brdrw5"
                                        "\\clbrdrb\\brdrs\\brdrw5\\clbrdrr\\brdrs\\brdrw5"
                                      : QByteArray();
    const int headerRows = format.headerRowCount();
    if (!m_firstBlock && (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
        m_out += "\\pard\\page\n";
    m_firstBlock = false;
    for (int r = 0; r < table->rows(); ++r) {
        // A page break asked for by the row's first block.
        const QTextTableCell first = table->cellAt(r, 0);
        if (first.isValid()) {
            const QTextBlock b = m_doc.findBlock(first.firstPosition());
            if (b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                m_out += "\\pard\\page\n";
        }
        QByteArray row = "\\trowd\\trgaph60\\trleft0";
        if (r < headerRows)
            row += "\\trhdr";
        row += '\n';
        qreal right = 0;
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = table->cellAt(r, c);
            const int span = std::max(1, cell.columnSpan());
            for (int k = 0; k < span && c + k < columns; ++k)
                right += widths[c + k];
            if (cell.row() != r)
                row += "\\clvmrg";
            else if (cell.rowSpan() > 1)
                row += "\\clvmgf";
            row += border + "\\cellx" + QByteArray::number(twips(right)) + '\n';
            c += span;
        }
        m_out += row;
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = table->cellAt(r, c);
            const int span = std::max(1, cell.columnSpan());
            if (cell.row() == r) {
                bool firstInCell = true;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (it.currentBlock().isValid()) {
                        if (!firstInCell)
                            m_out += "\\par ";
                        writeBlock(it.currentBlock(), true);
                        firstInCell = false;
                    }
                }
                if (firstInCell)
                    m_out += "\\pard\\intbl ";
            } else {
                m_out += "\\pard\\intbl ";
            }
            m_out += "\\cell\n";
            c += span;
        }
        m_out += "\\row\n";
    }
    m_out += "\\pard\n";
}

void RtfWriter::writeFrame(const QTextFrame* frame, bool inTable)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child))
                writeTable(table);
            else
                writeFrame(child, inTable);
        } else if (it.currentBlock().isValid()) {
            writeBlock(it.currentBlock(), inTable);
        }
    }
}

QByteArray RtfWriter::toRtf()
{
    m_out.clear();
    m_firstBlock = true;
    const QRectF full = m_layout.fullRect(QPageLayout::Point);
    const QMarginsF margins = m_layout.margins(QPageLayout::Point);
    m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
             "{\\fonttbl{\\f0\\fswiss\\fcharset0 DejaVu Sans;}}\n"
             "{\\info{\\title " + escaped(m_title) + "}{\\doccomm Ostrel}}\n";
    m_out += "\\paperw" + QByteArray::number(twips(full.width())) + "\\paperh"
             + QByteArray::number(twips(full.height())) + "\\margl"
             + QByteArray::number(twips(margins.left())) + "\\margr"
             + QByteArray::number(twips(margins.right())) + "\\margt"
             + QByteArray::number(twips(margins.top() + 20)) + "\\margb"
             + QByteArray::number(twips(margins.bottom() + 20)) + "\\headery"
             + QByteArray::number(twips(margins.top())) + "\\footery"
             + QByteArray::number(twips(margins.bottom()));
    if (m_layout.orientation() == QPageLayout::Landscape)
        m_out += "\\landscape";
    const int right = twips(m_layout.paintRect(QPageLayout::Point).width());
    m_out += "\n{\\header\\pard\\plain\\tqr\\tx" + QByteArray::number(right) + "\\fs16{\\b "
             + escaped(m_title) + "}\\tab " + escaped(m_date.toString(u"dd/MM/yyyy")) + "\\par}\n";
    m_out += "{\\footer\\pard\\plain\\qc\\fs16 Pagina {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} di "
             "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}\n";
    writeFrame(m_doc.rootFrame(), false);
    m_out += "}\n";
    return m_out;
}

void RtfWriter::write(QIODevice& device)
{
    device.write(toRtf());
}

} // namespace ostrel
