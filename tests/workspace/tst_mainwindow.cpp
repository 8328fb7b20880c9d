#include "MainWindowFixture.h"

#include "platform/PageControl.h"
#include "platform/WidgetMessageBoxes.h"

#include <QMessageBox>
#include <QTimer>

using namespace ostrel;
using Kind = ScriptedMessageBoxes::Kind;

namespace {

const QStringList kResidues = {
    "INSERT INTO tEntrate (Id, Anno, Numero, Sub, Cap, Art, UEB, Descrizione, Importo, ImportoBak, "
    "CodResp, Responsabile) VALUES "
    "(1, 2013, '10', 0, 1020, 5, '1010100', 'Primo', 1000, 1000, 0, 'ROSSI'), "
    "(2, 2014, '20', 2, 2030, 1, '4020100', 'Secondo', 400, 400, 3, 'BIANCHI'), "
    "(3, 2014, '30', 0, 3040, 2, '3010100', 'Terzo', -12, -12, 4, 'VERDI')",
    "INSERT INTO tUscite (Id, Anno, Numero, Sub, Cap, Art, UEB, Descrizione, Importo, ImportoBak, "
    "CodResp, AvLibero, ResAnno2, FlCop2, Gara, Causale1) VALUES "
    "(1, 2012, '7', 0, 1100, 1, '1010101', 'Spesa', 800, 800, 0, NULL, NULL, 0, 0, NULL), "
    "(2, 2013, '8', 1, 2100, 2, '2010501', 'Lavori', 0, 500, 5, 100, 400, 1, 1, 'CAUSA')",
};

const char kWrongSplit[] = "Importo a residuo riaccertato in modo errato, non posso registrare.";
const char kFirstRegister[] = "Occorre prima registrare o annullare la variazione.";

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<MainWindowFixture>(kResidues); }
    void cleanup() { f.reset(); }

    void shownOnStart();
    void registrationNeedsZeroRemainder_data();
    void registrationNeedsZeroRemainder();
    void typingThenRegistraAtOnceCounts();
    void expenditureSplitRegisters();
    void navigationRefusedDuringSplit_data();
    void navigationRefusedDuringSplit();
    void refusedTextKeepsFocusAndRegistersNothing();
    void cancelRestoresStoredValuesAndColour();
    void tabChangeRefusedWhileEditing();
    void tabChangeMovesNavigator();
    void amountCorrection_data();
    void amountCorrection();
    void resetUsesItsOwnResidue();
    void resetAnsweredNoChangesNothing();
    void deleteAnsweredWithEnter();
    void exitDuringSplitWritesNothing();
    void emptyTableOffersNoEdit();
    void storeRefusingTheWriteKeepsWhatWasTyped();

private:
    std::unique_ptr<MainWindowFixture> f;
};

void TestMainWindow::shownOnStart()
{
    QCOMPARE(f->window->windowTitle(), QStringLiteral("[fMain] Ostrel v") + TfMain::LeggiVersione());
    QCOMPARE(f->window->size(), QSize(928, 723));
    QCOMPARE(f->text("DBText1"), QStringLiteral("2013 / 10"));
    QCOMPARE(f->text("DBText5"), QStringLiteral("1020 / 5"));
    QCOMPARE(f->text("DBText3"), QStringLiteral("€ 1.000,00"));
    QCOMPARE(f->text("DBText8"), QString()); // CodResp 0 on revenues
    QCOMPARE(f->text("DBText16"), QStringLiteral("0")); // and on expenditures
    QCOMPARE(f->find<QLabel>("stAnno1")->text(), QStringLiteral(" 2015 "));
    QCOMPARE(f->find<QLabel>("stAnno3")->text(), QStringLiteral(" 2017 "));
    QCOMPARE(f->find<QLabel>("stAnnoO")->text(), QStringLiteral(" Oltre "));
    QVERIFY(f->find("sbRegistraE")->isHidden());
    QVERIFY(f->find("DBEditRev22")->isHidden());
    QVERIFY(f->edit("DBEditRev1")->isReadOnly());
    QVERIFY(!f->window->DBNavigator1->button(DBNavigator::Post)->isEnabled());
    QCOMPARE(f->window->DBNavigator1->button(DBNavigator::Next)->toolTip(), QStringLiteral("Avanti"));
    f->click(DBNavigator::Last);
    QCOMPARE(f->text("DBText3"), QStringLiteral("-€ 12,00"));
    QCOMPARE(f->find<DBText>("DBText3")->palette().color(QPalette::WindowText), QColor(Qt::red));
}

