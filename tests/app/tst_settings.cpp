#include "TestStore.h"

#include "app/DataModule.h"
#include "app/SettingsFile.h"
#include "platform/AnsiCodec.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace ostrel;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void fileName_data();
    void fileName();
    void startupRule_data();
    void startupRule();
    void missingFileIsCreatedWithDefaults();
    void fileThatCannotBeReadNorCreated();
    void prefixRuleFiresButFileCannotBeRewritten();
    void binaryFileIsRefusedAndKept();
};

void TestSettings::fileName_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("ini");
    QTest::newRow("windows name") << "Ostrel.exe" << "Ostrel.ini";
    QTest::newRow("case of .EXE ignored, kept part keeps case") << "Ostrel.Exe" << "Ostrel.ini";
    QTest::newRow("upper case") << "OSTREL.EXE" << "OSTREL.ini";
    QTest::newRow("first .exe counts") << "a.exe.b.exe" << "a.ini";
    QTest::newRow("no .exe: whole name") << "Ostrel" << "Ostrel.ini";
    QTest::newRow("directory dropped") << "/usr/local/bin/Ostrel" << "Ostrel.ini";
    QTest::newRow("exe inside a word") << "dexes.exe" << "dexes.ini";
}

void TestSettings::fileName()
{
    QFETCH(QString, executable);
    QFETCH(QString, ini);
    QCOMPARE(SettingsFile::fileName(executable), ini);
}

void TestSettings::startupRule_data()
{
    QTest::addColumn<QByteArray>("content"); // %STORE% stands for the test store's path
    QTest::addColumn<QStringList>("linesAfter");
    QTest::addColumn<bool>("storeOpens");
    const QStringList defaults = {"LOCALHOST:1521", "KESTRA481307"};
    QTest::newRow("three good lines kept")
        << QByteArray("%STORE%\r\nSERVER:1522\r\nKESTRA000001\r\n")
        << QStringList{"%STORE%", "SERVER:1522", "KESTRA000001"} << true;
    QTest::newRow("prefix inside other text accepted")
        << QByteArray("%STORE%\r\nSERVER:1522\r\nxxKESTRA000001yy\r\n")
        << QStringList{"%STORE%", "SERVER:1522", "xxKESTRA000001yy"} << true;
    QTest::newRow("prefix in small letters resets lines 2 and 3")
        << QByteArray("%STORE%\r\nSERVER:1522\r\nkestra000001\r\n")
        << (QStringList{"%STORE%"} + defaults) << true;
    QTest::newRow("one line only") << QByteArray("%STORE%\r\n") << (QStringList{"%STORE%"} + defaults)
                                   << true;
    QTest::newRow("lines ending in LF only") << QByteArray("%STORE%\nS:1\nKESTRA1\n")
                                             << QStringList{"%STORE%", "S:1", "KESTRA1"} << true;
    QTest::newRow("fourth line ignored and kept")
        << QByteArray("%STORE%\r\nS:1\r\nKESTRA1\r\nmore\r\n")
        << QStringList{"%STORE%", "S:1", "KESTRA1", "more"} << true;
    QTest::newRow("empty file: no store") << QByteArray() << (QStringList{""} + defaults) << false;
}

void TestSettings::startupRule()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, linesAfter);
    QFETCH(bool, storeOpens);
    TestStore store;
    store.writeFile("Ostrel.ini", QByteArray(content).replace("%STORE%", store.storePath().toUtf8()));
    TdTabelle& tables = store.tables();
    linesAfter.replaceInStrings("%STORE%", store.storePath());
    QCOMPARE(Ansi::readLines(store.iniPath()), linesAfter);
    QCOMPARE(tables.DataSource, linesAfter[0]);
    QCOMPARE(tables.Host, linesAfter[1]);
    QCOMPARE(tables.CodIstat, linesAfter[2]);
    QCOMPARE(tables.tEntrate.isActive(), storeOpens);
    QCOMPARE(tables.tFondiVincoli.isActive(), storeOpens);
    QCOMPARE(store.boxes().shown().size(), storeOpens ? 0 : 1);
}

void TestSettings::missingFileIsCreatedWithDefaults()
{
    TestStore store; // the work folder holds dbOstrel.db, the default store
    QFile::remove(store.iniPath());
    TdTabelle& tables = store.tables();
    QCOMPARE(Ansi::readLines(store.iniPath()),
             (QStringList{store.storePath(), "LOCALHOST:1521", "KESTRA481307"}));
    QCOMPARE(tables.DataSource, store.storePath());
    QVERIFY(tables.tUscite.isActive());
    QVERIFY(store.boxes().shown().isEmpty());
}

void TestSettings::fileThatCannotBeReadNorCreated()
{
    TestStore store;
    TdTabelle tables("no-such-folder/Ostrel.ini");
    tables.DataModuleCreate();
    QCOMPARE(store.boxes().shown().size(), 1);
    QVERIFY(store.boxes().texts().first().contains("no-such-folder/Ostrel.ini"));
    QVERIFY(tables.DataSource.isEmpty());
    QVERIFY(tables.Host.isEmpty());
    QVERIFY(tables.CodIstat.isEmpty());
    QVERIFY(!tables.tEntrate.isActive());
}

void TestSettings::prefixRuleFiresButFileCannotBeRewritten()
{
    // A file that can be read but never written, even by root.
    const QString readOnly = "/proc/version";
    if (!QFile::exists(readOnly))
        QSKIP("needs /proc/version");
    TestStore store;
    TdTabelle tables(readOnly);
    tables.DataModuleCreate();
    QCOMPARE(store.boxes().shown().size(), 1);
    QVERIFY(tables.Host.isEmpty()); // as read: the file has one line
    QVERIFY(tables.CodIstat.isEmpty());
    QVERIFY(!tables.tEntrate.isActive());
}

void TestSettings::binaryFileIsRefusedAndKept()
{
    TestStore store;
    // The store path followed by a NUL: cut there, it would name the real store.
    const QByteArray content = store.storePath().toUtf8() + QByteArray("\0\x01\xff\r\nS:1\r\nX\r\n", 11);
    store.writeFile("Ostrel.ini", content);
    TdTabelle& tables = store.tables();
    QCOMPARE(store.boxes().shown().size(), 1);
    QVERIFY2(store.boxes().texts().first().contains("contiene caratteri che un file di testo non contiene"),
             qPrintable(store.boxes().texts().first()));
    QVERIFY(!tables.tEntrate.isActive());
    QFile file(store.iniPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
