#include "Money.h"

#include <charconv>
#include <cmath>

namespace ostrel {

namespace {

struct Decimal {
    bool negative = false;
    QString integer;  // digits, may be empty
    QString fraction; // digits, may be empty
};

Decimal split(double value)
{
    Decimal d;
    const QString text = decimalText(value);
    qsizetype start = 0;
    if (text.startsWith(u'-')) {
        d.negative = true;
        start = 1;
    }
    const qsizetype point = text.indexOf(u'.');
    d.integer = text.mid(start, point < 0 ? -1 : point - start);
    if (point >= 0)
        d.fraction = text.mid(point + 1);
    return d;
}

// Digits of |value| * 10^decimals rounded half away from zero, from the decimal text.
qint64 roundedUnits(const Decimal& d, int decimals)
{
    QString fraction = d.fraction;
    const bool roundUp = fraction.size() > decimals && fraction[decimals] >= u'5';
    fraction = fraction.left(decimals).leftJustified(decimals, u'0');
    qint64 units = (d.integer + fraction).toLongLong();
    if (roundUp)
        ++units;
    return units;
}

} // namespace

QString decimalText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

Amount Amount::fromDouble(double value)
{
    const Decimal d = split(value);
    const qint64 units = roundedUnits(d, 4);
    return Amount::fromUnits(d.negative ? -units : units);
}

Amount Amount::fromVariant(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return Amount();
    return fromDouble(value.toDouble());
}

QString formatAmount(double value)
{
    const Decimal d = split(value);
    const qint64 cents = roundedUnits(d, 2);
    QString integer = QString::number(cents / 100);
    if (cents / 100 == 0)
        integer.clear();
    for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
        integer.insert(i, u'.');
    const QString text = QStringLiteral("€ ") + integer + u','
        + QStringLiteral("%1").arg(cents % 100, 2, 10, QChar(u'0'));
    return d.negative && cents != 0 ? u'-' + text : text;
}

} // namespace ostrel
