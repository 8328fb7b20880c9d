#pragma once

#include <QFont>

namespace ostrel {

// The windows' font: Tahoma where the system has it, else a close sans-serif.
QFont windowFont(int pixelSize, bool bold = false);

} // namespace ostrel
