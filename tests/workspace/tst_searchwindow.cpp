#include "MainWindowFixture.h"

#include "platform/DBGrid.h"
#include "platform/Errors.h"
#include "workspace/LegendWindow.h"
#include "workspace/SearchQuery.h"
#include "workspace/SearchWindow.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace ostrel;

namespace {

const QStringList kResidues = {
    "INSERT INTO tEntrate (Id, Anno, Numero, Sub, Cap, Art, UEB, Descrizione, Responsabile, Importo, "
    "ImportoBak) VALUES "
    "(1, 2014, '120', 0, 1020, 1, '1010100', 'Canoni d''affitto', 'ROSSI', 1, 1), "
    "(2, 2013, '12', 1, 2030, 2, '3010100', 'Piazza della Città', 'D''ANGELO MARIA', 1, 1), "
    "(3, 2013, '12', 0, 120, 3, '4020100', '  Zona artigianale', 'BIANCHI', 1, 1), "
    "(4, 2012, '300', 0, 900, 4, '2010100', 'Mense scolastiche', 'PERRÒ ELIA', 1, 1), "
    "(5, 2012, NULL, 0, 900, 5, NULL, 'Senza numero', NULL, 1, 1)",
    "INSERT INTO tUscite (Id, Anno, Numero, Sub, Cap, Art, UEB, Descrizione, Importo, ImportoBak) VALUES "
    "(1, 2014, '9', 0, 10, 1, '1010101', 'Solo spesa', 1, 1)",
};

} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opening();
    void filters_data();
    void filters();
    void enteringAnotherFilterClearsThePrevious();
    void titlesThatDoNotSort_data();
    void titlesThatDoNotSort();
    void arrowKeysMoveTheMainWindow();
    void closingHandsTheOrderOver();
    void listsTheActiveTab();
    void filterLineQuotesApostrophes();
    void typedKeywordStaysInItsFilter();
    void nullCharacterIsRefused();
    void legendClosesWithEsc();

private:
    void open();
    QStringList numbers() const;
    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<TfCerca> search;
};

void TestSearchWindow::init()
{
    f = std::make_unique<MainWindowFixture>(kResidues);
    search = std::make_unique<TfCerca>(f->store.tables(), f->window.get());
}

void TestSearchWindow::cleanup()
{
    search.reset();
    f.reset();
}

void TestSearchWindow::open()
{
    search->prepare(*f->window->DBNavigator1->dataSet());
    search->show();
    QApplication::setActiveWindow(search.get());
    QVERIFY(QTest::qWaitForWindowActive(search.get()));
}

QStringList TestSearchWindow::numbers() const
{
    QStringList result;
    DataSet& q = search->qCerca;
    for (int row = 0; row < q.recordCount(); ++row)
        result << q.valueAt(row, q.fieldByName("Numero")).toString() + "/"
                      + q.valueAt(row, q.fieldByName("Sub")).toString();
    return result;
}

void TestSearchWindow::opening()
{
    f->click(DBNavigator::Next);
    f->click(DBNavigator::Next); // the main window shows residue 3 (2013 / 12)
    QCOMPARE(f->window->qEntrate.fieldByName("Id").asInteger(), 3);
    open();
    for (QLineEdit* edit : search->edits)
        QVERIFY(edit->text().isEmpty());
    QCOMPARE(numbers(), (QStringList{"300/0", "12/0", "12/1", "120/0"})); // no residue without number
    QCOMPARE(search->qCerca.sql()[4], QStringLiteral("Anno, Numero, Sub"));
    const DBGrid::Column& title = search->DBGrid1->columns()[3];
    QCOMPARE(title.titleColor, QColor(128, 0, 0));
    QVERIFY(title.titleBold);
    QVERIFY(search->edits[3]->hasFocus());
    QCOMPARE(search->qCerca.fieldByName("Id").asInteger(), 3);
    QCOMPARE(search->tag, 0);
}

void TestSearchWindow::filters_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("number begins with") << 4 << "12" << QStringList{"12/0", "12/1", "120/0"};
    QTest::newRow("chapter begins with") << 1 << "12" << QStringList{"12/0"};
    QTest::newRow("year begins with") << 5 << "2012" << QStringList{"/0", "300/0"};
    QTest::newRow("description contains, any case") << 6 << "affitto" << QStringList{"120/0"};
    QTest::newRow("accented letter, other case") << 6 << "città" << QStringList{"12/1"};
    QTest::newRow("responsible with apostrophe") << 7 << "d'angelo" << QStringList{"12/1"};
    QTest::newRow("responsible accented") << 7 << "perrò" << QStringList{"300/0"};
    QTest::newRow("UEB begins with") << 3 << "4" << QStringList{"12/0"};
    QTest::newRow("nothing matches") << 4 << "9" << QStringList{};
}

void TestSearchWindow::filters()
{
    QFETCH(int, edit);
    QFETCH(QString, typed);
    QFETCH(QStringList, listed);
    open();
    QLineEdit* e = search->edits[edit - 1];
    QTest::mouseClick(e, Qt::LeftButton);
    for (const QChar c : typed) // keyClicks takes ASCII only
        QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(e->text(), typed.toUpper());
    QCOMPARE(numbers(), listed);
    QVERIFY(f->store.boxes().shown().isEmpty());
}

void TestSearchWindow::enteringAnotherFilterClearsThePrevious()
{
    open();
    QTest::keyClicks(search->edits[3], "300");
    QCOMPARE(numbers().size(), 1);
    QTest::mouseClick(search->edits[5], Qt::LeftButton);
    QVERIFY(search->edits[3]->text().isEmpty());
    QCOMPARE(numbers().size(), 4);
}