void TestMainWindow::registrationNeedsZeroRemainder_data()
{
    QTest::addColumn<QString>("eliminated");
    QTest::addColumn<QString>("year1");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("remainder");
    QTest::addColumn<bool>("registered");
    QTest::newRow("exact split") << "200" << "300" << "500" << "€ ,00" << true;
    QTest::newRow("one cent short") << "200" << "300" << "499,99" << "€ ,01" << false;
    QTest::newRow("0.004 over reads zero") << "200" << "300" << "500,004" << "€ ,00" << true;
    QTest::newRow("0.005 over") << "200" << "300" << "500,005" << "-€ ,01" << false;
    QTest::newRow("far over") << "900" << "300" << "" << "-€ 200,00" << false;
}

void TestMainWindow::registrationNeedsZeroRemainder()
{
    QFETCH(QString, eliminated);
    QFETCH(QString, year1);
    QFETCH(QString, kept);
    QFETCH(QString, remainder);
    QFETCH(bool, registered);
    f->click(DBNavigator::Edit);
    QVERIFY(f->edit("DBEditRev1")->hasFocus());
    QVERIFY(!f->window->bbReset->isEnabled());
    f->type("DBEditRev1", eliminated);
    f->type("DBEditRev3", year1);
    f->type("DBEditRev2", kept);
    f->type("DBEditRev7", "fondi non dovuti");
    QCOMPARE(f->edit("DBEditRev7")->text(), QStringLiteral("FONDI NON DOVUTI"));
    QCOMPARE(f->text("DBText3"), remainder);
    f->click(DBNavigator::Post);
    if (registered) {
        QVERIFY(f->store.boxes().shown().isEmpty());
        QVERIFY(!f->window->qEntrate.isEditing());
        QCOMPARE(f->stored("SELECT ResEliminato + ResAnno1 + ResMantenuto FROM tEntrate WHERE Id = 1").toDouble(),
                 1000 - f->stored("SELECT Importo FROM tEntrate WHERE Id = 1").toDouble());
        QCOMPARE(f->stored("SELECT Causale1 FROM tEntrate WHERE Id = 1").toString(),
                 QStringLiteral("FONDI NON DOVUTI"));
        QVERIFY(qAbs(f->stored("SELECT Importo FROM tEntrate WHERE Id = 1").toDouble()) < 0.005);
        QVERIFY(f->window->bbReset->isEnabled());
    } else {
        QCOMPARE(f->store.boxes().texts(), QStringList{kWrongSplit});
        QVERIFY(f->window->qEntrate.isEditing());
        QVERIFY(f->edit("DBEditRev7")->hasFocus()); // back where the user was
        QCOMPARE(f->stored("SELECT Importo FROM tEntrate WHERE Id = 1").toDouble(), 1000.0);
        QVERIFY(f->stored("SELECT ResEliminato FROM tEntrate WHERE Id = 1").isNull());
    }
    const bool negative = f->window->qEntrate.fieldByName("Importo").asFloat() < 0;
    QCOMPARE(f->find<DBText>("DBText3")->palette().color(QPalette::WindowText) == QColor(Qt::red), negative);
}

void TestMainWindow::typingThenRegistraAtOnceCounts()
{
    f->click(DBNavigator::Edit);
    QTest::keyClicks(f->edit("DBEditRev1"), "1000"); // focused by the edit action
    f->click(DBNavigator::Post);
    QVERIFY(f->store.boxes().shown().isEmpty());
    QCOMPARE(f->stored("SELECT ResEliminato FROM tEntrate WHERE Id = 1").toDouble(), 1000.0);
    QCOMPARE(f->stored("SELECT Importo FROM tEntrate WHERE Id = 1").toDouble(), 0.0);
    QCOMPARE(f->edit("DBEditRev1")->text(), QStringLiteral("€ 1.000,00"));
}

