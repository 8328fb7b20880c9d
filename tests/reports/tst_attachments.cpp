#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/Errors.h"
#include "reports/Attachments.h"

#include <QTest>

using namespace ostrel;

class TestAttachments : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void all51Columns_data();
    void all51Columns();
    void all52Columns();
    void garaSplitsTheReimputedTotal();
    void derived51_data();
    void derived51();
    void derived52_data();
    void derived52();
    void fundEntryStoresAndRecomputes();
    void setFundsRefusesUnknownNamesAndBadNumbers();

private:
    std::unique_ptr<TestStore> m_store;
};

void TestAttachments::init()
{
    m_store = std::make_unique<TestStore>();
    LocalStore& db = m_store->tables().cnOstrel;
    const QString u = "INSERT INTO tUscite (Id, UEB, Gara, ResAnno1, ResAnno2, ResAnno3, ResOltre, "
                      "AvLibero, AvDestinato) VALUES ";
    db.exec(u + "(1, '1010100', 0, 10.0, 20.0, 30.0, 40.0, 3.0, NULL)"); // PC
    db.exec(u + "(2, '3010503', 0, 1.0, NULL, NULL, NULL, NULL, NULL)"); // PC: title 3 ending 03
    db.exec(u + "(3, '3010501', 0, 1000.0, NULL, NULL, NULL, NULL, NULL)"); // no group
    db.exec(u + "(4, '2010100', 0, 5.0, NULL, NULL, 7.0, NULL, NULL)"); // CC
    db.exec(u + "(5, '1020100', 1, 100.0, 200.0, 300.0, 400.0, NULL, NULL)"); // PC, Gara
    db.exec(u + "(6, '4000005', 0, 9999.0, NULL, NULL, NULL, NULL, 2.0)"); // title 4: no group
    db.exec(u + "(7, '', 0, 8888.0, NULL, NULL, NULL, NULL, NULL)"); // empty UEB
    const QString e = "INSERT INTO tEntrate (Id, UEB, ResEliminato, ResAnno1, ResAnno2, ResAnno3, "
                      "ResOltre) VALUES ";
    db.exec(e + "(1, '1010100', 5.0, 1.0, 2.0, 3.0, 4.0)"); // PC
    db.exec(e + "(2, '5010100', NULL, 500.0, NULL, NULL, NULL)"); // 5.01: no group
    db.exec(e + "(3, '4990100', NULL, NULL, NULL, NULL, NULL)"); // CC, empty amounts
    db.exec(e + "(4, '5030100', NULL, NULL, 50.0, NULL, NULL)"); // CC: 5.03
}

void TestAttachments::cleanup()
{
    m_store.reset();
}

void TestAttachments::all51Columns_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    const QVariant null;
    const QList<std::pair<const char*, QVariant>> expected = {
        {"PC_1", 101.0}, {"CC_1", 12.0},  {"PC_a", 1000.0}, {"CC_a", null},
        {"PC_2", 10.0},  {"CC_2", 50.0},  {"PC_4", 11.0},   {"CC_4", 5.0},
        {"PC_b", 100.0}, {"CC_b", null},  {"PC_5", 1.0},    {"CC_5", 0.0},
        {"PC_9", 20.0},  {"CC_9", 0.0},   {"PC_c", 200.0},  {"CC_c", null},
        {"PC_10", 2.0},  {"CC_10", 50.0}, {"PC_14", 30.0},  {"CC_14", 0.0},
        {"PC_d", 300.0}, {"CC_d", null},  {"PC_15", 3.0},   {"CC_15", 0.0},
        {"PC_EE_Oltre", 4.0}, {"CC_EE_Oltre", 0.0}, {"PC_UU_Oltre", 40.0}, {"CC_UU_Oltre", 7.0}};
    for (const auto& [column, value] : expected)
        QTest::newRow(column) << QString(column) << value;
}

void TestAttachments::all51Columns()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    Attachments a(&m_store->tables().cnOstrel);
    a.FormShow();
    QCOMPARE(a.qAll51.recordCount(), 1);
    QCOMPARE(a.qAll51.fieldByName(column).value(), value);
}

