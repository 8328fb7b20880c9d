#include "TestStore.h"

#include "app/DataModule.h"
#include "app/StoreSchema.h"
#include "platform/Errors.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace ostrel;

class TestDataModule : public QObject {
    Q_OBJECT
private slots:
    void leggeCampo_data();
    void leggeCampo();
    void cerca_data();
    void cerca();
    void cercaRiga_data();
    void cercaRiga();
    void idsFromLastId();
    void changedRowKeepsItsId();
    void fundsRowHasNoId();
    void capUpgradeRebuildsTextColumn();
    void capUpgradeRefusedKeepsEverything();
    void capUpgradeLeavesIntegerColumnAlone();
    void unusableStore_data();
    void unusableStore();
    void createStoreRefusesExistingFile();
    void storeColumnsEnforceJetTypes_data();
    void storeColumnsEnforceJetTypes();
};

void TestDataModule::leggeCampo_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("num");
    QTest::addColumn<QString>("field");
    const QString sample = "|A||B |C";
    QTest::newRow("first after leading separator") << sample << 1 << "A";
    QTest::newRow("doubled separator is one") << sample << 2 << "B";
    QTest::newRow("last field") << sample << 3 << "C";
    QTest::newRow("past the end is empty") << sample << 4 << "";
    QTest::newRow("no separator: the line is field 1") << "abc" << 1 << "abc";
    QTest::newRow("blanks and controls trimmed") << "|\t x y \x01|z" << 1 << "x y";
    QTest::newRow("blank field counts") << "|a| |b" << 3 << "b";
    QTest::newRow("empty line") << "" << 2 << "";
}

void TestDataModule::leggeCampo()
{
    QFETCH(QString, line);
    QFETCH(int, num);
    QFETCH(QString, field);
    QCOMPARE(TdTabelle::LeggeCampo(line, num), field);
}

void TestDataModule::cerca_data()
{
    QTest::addColumn<QString>("sub");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("index");
    const QStringList search = {"SELECT * FROM tEntrate", "WHERE", "  Numero like \"%\"", "ORDER BY",
                                "  Anno, Numero"};
    QTest::newRow("ORDER BY") << "ORDER BY" << search << 3;
    QTest::newRow("WHERE") << "WHERE" << search << 1;
    QTest::newRow("case matters") << "order by" << search << -1;
    QTest::newRow("substring") << "Numero" << search << 2;
    QTest::newRow("empty list") << "WHERE" << QStringList{} << -1;
}

void TestDataModule::cerca()
{
    QFETCH(QString, sub);
    QFETCH(QStringList, lines);
    QFETCH(int, index);
    QCOMPARE(TdTabelle::Cerca(sub, lines), index);
}

void TestDataModule::cercaRiga_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("index");
    const QStringList typed = {"SELECT * FROM tEntrate", "WHERE", "  Descrizione like '%ORDER BY%'",
                               "ORDER BY", "  Anno, Numero"};
    QTest::newRow("a filter holding the keyword is not its line") << "ORDER BY" << typed << 3;
    QTest::newRow("blanks around the keyword") << "WHERE" << QStringList{"x", "  WHERE "} << 1;
    QTest::newRow("case matters") << "order by" << typed << -1;
    QTest::newRow("missing") << "WHERE" << QStringList{"SELECT 1"} << -1;
}

void TestDataModule::cercaRiga()
{
    QFETCH(QString, line);
    QFETCH(QStringList, lines);
    QFETCH(int, index);
    QCOMPARE(TdTabelle::CercaRiga(line, lines), index);
}

void TestDataModule::idsFromLastId()
{
    TestStore store;
    TdTabelle& t = store.tables();
    QCOMPARE(t.LastId(t.tEntrate), 0);
    for (int i = 0; i < 3; ++i) {
        t.tEntrate.append();
        t.tEntrate.fieldByName("Numero").setAsString(QString::number(i));
        t.tEntrate.post();
    }
    QCOMPARE(store.scalar("SELECT group_concat(Id) FROM tEntrate").toString(), QStringLiteral("1,2,3"));
    t.cnOstrel.exec("DELETE FROM tEntrate WHERE Id >= 2");
    t.tEntrate.append();
    t.tEntrate.post();
    QCOMPARE(t.tEntrate.fieldByName("Id").asInteger(), 2);
    QCOMPARE(t.LastId(t.tUscite), 0); // each table has its own ids
}