void TestMainWindow::expenditureSplitRegisters()
{
    f->clickTab(1);
    QCOMPARE(f->window->DBNavigator1->dataSet(), &f->window->qUscite);
    f->click(DBNavigator::Edit);
    QVERIFY(f->edit("DBEditRev10")->hasFocus());
    f->type("DBEditRev10", "100");
    f->type("DBEditRev20", "50,5");
    f->type("DBEditRev12", "600");
    QTest::mouseClick(f->find("DBCheckBox3"), Qt::LeftButton);
    f->type("DBEditRev15", "49,5");
    // On expenditures the remainder follows the edits' texts: the last amount
    // counts once its edit is left, which the post does first.
    QCOMPARE(f->text("DBText10"), QStringLiteral("€ 49,50"));
    f->click(DBNavigator::Post);
    QCOMPARE(f->text("DBText10"), QStringLiteral("€ ,00"));
    QVERIFY2(f->store.boxes().shown().isEmpty(), qPrintable(f->store.boxes().texts().join('\n')));
    QCOMPARE(f->stored("SELECT AvLibero || '/' || AvVincolato || '/' || ResAnno2 || '/' || FlCop2 || '/' || "
                       "ResMantenuto FROM tUscite WHERE Id = 1").toString(),
             QStringLiteral("100.0/50.5/600.0/1/49.5"));
}

void TestMainWindow::navigationRefusedDuringSplit_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("Avanti") << int(DBNavigator::Next);
    QTest::newRow("Indietro") << int(DBNavigator::Prior);
    QTest::newRow("Inizio archivio") << int(DBNavigator::First);
    QTest::newRow("Fine archivio") << int(DBNavigator::Last);
    QTest::newRow("Elimina") << int(DBNavigator::Delete);
}

void TestMainWindow::navigationRefusedDuringSplit()
{
    QFETCH(int, button);
    f->click(DBNavigator::Next);
    f->click(DBNavigator::Edit);
    f->type("DBEditRev1", "10");
    f->click(DBNavigator::Button(button));
    QCOMPARE(f->store.boxes().texts(), QStringList{kFirstRegister});
    QCOMPARE(f->store.boxes().shown().first().kind, Kind::Error);
    QCOMPARE(f->window->qEntrate.fieldByName("Id").asInteger(), 2);
    QVERIFY(f->window->qEntrate.isEditing());
    QCOMPARE(f->window->qEntrate.fieldByName("ResEliminato").asFloat(), 10.0);
    QVERIFY(f->edit("DBEditRev1")->hasFocus());
    QCOMPARE(f->stored("SELECT COUNT(*) FROM tEntrate").toInt(), 3);
}

void TestMainWindow::refusedTextKeepsFocusAndRegistersNothing()
{
    f->click(DBNavigator::Edit);
    QTest::keyClicks(f->edit("DBEditRev1"), "1.000");
    f->click(DBNavigator::Post);
    QCOMPARE(f->store.boxes().shown().size(), 1);
    QVERIFY(f->store.boxes().texts().first().contains("'1.000' non è un numero valido per il campo 'ResEliminato'"));
    QVERIFY(f->edit("DBEditRev1")->hasFocus());
    QVERIFY(f->window->qEntrate.isEditing());
    QVERIFY(f->stored("SELECT ResEliminato FROM tEntrate WHERE Id = 1").isNull());
    // Still the reverse look: the edit was never left.
    QVERIFY(f->edit("DBEditRev1")->font().bold());
}

void TestMainWindow::cancelRestoresStoredValuesAndColour()
{
    f->click(DBNavigator::Edit);
    f->type("DBEditRev1", "1500");
    f->type("DBEditRev2", "1");
    QTest::mouseClick(f->edit("DBEditRev3"), Qt::LeftButton);
    QCOMPARE(f->text("DBText3"), QStringLiteral("-€ 501,00"));
    f->click(DBNavigator::Cancel);
    QVERIFY(!f->window->qEntrate.isEditing());
    QCOMPARE(f->text("DBText3"), QStringLiteral("€ 1.000,00"));
    QCOMPARE(f->edit("DBEditRev1")->text(), QString());
    QVERIFY(f->find<DBText>("DBText3")->palette().color(QPalette::WindowText) != QColor(Qt::red));
    QVERIFY(f->window->bbCerca->isEnabled());
    QVERIFY(f->stored("SELECT ResEliminato FROM tEntrate WHERE Id = 1").isNull());
}

