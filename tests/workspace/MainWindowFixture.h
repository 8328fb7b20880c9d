#pragma once

#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/DBNavigator.h"
#include "platform/DBText.h"
#include "platform/PageControl.h"
#include "workspace/DBEditRev.h"
#include "workspace/MainWindow.h"

#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace ostrel {

// The real main window on a small store, shown and active so that focus,
// change and exit events arrive as they do for a user.
struct MainWindowFixture {
    TestStore store;
    std::unique_ptr<TfMain> window;

    explicit MainWindowFixture(const QStringList& inserts)
    {
        for (const QString& sql : inserts)
            store.tables().cnOstrel.exec(sql);
        window = std::make_unique<TfMain>(store.tables(), false, QDate(2015, 6, 15));
        window->show();
        QApplication::setActiveWindow(window.get());
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("main window not active");
    }

    template <typename T = QWidget>
    T* find(const char* name) const
    {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    TDBEditRev* edit(const char* name) const { return find<TDBEditRev>(name); }
    QString text(const char* name) const { return find<DBText>(name)->text(); }

    void click(DBNavigator::Button b) const
    {
        QTest::mouseClick(window->DBNavigator1->button(b), Qt::LeftButton);
    }
    void clickButton(const char* name) const { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    // Clicks into the edit and types, replacing what it shows.
    void type(const char* name, const QString& text) const
    {
        TDBEditRev* e = edit(name);
        QTest::mouseClick(e, Qt::LeftButton);
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    void clickTab(int index) const
    {
        QTabBar* bar = window->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    QVariant stored(const QString& sql) const { return store.scalar(sql); }
};

} // namespace ostrel