void TestSearchWindow::titlesThatDoNotSort_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("sortLine");
    QTest::newRow("Art") << 1 << "Anno, Numero, Sub";
    QTest::newRow("Sub") << 4 << "Anno, Numero, Sub";
    QTest::newRow("Anno") << 5 << "Anno, Numero, Sub";
    QTest::newRow("Cap") << 0 << "Cap, Art";
    QTest::newRow("Descrizione, blanks ignored") << 6 << "TRIM(Descrizione)";
}

void TestSearchWindow::titlesThatDoNotSort()
{
    QFETCH(int, column);
    QFETCH(QString, sortLine);
    open();
    QHeaderView* header = search->DBGrid1->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    QCOMPARE(search->qCerca.sql()[4], sortLine);
    if (column == 6)
        QCOMPARE(numbers().first(), QStringLiteral("120/0")); // "Canoni" before "  Zona"
}

void TestSearchWindow::arrowKeysMoveTheMainWindow()
{
    open();
    QTest::keyClick(search->edits[3], Qt::Key_Down);
    QCOMPARE(f->window->qEntrate.fieldByName("Id").asInteger(), 3);
    QTest::keyClick(search->edits[3], Qt::Key_Down);
    QCOMPARE(f->window->qEntrate.fieldByName("Id").asInteger(), 2);
    QTest::keyClick(search->edits[3], Qt::Key_Up);
    QCOMPARE(f->window->qEntrate.fieldByName("Id").asInteger(), 3);
}

void TestSearchWindow::closingHandsTheOrderOver()
{
    // The first close reopens the main query: the texts differ by the blanks.
    open();
    QTest::keyClick(search.get(), Qt::Key_Escape);
    QVERIFY(!search->isVisible());
    QCOMPARE(f->window->qEntrate.sql()[2], QStringLiteral("Anno, Numero, Sub"));
    QVERIFY(!search->qCerca.isActive());

    open();
    QHeaderView* header = search->DBGrid1->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(7) + 5, header->height() / 2));
    search->qCerca.locate("Id", 2);
    QTest::keyClick(search->edits[3], Qt::Key_Return);
    QCOMPARE(f->window->qEntrate.sql()[2], QStringLiteral("TRIM(Responsabile)"));
    QCOMPARE(f->window->qEntrate.fieldByName("Id").asInteger(), 2);
    f->click(DBNavigator::First);
    QCOMPARE(f->window->qEntrate.fieldByName("Responsabile").asString(), QString()); // null first
}

void TestSearchWindow::listsTheActiveTab()
{
    f->clickTab(1);
    open();
    QCOMPARE(search->qCerca.sql()[0], QStringLiteral("SELECT * FROM tUscite"));
    QCOMPARE(numbers(), QStringList{"9/0"});
}

void TestSearchWindow::filterLineQuotesApostrophes()
{
    QCOMPARE(SearchQuery::filterLine(7, "D'ANGELO"), QStringLiteral("  Responsabile like '%D''ANGELO%'"));
    QCOMPARE(SearchQuery::filterLine(1, "12"), QStringLiteral("  Cap like '12%'"));
}

void TestSearchWindow::typedKeywordStaysInItsFilter()
{
    // "order by" typed in the description filter: sorting and closing must
    // still find the query's own ORDER BY line, not the filter holding it.
    open();
    QLineEdit* e = search->edits[5];
    QTest::mouseClick(e, Qt::LeftButton);
    for (const QChar c : QStringLiteral("order by"))
        QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(search->qCerca.sql()[2], QStringLiteral("  Descrizione like '%ORDER BY%'"));
    QHeaderView* header = search->DBGrid1->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    QVERIFY(search->qCerca.isActive());
    QCOMPARE(search->qCerca.sql().mid(2), (QStringList{"  Descrizione like '%ORDER BY%'", "ORDER BY", "Cap, Art"}));
    QTest::keyClick(search.get(), Qt::Key_Escape);
    QCOMPARE(f->window->qEntrate.sql(), (QStringList{"SELECT * FROM tEntrate", "ORDER BY", "Cap, Art"}));
    QVERIFY(f->window->qEntrate.isActive());
    QVERIFY2(f->store.boxes().shown().isEmpty(), qPrintable(f->store.boxes().texts().join('\n')));
}

void TestSearchWindow::nullCharacterIsRefused()
{
    // The store would end the statement at the null character, inside the quotes.
    try {
        SearchQuery::filterLine(6, QString::fromUtf8("A\0B", 3));
        QFAIL("the null character was quoted");
    } catch (const EConvertError& e) {
        QVERIFY2(e.message().contains("carattere nullo"), qPrintable(e.message()));
    }
}

void TestSearchWindow::legendClosesWithEsc()
{
    TfLegenda legend;
    legend.show();
    QApplication::setActiveWindow(&legend);
    QVERIFY(QTest::qWaitForWindowActive(&legend));
    auto* memo = legend.findChild<QPlainTextEdit*>("Memo2");
    QCOMPARE(memo->toPlainText(), QStringLiteral("Titolo 4: Tutto\n\nTitolo 5: Categorie 3 e 4"));
    memo->setFocus();
    QTest::keyClicks(memo, "abc");
    QCOMPARE(memo->toPlainText(), QStringLiteral("Titolo 4: Tutto\n\nTitolo 5: Categorie 3 e 4"));
    QTest::keyClick(memo, Qt::Key_Escape);
    QVERIFY(!legend.isVisible());
}

QTEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"
