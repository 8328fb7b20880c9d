#include "PageControl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace ostrel {

namespace {

class GuardedTabBar : public QTabBar {
public:
    explicit GuardedTabBar(PageControl* owner) : m_owner(owner) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const int index = tabAt(event->position().toPoint());
        if (index >= 0 && index != currentIndex() && !m_owner->allowChange())
            return;
        QTabBar::mousePressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override
    {
        if (m_owner->allowChange())
            QTabBar::wheelEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_owner->allowChange())
            QTabBar::keyPressEvent(event);
    }

private:
    PageControl* m_owner;
};

} // namespace

PageControl::PageControl(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new GuardedTabBar(this));
}

void PageControl::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+Tab and its kin change the page from anywhere inside it.
    if ((event->modifiers() & Qt::ControlModifier)
        && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab
            || event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)
        && !allowChange())
        return;
    QTabWidget::keyPressEvent(event);
}

} // namespace ostrel