void TestMainWindow::tabChangeRefusedWhileEditing()
{
    f->click(DBNavigator::Edit);
    f->clickTab(1);
    QCOMPARE(f->window->PageControl1->currentIndex(), 0);
    f->click(DBNavigator::Cancel);
    f->clickTab(1);
    QCOMPARE(f->window->PageControl1->currentIndex(), 1);
    // An amount correction holds the tab too.
    f->clickButton("sbModificaU");
    f->clickTab(0);
    QCOMPARE(f->window->PageControl1->currentIndex(), 1);
    QVERIFY(!f->window->Panel1->isEnabled());
}

void TestMainWindow::tabChangeMovesNavigator()
{
    f->click(DBNavigator::Next);
    f->clickTab(1);
    f->click(DBNavigator::Next);
    QCOMPARE(f->window->qUscite.fieldByName("Id").asInteger(), 2);
    f->clickTab(0);
    QCOMPARE(f->window->DBNavigator1->dataSet(), &f->window->qEntrate);
    QCOMPARE(f->window->qEntrate.fieldByName("Id").asInteger(), 2);
}

void TestMainWindow::amountCorrection_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("revenue") << 0;
    QTest::newRow("expenditure with split and flags") << 1;
}

void TestMainWindow::amountCorrection()
{
    QFETCH(int, tab);
    const bool revenue = tab == 0;
    const QString table = revenue ? "tEntrate" : "tUscite";
    f->clickTab(tab);
    if (revenue) {
        f->click(DBNavigator::Edit);
        f->type("DBEditRev1", "1000");
        f->type("DBEditRev8", "causa");
        f->click(DBNavigator::Post);
    } else {
        f->click(DBNavigator::Next); // the residue with a registered split
    }
    f->clickButton(revenue ? "sbModificaE" : "sbModificaU");
    TDBEditRev* editor = f->edit(revenue ? "DBEditRev22" : "DBEditRev23");
    QVERIFY(editor->isVisible());
    QVERIFY(editor->hasFocus());
    QVERIFY(!f->window->bbEsci->isEnabled());
    QVERIFY(!f->find(revenue ? "GroupBox6" : "GroupBox5")->isEnabled());
    editor->selectAll();
    QTest::keyClicks(editor, "1500");
    f->clickButton(revenue ? "sbRegistraE" : "sbRegistraU");
    QVERIFY(f->store.boxes().shown().isEmpty());
    QVERIFY(editor->isHidden());
    QVERIFY(f->window->Panel1->isEnabled());
    const int id = revenue ? 1 : 2;
    QCOMPARE(f->stored(QString("SELECT Importo || '/' || ImportoBak FROM %1 WHERE Id = %2").arg(table).arg(id)).toString(),
             QStringLiteral("1500.0/1500.0"));
    QString destinations = revenue ? "ResEliminato, ResAnno1, ResAnno2, ResAnno3, ResOltre, ResMantenuto"
                                   : "AvLibero, AvAccantonato, AvVincolato, AvDestinato, ResAnno1, ResAnno2, "
                                     "ResAnno3, ResOltre, ResMantenuto";
    destinations += ", Causale1, Causale2, Causale3";
    QCOMPARE(f->stored(QString("SELECT COALESCE(%1) FROM %2 WHERE Id = %3").arg(destinations, table).arg(id)).isNull(),
             true);
    if (!revenue)
        QCOMPARE(f->stored("SELECT Gara + FlCop1 + FlCop2 + FlCop3 + FlCopOltre FROM tUscite WHERE Id = 2").toInt(), 0);
    QVERIFY(f->window->DBNavigator1->hasFocus());
}

void TestMainWindow::resetUsesItsOwnResidue()
{
    // Split residue 1, then start (and cancel) a split on residue 2, whose
    // base is then the window's split base; reset residue 1.
    f->click(DBNavigator::Edit);
    f->type("DBEditRev1", "1000");
    f->click(DBNavigator::Post);
    f->click(DBNavigator::Next);
    f->click(DBNavigator::Edit);
    f->click(DBNavigator::Cancel);
    f->click(DBNavigator::First);
    f->store.boxes().queueAnswer(true);
    f->clickButton("bbReset");
    QCOMPARE(f->store.boxes().texts(),
             QStringList{"L'accertamento verrà riportato allo stato originario, proseguo?"});
    QCOMPARE(f->store.boxes().shown().first().kind, Kind::ConfirmWarning);
    QCOMPARE(f->stored("SELECT Importo FROM tEntrate WHERE Id = 1").toDouble(), 1000.0);
    QVERIFY(f->stored("SELECT ResEliminato FROM tEntrate WHERE Id = 1").isNull());
    QCOMPARE(f->text("DBText3"), QStringLiteral("€ 1.000,00"));
}

