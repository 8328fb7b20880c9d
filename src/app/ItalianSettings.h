#pragma once

namespace ostrel {

// The program works under Italian regional settings whatever the system's:
// decimal comma, thousands point, dates as DD/MM/YYYY.
void useItalianSettings();

} // namespace ostrel
