#include "ItalianNumbers.h"

#include <charconv>
#include <cmath>

namespace ostrel::ItalianNumbers {

std::optional<qint64> parseInteger(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n)
        return std::nullopt;
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (value > (INT64_MAX - 9) / 10)
            return std::nullopt; // far outside any column's range
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

std::optional<double> parseReal(const QString& text)
{
    // sign? digits* (',' digits*)? (e sign? digits+)? with at least one digit
    qsizetype i = 0;
    const qsizetype n = text.size();
    QByteArray c;
    c.reserve(n);
    auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    // from_chars takes a minus sign only.
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            c.append('-');
        ++i;
    }
    int digits = 0;
    while (isDigit(i)) {
        c.append(char(text[i++].unicode()));
        ++digits;
    }
    if (i < n && text[i] == u',') {
        c.append('.');
        ++i;
        while (isDigit(i)) {
            c.append(char(text[i++].unicode()));
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        c.append('e');
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            c.append(char(text[i++].unicode()));
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            c.append(char(text[i++].unicode()));
    }
    if (i != n)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(c.constData(), c.constData() + c.size(), value);
    if (error != std::errc() || end != c.constData() + c.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString realToText(double value)
{
    QString text = QString::number(value, 'g', 15);
    text.replace(u'.', u',');
    text.replace(QStringLiteral("e+"), QStringLiteral("E"));
    text.replace(u'e', u'E');
    return text;
}

} // namespace ostrel::ItalianNumbers
