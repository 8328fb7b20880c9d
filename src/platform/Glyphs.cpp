#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ostrel {

namespace {

const QColor kBlue(30, 90, 160);
const QColor kGreen(30, 140, 60);
const QColor kRed(190, 40, 40);
const QColor kGrey(90, 90, 90);

void triangle(QPainter& p, double x, double y, double w, double h, bool right)
{
    QPainterPath path;
    if (right) {
        path.moveTo(x, y);
        path.lineTo(x + w, y + h / 2);
        path.lineTo(x, y + h);
    } else {
        path.moveTo(x + w, y);
        path.lineTo(x, y + h / 2);
        path.lineTo(x + w, y + h);
    }
    path.closeSubpath();
    p.fillPath(path, kBlue);
}

void draw(QPainter& p, Glyph glyph, double s)
{
    const double u = s / 32.0;
    QPen pen(kGrey, 2.5 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    switch (glyph) {
    case Glyph::First:
        p.fillRect(QRectF(8 * u, 8 * u, 3 * u, 16 * u), kBlue);
        triangle(p, 12 * u, 8 * u, 12 * u, 16 * u, false);
        break;
    case Glyph::Prior:
        triangle(p, 10 * u, 8 * u, 12 * u, 16 * u, false);
        break;
    case Glyph::Next:
        triangle(p, 10 * u, 8 * u, 12 * u, 16 * u, true);
        break;
    case Glyph::Last:
        triangle(p, 8 * u, 8 * u, 12 * u, 16 * u, true);
        p.fillRect(QRectF(21 * u, 8 * u, 3 * u, 16 * u), kBlue);
        break;
    case Glyph::Delete:
        p.fillRect(QRectF(7 * u, 14 * u, 18 * u, 4 * u), kRed);
        break;
    case Glyph::Edit:
    case Glyph::Pencil: {
        QPainterPath body;
        body.moveTo(9 * u, 23 * u);
        body.lineTo(21 * u, 11 * u);
        body.lineTo(24 * u, 14 * u);
        body.lineTo(12 * u, 26 * u);
        body.lineTo(8 * u, 27 * u);
        body.closeSubpath();
        p.fillPath(body, QColor(220, 160, 40));
        p.setPen(QPen(kGrey, 1.5 * u));
        p.drawPath(body);
        break;
    }
    case Glyph::Post:
    case Glyph::Save:
        p.setPen(QPen(kGreen, 4 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(8 * u, 17 * u), QPointF(14 * u, 23 * u), QPointF(25 * u, 10 * u)}));
        break;
    case Glyph::Cancel:
    case Glyph::Close:
        p.setPen(QPen(kRed, 4 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10 * u, 10 * u), QPointF(22 * u, 22 * u));
        p.drawLine(QPointF(22 * u, 10 * u), QPointF(10 * u, 22 * u));
        break;
    case Glyph::Reset: {
        p.setPen(QPen(kBlue, 3 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(7 * u, 7 * u, 18 * u, 18 * u), 90 * 16, 270 * 16);
        QPainterPath head;
        head.moveTo(14 * u, 3 * u);
        head.lineTo(20 * u, 7 * u);
        head.lineTo(14 * u, 11 * u);
        head.closeSubpath();
        p.fillPath(head, kBlue);
        break;
    }
    case Glyph::Export: {
        p.drawRect(QRectF(5 * u, 12 * u, 15 * u, 14 * u));
        p.setPen(QPen(kGreen, 3 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13 * u, 18 * u), QPointF(26 * u, 6 * u));
        p.drawPolyline(QPolygonF({QPointF(19 * u, 6 * u), QPointF(26 * u, 6 * u), QPointF(26 * u, 13 * u)}));
        break;
    }
    case Glyph::Search:
        p.setPen(QPen(kBlue, 3 * u));
        p.drawEllipse(QRectF(6 * u, 6 * u, 14 * u, 14 * u));
        p.setPen(QPen(kGrey, 4.5 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19 * u, 19 * u), QPointF(26 * u, 26 * u));
        break;
    case Glyph::Print:
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(10 * u, 5 * u, 12 * u, 8 * u));
        p.setBrush(QColor(200, 205, 215));
        p.drawRoundedRect(QRectF(5 * u, 12 * u, 22 * u, 10 * u), 2 * u, 2 * u);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(10 * u, 19 * u, 12 * u, 8 * u));
        break;
    case Glyph::Legend:
        p.setBrush(QColor(235, 240, 250));
        p.setPen(QPen(kBlue, 2 * u));
        p.drawEllipse(QRectF(5 * u, 5 * u, 22 * u, 22 * u));
        p.setPen(QPen(kBlue, 3.5 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(QPointF(16 * u, 10.5 * u));
        p.drawLine(QPointF(16 * u, 15 * u), QPointF(16 * u, 22 * u));
        break;
    case Glyph::Exit:
        p.setBrush(QColor(215, 190, 150));
        p.drawRect(QRectF(7 * u, 5 * u, 13 * u, 22 * u));
        p.setPen(QPen(kRed, 3 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16 * u, 16 * u), QPointF(27 * u, 16 * u));
        p.drawPolyline(QPolygonF({QPointF(23 * u, 12 * u), QPointF(27 * u, 16 * u), QPointF(23 * u, 20 * u)}));
        break;
    case Glyph::Network:
        p.setBrush(QColor(200, 215, 235));
        p.drawRect(QRectF(4 * u, 6 * u, 12 * u, 9 * u));
        p.drawRect(QRectF(16 * u, 17 * u, 12 * u, 9 * u));
        p.drawLine(QPointF(10 * u, 15 * u), QPointF(10 * u, 21 * u));
        p.drawLine(QPointF(10 * u, 21 * u), QPointF(16 * u, 21 * u));
        break;
    case Glyph::Connect:
        p.setPen(QPen(kGreen, 3.5 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6 * u, 16 * u), QPointF(13 * u, 16 * u));
        p.drawLine(QPointF(19 * u, 16 * u), QPointF(26 * u, 16 * u));
        p.setBrush(kGreen);
        p.drawRect(QRectF(12 * u, 11 * u, 4 * u, 10 * u));
        p.drawRect(QRectF(18 * u, 11 * u, 2 * u, 10 * u));
        break;
    case Glyph::Database:
        p.setBrush(QColor(200, 215, 235));
        p.drawRect(QRectF(7 * u, 9 * u, 18 * u, 16 * u));
        p.drawEllipse(QRectF(7 * u, 5 * u, 18 * u, 8 * u));
        p.drawArc(QRectF(7 * u, 21 * u, 18 * u, 8 * u), 180 * 16, 180 * 16);
        break;
    case Glyph::TextFile:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8 * u, 4 * u, 16 * u, 24 * u));
        p.setPen(QPen(kBlue, 2 * u));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(11 * u, (10 + 4 * i) * u), QPointF(21 * u, (10 + 4 * i) * u));
        break;
    }
}

} // namespace

QIcon glyphIcon(Glyph glyph, int size)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, glyph, size * scale);
        p.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace ostrel