void TestMainWindow::resetAnsweredNoChangesNothing()
{
    f->clickTab(1);
    f->click(DBNavigator::Last);
    f->store.boxes().queueAnswer(false);
    f->clickButton("bbReset");
    QCOMPARE(f->store.boxes().texts(), QStringList{"L'impegno verrà riportato allo stato originario, proseguo?"});
    QCOMPARE(f->stored("SELECT AvLibero FROM tUscite WHERE Id = 2").toDouble(), 100.0);
    f->store.boxes().queueAnswer(true);
    f->clickButton("bbReset");
    QCOMPARE(f->stored("SELECT COALESCE(AvLibero, ResAnno2, Causale1) IS NULL AND Importo = ImportoBak AND "
                       "Gara = 0 AND FlCop2 = 0 FROM tUscite WHERE Id = 2").toInt(), 1);
}

void TestMainWindow::deleteAnsweredWithEnter()
{
    // The real question box: Enter presses its default button, "&Si".
    WidgetMessageBoxes real;
    setMessages(&real);
    QString asked;
    QTimer::singleShot(100, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        asked = box->windowTitle() + "|" + box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    f->click(DBNavigator::Next);
    f->click(DBNavigator::Delete);
    setMessages(&f->store.boxes());
    QCOMPARE(asked, QStringLiteral("Conferma|Attenzione! Vuoi veramente cancellare questo record?"));
    QCOMPARE(f->stored("SELECT group_concat(Id) FROM tEntrate").toString(), QStringLiteral("1,3"));
    QCOMPARE(f->window->qEntrate.fieldByName("Id").asInteger(), 3);
}

void TestMainWindow::exitDuringSplitWritesNothing()
{
    f->click(DBNavigator::Edit);
    f->type("DBEditRev1", "1000");
    QVERIFY(f->window->bbEsci->isEnabled());
    f->clickButton("bbEsci");
    QVERIFY(!f->window->isVisible());
    QVERIFY(f->stored("SELECT ResEliminato FROM tEntrate WHERE Id = 1").isNull());
}

void TestMainWindow::emptyTableOffersNoEdit()
{
    f.reset();
    f = std::make_unique<MainWindowFixture>(QStringList{});
    QVERIFY(!f->window->DBNavigator1->button(DBNavigator::Edit)->isEnabled());
    QVERIFY(!f->window->bbReset->isEnabled());
    QVERIFY(!f->find("sbModificaE")->isEnabled());
    f->click(DBNavigator::Edit);
    QVERIFY(!f->window->qEntrate.isEditing());
    QCOMPARE(f->stored("SELECT COUNT(*) FROM tEntrate").toInt(), 0);
}

void TestMainWindow::storeRefusingTheWriteKeepsWhatWasTyped()
{
    // As a store file that became read-only while the window was open.
    f->store.tables().cnOstrel.exec("PRAGMA query_only = ON");
    f->click(DBNavigator::Edit);
    f->type("DBEditRev1", "600");
    f->type("DBEditRev2", "400");
    f->click(DBNavigator::Post);
    QCOMPARE(f->store.boxes().shown().size(), 1);
    QVERIFY2(f->store.boxes().texts().first().contains("l'archivio è in sola lettura, non è possibile registrare"),
             qPrintable(f->store.boxes().texts().first()));
    QCOMPARE(f->window->qEntrate.state(), DataSet::State::Edit);
    QCOMPARE(f->edit("DBEditRev1")->text(), QStringLiteral("€ 600,00"));
    QVERIFY(f->stored("SELECT ResEliminato FROM tEntrate WHERE Id = 1").isNull());
    // Once the store accepts writes again, the same post registers.
    f->store.tables().cnOstrel.exec("PRAGMA query_only = OFF");
    f->click(DBNavigator::Post);
    QCOMPARE(f->store.boxes().shown().size(), 1);
    QCOMPARE(f->stored("SELECT ResEliminato || '/' || ResMantenuto FROM tEntrate WHERE Id = 1").toString(),
             QStringLiteral("600.0/400.0"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
