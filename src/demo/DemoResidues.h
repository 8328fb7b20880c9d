#pragma once

#include <QString>

namespace ostrel::DemoResidues {

// Writes realistic revenue and expenditure residue files ("97RIAE14.TXT",
// "97RIAU14.TXT") of `lines` lines each into folder; the same seed always
// gives the same bytes. Throws EInOutError.
void write(const QString& folder, int lines, quint32 seed = 2015);

} // namespace ostrel::DemoResidues