void TestAttachments::all52Columns()
{
    Attachments a(&m_store->tables().cnOstrel);
    a.FormShow();
    QCOMPARE(a.qAll52.recordCount(), 1);
    QCOMPARE(a.qAll52.fieldByName("Punto_b").value(), QVariant(5.0));
    QCOMPARE(a.qAll52.fieldByName("Punto_c").value(), QVariant(5.0)); // title 4 counts here
    QCOMPARE(a.qAll52.fieldByName("Punto_d").value(), QVariant(560.0));
    QCOMPARE(a.qAll52.fieldByName("Punto_e").value(), QVariant(20000.0));
    QCOMPARE(a.qAll52.fieldByName("Punto_f").value(), QVariant(1000.0));
    // No row in tFondiVincoli: its nine columns are empty.
    for (const QString& name : Attachments::fundColumns())
        QVERIFY2(a.qAll52.fieldByName(name).isNull(), qPrintable(name));
    QStringList exposed;
    for (const auto& c : a.frxDBAll51().read().columns)
        exposed.append(c.name);
    QCOMPARE(exposed, Attachments::frxDBAll51Names());
}

void TestAttachments::garaSplitsTheReimputedTotal()
{
    Attachments a(&m_store->tables().cnOstrel);
    a.FormShow();
    const double all = m_store->scalar("SELECT Sum(IFNULL(ResAnno1,0) + IFNULL(ResAnno2,0) + "
                                       "IFNULL(ResAnno3,0) + IFNULL(ResOltre,0)) FROM tUscite")
                           .toDouble();
    QCOMPARE(a.qAll52.fieldByName("Punto_e").asFloat() + a.qAll52.fieldByName("Punto_f").asFloat(),
             all);
}

void TestAttachments::derived51_data()
{
    QTest::addColumn<QVariantMap>("columns");
    QTest::addColumn<QVariantMap>("expected");
    QTest::newRow("empty columns count as 0")
        << QVariantMap{}
        << QVariantMap{{"PC_3", 0.0}, {"PC_7", 0.0}, {"CC_20", 0.0}};
    QTest::newRow("the fund runs down to zero")
        << QVariantMap{{"PC_1", 100.0}, {"PC_a", 50.0}, {"PC_2", 30.0}, {"PC_4", 40.0},
                       {"PC_b", 20.0}, {"PC_5", 10.0}, {"PC_9", 30.0}, {"PC_10", 5.0},
                       {"PC_14", 20.0}, {"PC_d", 30.0}, {"PC_15", 5.0}, {"PC_UU_Oltre", 10.0},
                       {"PC_EE_Oltre", 10.0}}
        << QVariantMap{{"PC_3", 120.0}, {"PC_6", 50.0},  {"PC_7", 70.0},  {"PC_8", 70.0},
                       {"PC_11", 25.0}, {"PC_12", 45.0}, {"PC_13", 45.0}, {"PC_16", 45.0},
                       {"PC_17", 0.0},  {"PC_20", 0.0},  {"CC_3", 0.0}};
    QTest::newRow("revenues above expenditures: (3) is cut at zero, (20) shows it")
        << QVariantMap{{"CC_1", 10.0}, {"CC_2", 40.0}, {"CC_EE_Oltre", 40.0}}
        << QVariantMap{{"CC_3", 0.0}, {"CC_17", 0.0}, {"CC_20", 40.0}};
}

void TestAttachments::derived51()
{
    QFETCH(QVariantMap, columns);
    QFETCH(QVariantMap, expected);
    QHash<QString, QVariant> in;
    for (auto it = columns.begin(); it != columns.end(); ++it)
        in.insert(it.key(), it.value());
    const Attachments::Figures figures = Attachments::derive51(in);
    QCOMPARE(figures.size(), 20);
    QCOMPARE(figures.front().first, QString("PC_3"));
    QCOMPARE(figures.back().first, QString("CC_20"));
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const auto found = std::find_if(figures.begin(), figures.end(),
                                        [&](const auto& f) { return f.first == it.key(); });
        QVERIFY2(found != figures.end(), qPrintable(it.key()));
        QCOMPARE(found->second, it.value().toDouble());
    }
}

