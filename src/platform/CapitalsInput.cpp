#include "CapitalsInput.h"

#include <QLineEdit>

namespace ostrel {

void typeInCapitals(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        if (text == text.toUpper())
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(text.toUpper());
        edit->setCursorPosition(cursor);
    });
}

} // namespace ostrel
