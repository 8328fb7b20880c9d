#pragma once

#include "platform/Money.h"

#include <QDate>
#include <QStringList>

namespace ostrel {

class DataSet;
class Field;

// The rules of a residue's split that do not depend on the window.
namespace Reassessment {

enum class Kind { Revenue, Expenditure };

// Destination amounts, in the order the remainder subtracts them.
const QStringList& destinations(Kind kind);
const QStringList& causes();
// Expenditure yes/no columns cleared with the split.
const QStringList& expenditureFlags();

// The query of the main window's tab: its text, fields, formats and labels.
void defineQuery(DataSet& query, Kind kind);

// "2014 / 123", with " - 2" when Sub is above 0.
QString residueLabel(const Field& anno, const Field& numero, const Field& sub);
// The revenue tab's year captions from a date: " 2016 ", " 2017 ", " 2018 ".
QStringList yearCaptions(const QDate& today);

// Split base minus every destination of the record being edited.
Amount remainder(Amount base, const DataSet& query, Kind kind);
// Empties the destinations and causes and, on expenditures, clears the flags.
void clearSplit(DataSet& query, Kind kind);

} // namespace Reassessment
} // namespace ostrel