void TestDataModule::changedRowKeepsItsId()
{
    TestStore store;
    TdTabelle& t = store.tables();
    t.cnOstrel.exec("INSERT INTO tUscite (Id, Numero) VALUES (7, 'A')");
    t.tUscite.close();
    t.tUscite.open();
    t.tUscite.edit();
    t.tUscite.fieldByName("Numero").setAsString("B");
    t.tUscite.post();
    QCOMPARE(store.scalar("SELECT Id FROM tUscite WHERE Numero = 'B'").toInt(), 7);
}

void TestDataModule::fundsRowHasNoId()
{
    TestStore store;
    TdTabelle& t = store.tables();
    QVERIFY(!t.tFondiVincoli.findField("Id"));
    t.tFondiVincoli.append();
    t.tFondiVincoli.fieldByName("FondoAl").setAsString("1000,5");
    t.tFondiVincoli.post();
    t.tFondiVincoli.edit();
    t.tFondiVincoli.fieldByName("Punto_a").setAsString("20");
    t.tFondiVincoli.post();
    QCOMPARE(store.scalar("SELECT COUNT(*) FROM tFondiVincoli").toInt(), 1);
    QCOMPARE(store.scalar("SELECT FondoAl + Punto_a FROM tFondiVincoli").toDouble(), 1020.5);
}

namespace {

// A store whose tEntrate declares Cap as TEXT, as an older file may.
void makeTextCapStore(TestStore& store, const QString& capValue)
{
    QFile::remove(store.storePath());
    QString create = StoreSchema::createStatement("tEntrate");
    const qsizetype start = create.indexOf("    Cap INTEGER");
    const qsizetype end = create.indexOf("    Art SMALLINT");
    create.replace(start, end - start, "    Cap TEXT,\n");
    const QString name = "legacy";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(store.storePath());
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(create));
        QVERIFY(q.exec(StoreSchema::createStatement("tUscite")));
        QVERIFY(q.exec(StoreSchema::createStatement("tFondiVincoli")));
        QVERIFY(q.exec("INSERT INTO tEntrate (Id, Cap, Numero, Importo) VALUES (1, '1020', 'A', 5.5), "
                       "(2, '" + capValue + "', 'B', NULL)"));
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

void TestDataModule::capUpgradeRebuildsTextColumn()
{
    TestStore store;
    makeTextCapStore(store, "33");
    TdTabelle& t = store.tables();
    QVERIFY2(store.boxes().shown().isEmpty(), qPrintable(store.boxes().texts().join("\n")));
    QVERIFY(t.tEntrate.isActive());
    QCOMPARE(store.scalar("SELECT type FROM pragma_table_info('tEntrate') WHERE name = 'Cap'").toString(),
             QStringLiteral("INTEGER"));
    QCOMPARE(store.scalar("SELECT group_concat(Id || ':' || typeof(Cap) || Cap || Numero || "
                          "IFNULL(Importo, '-'), ' ') FROM tEntrate")
                 .toString(),
             QStringLiteral("1:integer1020A5.5 2:integer33B-"));
}

void TestDataModule::capUpgradeRefusedKeepsEverything()
{
    TestStore store;
    makeTextCapStore(store, "centoventi");
    TdTabelle& t = store.tables();
    QCOMPARE(store.boxes().shown().size(), 1);
    QVERIFY(!t.tEntrate.isActive());
    QCOMPARE(store.scalar("SELECT type FROM pragma_table_info('tEntrate') WHERE name = 'Cap'").toString(),
             QStringLiteral("TEXT"));
    QCOMPARE(store.scalar("SELECT COUNT(*) FROM tEntrate").toInt(), 2);
}

void TestDataModule::capUpgradeLeavesIntegerColumnAlone()
{
    TestStore store;
    const QString before = store.scalar("SELECT group_concat(sql) FROM sqlite_master").toString();
    store.tables();
    store.restart();
    QCOMPARE(store.scalar("SELECT group_concat(sql) FROM sqlite_master").toString(), before);
}

void TestDataModule::unusableStore_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray() << "non esiste";
    QTest::newRow("Jet file") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20)
                              << "Microsoft Access (Jet)";
    QTest::newRow("text file") << QByteArray("hello, this is not a store") << "non è un database SQLite";
    QTest::newRow("database without tables") << QByteArray("-") << "manca la tabella tEntrate";
    QTest::newRow("table missing") << QByteArray("DROP TABLE tFondiVincoli") << "manca la tabella tFondiVincoli";
    QTest::newRow("columns missing")
        << QByteArray("ALTER TABLE tUscite DROP COLUMN Gara; ALTER TABLE tUscite DROP COLUMN FlCop2")
        << "mancano le colonne FlCop2, Gara: l'archivio non è di questa versione";
    QTest::newRow("one column missing") << QByteArray("ALTER TABLE tEntrate DROP COLUMN Causale3")
                                        << "manca la colonna Causale3:";
}

