// The amount format and the Italian number reading. Any double is shown
// rounded half away from zero on its shortest decimal text, grouped by
// thousands; an amount typed with two decimals reads back and shows as typed,
// and its fixed-point value is exact.

#include "FuzzSupport.h"

#include "platform/Errors.h"
#include "platform/ItalianNumbers.h"
#include "platform/Money.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <cstring>

using namespace ostrel;
using namespace ostrel::fuzz;

namespace {

struct Digits {
    bool negative = false;
    QString integer;  // no leading zeros, may be empty
    QString fraction; // exact, may be empty
};

// The shortest decimal text of the double that reads back as it, in
// positional form (so exact for large integers), as integer and fraction
// digits: taken from the scientific form, another way than the code does.
Digits shortest(double value)
{
    char buffer[400];
    const auto fixed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    const QByteArray positional(buffer, fixed.ptr - buffer);
    // As many significant digits as the positional form, in scientific notation.
    int significant = 0;
    bool leading = true;
    for (const char c : positional) {
        if (c >= '1' && c <= '9')
            leading = false;
        if (!leading && c >= '0' && c <= '9')
            ++significant;
    }
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                 std::max(significant - 1, 0));
    QString text = QString::fromLatin1(buffer, r.ptr - buffer);
    Digits d;
    if (text.startsWith(u'-')) {
        d.negative = true;
        text.remove(0, 1);
    }
    const qsizetype e = text.indexOf(u'e');
    const int exponent = text.mid(e + 1).toInt();
    QString mantissa = text.left(e).remove(u'.');
    // mantissa = d0 d1 d2 ..., value = 0.d0d1d2... * 10^(exponent + 1)
    const int point = exponent + 1;
    if (point <= 0) {
        d.fraction = QString(-point, u'0') + mantissa;
    } else if (point >= mantissa.size()) {
        d.integer = mantissa + QString(point - mantissa.size(), u'0');
    } else {
        d.integer = mantissa.left(point);
        d.fraction = mantissa.mid(point);
    }
    while (d.integer.startsWith(u'0'))
        d.integer.remove(0, 1);
    return d;
}

// Decimal digits plus one, as text.
QString increment(QString digits)
{
    qsizetype i = digits.size() - 1;
    for (; i >= 0; --i) {
        if (digits[i] == u'9') {
            digits[i] = u'0';
        } else {
            digits[i] = QChar(digits[i].unicode() + 1);
            break;
        }
    }
    return i < 0 ? u'1' + digits : digits;
}

// |value| rounded half away from zero to `decimals`, as digits.
QString rounded(const Digits& d, int decimals)
{
    QString digits = d.integer + d.fraction.left(decimals).leftJustified(decimals, u'0');
    if (d.fraction.size() > decimals && d.fraction[decimals] >= u'5')
        digits = increment(digits);
    while (digits.size() > 1 && digits.startsWith(u'0'))
        digits.remove(0, 1);
    return digits;
}

QString expectedFormat(double value)
{
    const Digits d = shortest(value);
    const QString cents = rounded(d, 2).rightJustified(3, u'0');
    QString integer = cents.left(cents.size() - 2);
    while (integer.startsWith(u'0'))
        integer.remove(0, 1);
    for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
        integer.insert(i, u'.');
    const QString text = QStringLiteral("€ ") + integer + u',' + cents.right(2);
    return d.negative && cents.count(u'0') != cents.size() ? u'-' + text : text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size >= 8) {
        double value;
        std::memcpy(&value, data, 8);
        if (std::isfinite(value)) {
            const QString got = formatAmount(value);
            const QString expected = expectedFormat(value);
            FUZZ_CHECK(got == expected, QStringLiteral("%1 shown as %2 instead of %3")
                                            .arg(QString::number(value, 'g', 17), got, expected));
            const QString text = decimalText(value);
            double back = 0;
            const QByteArray t = text.toLatin1();
            std::from_chars(t.constData(), t.constData() + t.size(), back);
            FUZZ_CHECK(back == value && !text.contains(u'e'), text);
            // Fixed point: exact within its range, refused beyond it.
            const QString digits = rounded(shortest(value), 4);
            bool fits = false;
            qint64 units = digits.toLongLong(&fits);
            if (shortest(value).negative)
                units = -units;
            try {
                const qint64 got = Amount::fromDouble(value).units();
                FUZZ_CHECK(fits && got == units, QStringLiteral("%1 as %2 units instead of %3")
                                                     .arg(text)
                                                     .arg(got)
                                                     .arg(digits));
            } catch (const EConvertError& e) {
                FUZZ_CHECK(!fits, text + u' ' + e.message());
            }
        }
    }
    if (size >= 8) {
        // An amount typed with a decimal comma, up to 13 integer digits.
        qint64 cents;
        std::memcpy(&cents, data, 8);
        cents %= 1000000000000000LL;
        const qint64 magnitude = cents < 0 ? -cents : cents;
        const QString typed = (cents < 0 ? QStringLiteral("-") : QString())
            + QString::number(magnitude / 100) + u','
            + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QChar(u'0'));
        const auto value = ItalianNumbers::parseReal(typed);
        FUZZ_CHECK(value.has_value(), typed);
        QString grouped = QString::number(magnitude / 100);
        if (magnitude / 100 == 0)
            grouped.clear();
        for (qsizetype i = grouped.size() - 3; i > 0; i -= 3)
            grouped.insert(i, u'.');
        const QString shown = (cents < 0 ? QStringLiteral("-€ ") : QStringLiteral("€ ")) + grouped
            + typed.right(3);
        FUZZ_CHECK(formatAmount(*value) == shown, typed + QStringLiteral(" shown as ") + formatAmount(*value));
        FUZZ_CHECK(Amount::fromDouble(*value).units() == cents * 100, typed);
        FUZZ_CHECK(ItalianNumbers::parseReal(ItalianNumbers::realToText(*value)) == value, typed);
    }
    if (size >= 16) {
        qint64 a, b;
        std::memcpy(&a, data, 8);
        std::memcpy(&b, data + 8, 8);
        for (const bool add : {true, false}) {
            const __int128 exact = add ? __int128(a) + b : __int128(a) - b;
            const bool fits = exact >= INT64_MIN && exact <= INT64_MAX;
            try {
                const Amount x = Amount::fromUnits(a);
                const Amount y = Amount::fromUnits(b);
                const qint64 got = (add ? x + y : x - y).units();
                FUZZ_CHECK(fits && got == qint64(exact), QString::number(a) + u' ' + QString::number(b));
            } catch (const EConvertError&) {
                FUZZ_CHECK(!fits, QString::number(a) + u' ' + QString::number(b));
            }
        }
    }
    // Whatever text: read as a number or refused, never a value that is not finite.
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto v = ItalianNumbers::parseReal(text)) {
        FUZZ_CHECK(std::isfinite(*v), show(text));
        formatAmount(*v);
        try {
            Amount::fromDouble(*v);
        } catch (const EConvertError&) {
        }
    }
    if (const auto v = ItalianNumbers::parseInteger(text)) {
        static const QRegularExpression integer(QStringLiteral("\\A[+-]?[0-9]+\\z"));
        FUZZ_CHECK(integer.match(text).hasMatch(), show(text));
        QByteArray t = text.toLatin1();
        if (t.startsWith('+'))
            t.remove(0, 1);
        qint64 reference = 0;
        std::from_chars(t.constData(), t.constData() + t.size(), reference);
        FUZZ_CHECK(*v == reference, show(text));
    }
    return 0;
}
