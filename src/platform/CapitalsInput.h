#pragma once

class QLineEdit;

namespace ostrel {

// Letters typed into the edit become capitals, the cursor staying where it was.
void typeInCapitals(QLineEdit* edit);

} // namespace ostrel
