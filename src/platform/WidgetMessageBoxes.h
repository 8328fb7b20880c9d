#pragma once

#include "MessageBoxes.h"

namespace ostrel {

// The real modal boxes, with the Italian titles and buttons.
class WidgetMessageBoxes : public MessageBoxes {
public:
    void error(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    bool confirmWarning(const QString& text) override;
    void plain(const QString& text) override;
    void standardError(const QString& text) override;
};

} // namespace ostrel
