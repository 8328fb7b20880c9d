#pragma once

#include "Measure.h"

#include <QString>

namespace ostrel::bench {

// Generated residue files of `lines` lines each, a new store and the settings
// file in folder, which becomes the work folder and the current directory.
// With import, the residues are imported into the store too.
QString prepareStore(const QString& folder, int lines, bool import);

double sqliteMs(const QString& store, const QString& statements);

} // namespace ostrel::bench
