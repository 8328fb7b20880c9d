#include "TestStore.h"

#include "app/DataModule.h"
#include "workspace/Reassessment.h"

#include <QTest>

using namespace ostrel;
using Reassessment::Kind;

class TestReassessment : public QObject {
    Q_OBJECT
private slots:
    void computedLabels_data();
    void computedLabels();
    void yearCaptions_data();
    void yearCaptions();
    void displayFormats();
};

void TestReassessment::computedLabels_data()
{
    QTest::addColumn<QString>("values"); // Anno, Numero, Sub, Cap, Art
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("chapter");
    QTest::newRow("no sub") << "2014, '123', 0, 1020, 5" << "2014 / 123" << "1020 / 5";
    QTest::newRow("empty sub") << "2014, '123', NULL, 1020, 5" << "2014 / 123" << "1020 / 5";
    QTest::newRow("sub shown") << "2014, '123', 2, 1020, 5" << "2014 / 123 - 2" << "1020 / 5";
    QTest::newRow("chapter cut to 10") << "2014, '123', 2, 123456, 12" << "2014 / 123 - 2" << "123456 / 1";
    QTest::newRow("label cut to 20") << "2014, '12345678', 32000, 1, 1" << "2014 / 12345678 - 32" << "1 / 1";
    QTest::newRow("empty fields") << "NULL, NULL, NULL, NULL, NULL" << " / " << " / ";
}

void TestReassessment::computedLabels()
{
    QFETCH(QString, values);
    QFETCH(QString, label);
    QFETCH(QString, chapter);
    TestStore store;
    LocalStore& cn = store.tables().cnOstrel;
    for (const char* table : {"tEntrate", "tUscite"})
        cn.exec(QStringLiteral("INSERT INTO %1 (Id, Anno, Numero, Sub, Cap, Art) VALUES (1, %2)")
                    .arg(table, values));
    for (Kind kind : {Kind::Revenue, Kind::Expenditure}) {
        DataSet q("q", &cn);
        Reassessment::defineQuery(q, kind);
        q.open();
        QCOMPARE(q.fieldByName(kind == Kind::Revenue ? "clAccertamento" : "clImpegno").asString(), label);
        QCOMPARE(q.fieldByName("clCapitolo").asString(), chapter);
    }
}

void TestReassessment::yearCaptions_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("15 March 2016") << QDate(2016, 3, 15) << QStringList{" 2016 ", " 2017 ", " 2018 "};
    QTest::newRow("29 February") << QDate(2016, 2, 29) << QStringList{" 2016 ", " 2017 ", " 2018 "};
    QTest::newRow("31 December") << QDate(2015, 12, 31) << QStringList{" 2015 ", " 2016 ", " 2017 "};
}

void TestReassessment::yearCaptions()
{
    QFETCH(QDate, today);
    QFETCH(QStringList, captions);
    QCOMPARE(Reassessment::yearCaptions(today), captions);
}

void TestReassessment::displayFormats()
{
    TestStore store;
    LocalStore& cn = store.tables().cnOstrel;
    for (const char* table : {"tEntrate", "tUscite"})
        cn.exec(QStringLiteral("INSERT INTO %1 (Id, CodResp, Importo, ImportoBak, ResAnno1, ResAnno2) "
                               "VALUES (1, 0, -12, 1234.5, 1500.25, NULL)").arg(table));
    DataSet e("qEntrate", &cn), u("qUscite", &cn);
    Reassessment::defineQuery(e, Kind::Revenue);
    Reassessment::defineQuery(u, Kind::Expenditure);
    e.open();
    u.open();
    QCOMPARE(e.fieldByName("CodResp").displayText(), QString());
    QCOMPARE(u.fieldByName("CodResp").displayText(), QStringLiteral("0"));
    QCOMPARE(e.fieldByName("Importo").displayText(), QStringLiteral("-€ 12,00"));
    QCOMPARE(u.fieldByName("ImportoBak").displayText(), QStringLiteral("€ 1.234,50"));
    QCOMPARE(e.fieldByName("ResAnno1").displayText(), QStringLiteral("€ 1.500,25"));
    QCOMPARE(e.fieldByName("ResAnno1").editText(), QStringLiteral("1500,25"));
    QCOMPARE(e.fieldByName("ResAnno2").displayText(), QString());
    QCOMPARE(e.fieldByName("ImportoBak").editText(), QStringLiteral("1234,5"));
}

QTEST_GUILESS_MAIN(TestReassessment)
#include "tst_reassessment.moc"
