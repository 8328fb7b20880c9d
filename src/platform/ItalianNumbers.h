#pragma once

#include <QString>
#include <optional>

namespace ostrel {

// Numbers as the Italian regional settings write them: decimal comma, and in
// typed or imported values no thousands separator.
namespace ItalianNumbers {

// Optionally signed decimal digits; nullopt when not such a number.
std::optional<qint64> parseInteger(const QString& text);
// Decimal comma, optional sign and exponent, no thousands separator.
std::optional<double> parseReal(const QString& text);
// The usual text form of a real: 15 significant digits, decimal comma,
// no trailing zeros (1234.5 -> "1234,5").
QString realToText(double value);

} // namespace ItalianNumbers
} // namespace ostrel
