#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/StoreFunctions.h"

#include <QTest>

using namespace ostrel;

class TestStoreFunctions : public QObject {
    Q_OBJECT
private slots:
    void likeMatch_data();
    void likeMatch();
    void likeInTheStore_data();
    void likeInTheStore();
    void upperInTheStore();
};

void TestStoreFunctions::likeMatch_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("begins with") << "12%" << "123" << true;
    QTest::newRow("does not begin with") << "12%" << "312" << false;
    QTest::newRow("contains, other case") << "%affitto%" << "CANONI D'AFFITTO" << true;
    QTest::newRow("accented, other case") << "%città%" << "VIABILITÀ E CITTÀ" << true;
    QTest::newRow("accent is not ignored") << "%citta%" << "città" << false;
    QTest::newRow("underscore is one character") << "a_c" << "abc" << true;
    QTest::newRow("underscore needs a character") << "a_c" << "ac" << false;
    QTest::newRow("underscore matches an accented one") << "n_" << "NÒ" << true;
    QTest::newRow("two wildcards") << "%%" << "" << true;
    QTest::newRow("empty pattern only matches empty") << "" << "x" << false;
    QTest::newRow("backtracking") << "%ab%ab" << "xabyabab" << true;
    QTest::newRow("apostrophe literal") << "D'ANG%" << "d'angelo maria" << true;
}

void TestStoreFunctions::likeMatch()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(ostrel::likeMatch(pattern, text), matches);
}

void TestStoreFunctions::likeInTheStore_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("rows");
    QTest::newRow("accented, lower pattern") << "Descrizione like '%città%'" << 1;
    QTest::newRow("accented, upper pattern") << "Descrizione like '%CITTÀ%'" << 1;
    QTest::newRow("integer column as text") << "Cap like '10%'" << 2;
    QTest::newRow("null never matches") << "Responsabile like '%'" << 1;
    QTest::newRow("escape") << "Descrizione like '%50!%%' ESCAPE '!'" << 1;
}

void TestStoreFunctions::likeInTheStore()
{
    QFETCH(QString, condition);
    QFETCH(int, rows);
    TestStore store;
    LocalStore& cn = store.tables().cnOstrel;
    cn.exec("INSERT INTO tEntrate (Id, Cap, Descrizione, Responsabile) VALUES (1, 1020, "
            "'Piazza della Città', 'ROSSI')");
    cn.exec("INSERT INTO tEntrate (Id, Cap, Descrizione) VALUES (2, 105, 'Sconto 50% ai residenti')");
    QSqlQuery query = cn.exec("SELECT COUNT(*) FROM tEntrate WHERE " + condition);
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), rows);
}

void TestStoreFunctions::upperInTheStore()
{
    TestStore store;
    QSqlQuery query = store.tables().cnOstrel.exec("SELECT UPPER('perrò città'), UPPER(NULL)");
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("PERRÒ CITTÀ"));
    QVERIFY(query.value(1).isNull());
}

QTEST_GUILESS_MAIN(TestStoreFunctions)
#include "tst_storefunctions.moc"
