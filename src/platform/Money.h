#pragma once

#include <QString>
#include <QVariant>

namespace ostrel {

// An amount in fixed point with four decimals, so that a split adds up to
// the cent exactly instead of to the nearest binary double.
class Amount {
public:
    constexpr Amount() = default;
    static constexpr Amount fromUnits(qint64 units) { return Amount(units); }
    // The double's decimal value rounded half away from zero to four decimals;
    // throws EConvertError beyond the fixed point's range (about 922 thousand
    // billion).
    static Amount fromDouble(double value);
    // A field's value: null counts as 0.
    static Amount fromVariant(const QVariant& value);

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return double(m_units) / 10000.0; }

    // Throw EConvertError when the result leaves the range.
    Amount operator-(Amount other) const;
    Amount operator+(Amount other) const;
    constexpr bool operator==(const Amount&) const = default;

private:
    constexpr explicit Amount(qint64 units) : m_units(units) {}
    qint64 m_units = 0;
};

// The amount format "€ ,#.#0": euro sign and blank, thousands grouped with
// ".", two decimals after ",", no forced integer digit (0.5 -> "€ ,50"),
// rounded half away from zero on the decimal value; a minus sign before the
// euro sign unless the amount rounds to zero.
QString formatAmount(double value);

// The shortest decimal text that reads back as the same double, as
// [-]digits[.digits], without exponent.
QString decimalText(double value);

} // namespace ostrel