void TestDataModule::unusableStore()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TestStore store;
    // Statements damage the test's good store instead of replacing its bytes.
    const bool damage = bytes.startsWith("DROP") || bytes.startsWith("ALTER");
    if (damage) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "damage");
        db.setDatabaseName(store.storePath());
        QVERIFY(db.open());
        for (const QByteArray& statement : bytes.split(';'))
            QVERIFY2(QSqlQuery(db).exec(QString::fromUtf8(statement)), statement.constData());
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("damage");
    } else {
        QFile::remove(store.storePath());
        if (bytes == "-")
            store.writeFile("dbOstrel.db", QByteArray());
        else if (!bytes.isEmpty())
            store.writeFile("dbOstrel.db", bytes);
    }
    TdTabelle& t = store.tables();
    QCOMPARE(store.boxes().shown().size(), 1);
    QVERIFY2(store.boxes().texts().first().contains(message), qPrintable(store.boxes().texts().first()));
    QVERIFY(!t.tEntrate.isActive());
    QVERIFY(!t.tFondiVincoli.isActive());
    if (bytes.isEmpty())
        QVERIFY(!QFile::exists(store.storePath())); // never created by the program
}

void TestDataModule::createStoreRefusesExistingFile()
{
    TestStore store;
    QVERIFY_THROWS_EXCEPTION(EInOutError, StoreSchema::createStore(store.storePath()));
    QCOMPARE(QFile(store.storePath()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
             QFile::Permissions());
}

void TestDataModule::storeColumnsEnforceJetTypes_data()
{
    QTest::addColumn<QString>("insert");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("int2 in range") << "INSERT INTO tEntrate (Id, Sub) VALUES (1, 32767)" << true;
    QTest::newRow("int2 out of range") << "INSERT INTO tEntrate (Id, Sub) VALUES (1, 32768)" << false;
    QTest::newRow("int4 out of range") << "INSERT INTO tEntrate (Id, Cap) VALUES (1, 2147483648)" << false;
    QTest::newRow("text too long") << "INSERT INTO tEntrate (Id, UEB) VALUES (1, '12345678')" << false;
    QTest::newRow("text in a real") << "INSERT INTO tEntrate (Id, Importo) VALUES (1, '1,5')" << false;
    QTest::newRow("flag defaults to 0") << "INSERT INTO tUscite (Id) VALUES (1)" << true;
    QTest::newRow("flag 2 refused") << "INSERT INTO tUscite (Id, Gara) VALUES (1, 2)" << false;
    QTest::newRow("flag null refused") << "INSERT INTO tUscite (Id, FlCop1) VALUES (1, NULL)" << false;
}

void TestDataModule::storeColumnsEnforceJetTypes()
{
    QFETCH(QString, insert);
    QFETCH(bool, accepted);
    TestStore store;
    bool ok = true;
    try {
        store.tables().cnOstrel.exec(insert);
    } catch (const EDatabaseError&) {
        ok = false;
    }
    QCOMPARE(ok, accepted);
}

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"
