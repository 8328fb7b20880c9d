#pragma once

#include <QStringView>

struct sqlite3;

namespace ostrel {

// LIKE with "%" and "_" that ignores case for every letter, accented ones
// included (the store's own LIKE folds ASCII only).
bool likeMatch(QStringView pattern, QStringView text, char32_t escape = 0);

// Replaces the store's like() and upper() with Unicode-aware versions.
void installStoreFunctions(sqlite3* db);

} // namespace ostrel
