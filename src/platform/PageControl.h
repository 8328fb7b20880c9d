#pragma once

#include <QTabBar>
#include <QTabWidget>
#include <functional>

namespace ostrel {

// Tabs whose change can be refused: `onChanging` is asked before the user
// moves to another tab (mouse, wheel or keyboard) and may say no.
class PageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);

    std::function<bool()> onChanging;
    bool allowChange() const { return !onChanging || onChanging(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ostrel