void TestAttachments::derived52_data()
{
    QTest::addColumn<QVariantMap>("columns");
    QTest::addColumn<QList<double>>("ghiln");
    QTest::addColumn<bool>("negative");
    QTest::newRow("all empty") << QVariantMap{} << QList<double>{0, 0, 0, 0, 0} << false;
    QTest::newRow("a positive available part")
        << QVariantMap{{"Punto_a", 1000.0}, {"Punto_b", 100.0}, {"Punto_c", 50.0},
                       {"Punto_d", 200.0}, {"Punto_e", 300.0}, {"Punto_f", 100.0},
                       {"FondoCredito", 100.0}, {"FondoAl", 50.0}, {"VincoloLeggi", 10.0},
                       {"VincoloTrasf", 20.0}, {"VincoloMutui", 30.0}, {"VincoloEnte", 40.0},
                       {"VincoloAltro", 50.0}, {"Punto_m", 100.0}}
        << QList<double>{200, 950, 150, 150, 550} << false;
    QTest::newRow("revenues above expenditures: no fund, a deficit")
        << QVariantMap{{"Punto_a", 10.0}, {"Punto_d", 500.0}, {"Punto_e", 100.0}}
        << QList<double>{0, -390, 0, 0, -390} << true;
}

void TestAttachments::derived52()
{
    QFETCH(QVariantMap, columns);
    QFETCH(QList<double>, ghiln);
    QFETCH(bool, negative);
    QHash<QString, QVariant> in;
    for (auto it = columns.begin(); it != columns.end(); ++it)
        in.insert(it.key(), it.value());
    const Attachments::Figures figures = Attachments::derive52(in);
    const QStringList names{"Punto_g", "Punto_h", "Punto_i", "Punto_l", "Punto_n"};
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(figures[i].first, names[i]);
        QCOMPARE(figures[i].second, ghiln[i]);
    }
    QCOMPARE(Attachments::isNegative(figures.back().second), negative);
}

void TestAttachments::fundEntryStoresAndRecomputes()
{
    TdTabelle& t = m_store->tables();
    Attachments a(&t.cnOstrel);
    a.FormShow();
    // Left without typing: nothing is recomputed.
    t.cnOstrel.exec("INSERT INTO tFondiVincoli (FondoAl) VALUES (1.0)");
    a.DBEditRev1Exit(t.tFondiVincoli);
    QVERIFY(a.qAll52.fieldByName("FondoAl").isNull());
    t.cnOstrel.exec("DELETE FROM tFondiVincoli");
    t.tFondiVincoli.close();
    t.tFondiVincoli.open();

    // The first value typed creates the row.
    t.tFondiVincoli.append();
    t.tFondiVincoli.fieldByName("FondoAl").setAsString("1234,5");
    a.DBEditRev1Exit(t.tFondiVincoli);
    QCOMPARE(a.qAll52.fieldByName("FondoAl").value(), QVariant(1234.5));
    QCOMPARE(m_store->scalar("SELECT COUNT(*) FROM tFondiVincoli").toInt(), 1);

    storeFunds(t.tFondiVincoli, {{"Punto_a", "100,25"}, {"fondoal", ""}});
    QCOMPARE(m_store->scalar("SELECT COUNT(*) FROM tFondiVincoli").toInt(), 1);
    QCOMPARE(m_store->scalar("SELECT Punto_a FROM tFondiVincoli").toDouble(), 100.25);
    QVERIFY(m_store->scalar("SELECT FondoAl FROM tFondiVincoli").isNull());
}

void TestAttachments::setFundsRefusesUnknownNamesAndBadNumbers()
{
    TdTabelle& t = m_store->tables();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, storeFunds(t.tFondiVincoli, {{"Importo", "1"}}));
    QVERIFY_THROWS_EXCEPTION(EConvertError,
                             storeFunds(t.tFondiVincoli, {{"Punto_a", "1"}, {"Punto_m", "1.234,5"}}));
    QCOMPARE(m_store->scalar("SELECT COUNT(*) FROM tFondiVincoli").toInt(), 0);
    QVERIFY(!t.tFondiVincoli.isEditing());
}

QTEST_GUILESS_MAIN(TestAttachments)
#include "tst_attachments.moc"
