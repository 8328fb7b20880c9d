#include "MainWindowFixture.h"

using namespace ostrel;

class TestDBEditRev : public QObject {
    Q_OBJECT
private slots:
    void reverseLookWhileFocused_data();
    void reverseLookWhileFocused();
    void newColourShowsFromNextEntry();
    void enterAndExitHandlersSeeTheirLook();
};

void TestDBEditRev::reverseLookWhileFocused_data()
{
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("background");
    QTest::newRow("plain, default background") << false << QColor(Qt::white);
    QTest::newRow("bold stays bold") << true << QColor(Qt::white);
    QTest::newRow("yellow comes back") << false << QColor(Qt::yellow);
}

void TestDBEditRev::reverseLookWhileFocused()
{
    QFETCH(bool, bold);
    QFETCH(QColor, background);
    MainWindowFixture f({"INSERT INTO tEntrate (Id, Importo, ImportoBak) VALUES (1, 5, 5)"});
    TDBEditRev* e = f.edit("DBEditRev1");
    QFont font = e->font();
    font.setBold(bold);
    e->setFont(font);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, background);
    e->setPalette(p);
    QTest::mouseClick(e, Qt::LeftButton);
    QCOMPARE(e->palette().color(QPalette::Base), QColor(0, 255, 255));
    QVERIFY(e->font().bold());
    QTest::mouseClick(f.edit("DBEditRev2"), Qt::LeftButton);
    QCOMPARE(e->palette().color(QPalette::Base), background);
    QCOMPARE(e->font().bold(), bold);
}

void TestDBEditRev::newColourShowsFromNextEntry()
{
    MainWindowFixture f({});
    TDBEditRev* e = f.edit("DBEditRev1");
    QTest::mouseClick(e, Qt::LeftButton);
    e->SetColor(Qt::green);
    QCOMPARE(e->palette().color(QPalette::Base), QColor(0, 255, 255));
    QTest::mouseClick(f.edit("DBEditRev2"), Qt::LeftButton);
    QTest::mouseClick(e, Qt::LeftButton);
    QCOMPARE(e->palette().color(QPalette::Base), QColor(Qt::green));
}

void TestDBEditRev::enterAndExitHandlersSeeTheirLook()
{
    MainWindowFixture f({});
    TDBEditRev* e = f.edit("DBEditRev1");
    QColor onEnter, onExit;
    e->onEnter = [&] { onEnter = e->palette().color(QPalette::Base); };
    e->onExit = [&] { onExit = e->palette().color(QPalette::Base); };
    QTest::mouseClick(e, Qt::LeftButton);
    QTest::mouseClick(f.edit("DBEditRev2"), Qt::LeftButton);
    QVERIFY(onEnter != QColor(0, 255, 255));
    QCOMPARE(onExit, QColor(0, 255, 255));
}

QTEST_MAIN(TestDBEditRev)
#include "tst_dbeditrev.moc"
