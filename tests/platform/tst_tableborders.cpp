#include "platform/TableBorders.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextDocument>
#include <QTextTable>

using namespace ostrel;

namespace {

struct Drawn {
    QImage image;
    bool takenOver = false;
};

// The document of html at 400 px, drawn by Qt alone or with the borders
// taken over.
Drawn draw(const QString& html, bool takeOver)
{
    QTextDocument doc;
    doc.setDocumentMargin(0);
    doc.setHtml(html);
    std::optional<TableBorders> borders;
    if (takeOver)
        borders.emplace(doc);
    doc.setTextWidth(400);
    Drawn drawn{QImage(400, int(doc.size().height()) + 4, QImage::Format_RGB32)};
    drawn.image.fill(Qt::white);
    QPainter painter(&drawn.image);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(drawn.image.rect());
    doc.documentLayout()->draw(&painter, context);
    if (borders)
        borders->paint(painter, context.clip);
    for (QTextFrame* frame : doc.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            drawn.takenOver |= table->format().borderStyle() == QTextFrameFormat::BorderStyle_None;
    return drawn;
}

// Pixels far from each other in any channel, and those not white in a.
std::pair<int, int> difference(const QImage& a, const QImage& b)
{
    int differing = 0;
    int inked = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            inked += p != qRgb(255, 255, 255);
            differing += std::abs(qRed(p) - qRed(q)) > 48 || std::abs(qGreen(p) - qGreen(q)) > 48
                         || std::abs(qBlue(p) - qBlue(q)) > 48;
        }
    }
    return {differing, inked};
}

} // namespace

class TestTableBorders : public QObject {
    Q_OBJECT
private slots:
    void drawnWhereQtDrawsThem_data();
    void drawnWhereQtDrawsThem();
    void othersLeftToQt_data();
    void othersLeftToQt();
};

void TestTableBorders::drawnWhereQtDrawsThem_data()
{
    QTest::addColumn<QString>("html");
    QTest::newRow("listing rows: spans, a wrapped cell, a shaded row")
        << "<p>Prima</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">"
           "<tr style=\"background-color: #f2f2f2;\"><td colspan=\"3\"><b>Gruppo</b></td></tr>"
           "<tr><td width=\"20%\">2014</td><td width=\"50%\">una descrizione lunga che va a capo "
           "almeno una volta nella sua cella</td><td width=\"30%\" align=\"right\">1.234,50</td></tr>"
           "<tr><td colspan=\"2\">Totale</td><td align=\"right\">1.234,50</td></tr></table>"
           "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">"
           "<tr><td>uno</td><td>due</td></tr></table>";
    QTest::newRow("wider border, more padding")
        << "<table border=\"3\" cellspacing=\"0\" cellpadding=\"5\" width=\"80%\">"
           "<tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d<br>e</td></tr></table>";
}

void TestTableBorders::drawnWhereQtDrawsThem()
{
    QFETCH(QString, html);
    const Drawn qt = draw(html, false);
    const Drawn ours = draw(html, true);
    QVERIFY(ours.takenOver);
    QCOMPARE(ours.image.size(), qt.image.size());
    // Qt mitres the corners and smooths the edges; a border one pixel off
    // would differ along all of its length.
    const auto [differing, inked] = difference(qt.image, ours.image);
    QVERIFY2(differing * 50 < inked, qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(inked)));
}

void TestTableBorders::othersLeftToQt_data()
{
    QTest::addColumn<QString>("html");
    QTest::newRow("cell spanning rows")
        << "<table border=\"1\" cellspacing=\"0\"><tr><td rowspan=\"2\">a</td><td>b</td></tr>"
           "<tr><td>c</td></tr></table>";
    QTest::newRow("cell spacing") << "<table border=\"1\" cellspacing=\"2\"><tr><td>a</td><td>b</td></tr></table>";
    QTest::newRow("collapsed borders")
        << "<table border=\"1\" style=\"border-collapse: collapse\"><tr><td>a</td><td>b</td></tr></table>";
    QTest::newRow("dotted") << "<table border=\"1\" cellspacing=\"0\" style=\"border-style: dotted\">"
                               "<tr><td>a</td></tr></table>";
}

void TestTableBorders::othersLeftToQt()
{
    QFETCH(QString, html);
    const Drawn qt = draw(html, false);
    const Drawn ours = draw(html, true);
    QVERIFY(!ours.takenOver);
    QCOMPARE(ours.image, qt.image);
}

QTEST_MAIN(TestTableBorders)
#include "tst_tableborders.moc"
