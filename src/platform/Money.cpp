#include "Money.h"

#include "Errors.h"

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

// Digits of |value| * 10^decimals rounded half away from zero, from the
// decimal text. Kept as text: a double's integer part may have hundreds of
// digits.
QString roundedDigits(const Decimal& d, int decimals)
{
    const bool roundUp = d.fraction.size() > decimals && d.fraction[decimals] >= u'5';
    QString digits = d.integer + d.fraction.left(decimals).leftJustified(decimals, u'0');
    if (roundUp) {
        qsizetype i = digits.size() - 1;
        for (; i >= 0 && digits[i] == u'9'; --i)
            digits[i] = u'0';
        if (i < 0)
            digits.prepend(u'1');
        else
            digits[i] = QChar(digits[i].unicode() + 1);
    }
    qsizetype zeros = 0;
    while (zeros < digits.size() - 1 && digits[zeros] == u'0')
        ++zeros;
    return digits.mid(zeros);
}

[[noreturn]] void outOfRange(const QString& amount)
{
    throw EConvertError(
        QStringLiteral("L'importo %1 supera il massimo con cui il programma calcola "
                       "(922.337.203.685.477,5807 in valore assoluto)")
            .arg(amount));
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
    bool ok = false;
    const qint64 units = roundedDigits(d, 4).toLongLong(&ok);
    if (!ok)
        outOfRange(formatAmount(value));
    return Amount::fromUnits(d.negative ? -units : units);
}

Amount Amount::operator-(Amount other) const
{
    const qint64 b = other.m_units;
    if (b < 0 ? m_units > INT64_MAX + b : m_units < INT64_MIN + b)
        outOfRange(formatAmount(toDouble() - other.toDouble()));
    return Amount(m_units - b);
}

Amount Amount::operator+(Amount other) const
{
    const qint64 b = other.m_units;
    if (b > 0 ? m_units > INT64_MAX - b : m_units < INT64_MIN - b)
        outOfRange(formatAmount(toDouble() + other.toDouble()));
    return Amount(m_units + b);
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
    const QString cents = roundedDigits(d, 2).rightJustified(3, u'0');
    QString integer = cents.chopped(2);
    if (integer == u"0")
        integer.clear();
    for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
        integer.insert(i, u'.');
    const QString text = QStringLiteral("€ ") + integer + u',' + cents.right(2);
    return d.negative && cents != u"000" ? u'-' + text : text;
}

} // namespace ostrel
