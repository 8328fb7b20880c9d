#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/AccountingSession.h"
#include "platform/Errors.h"

#include <QTcpServer>

#include <QTest>

using namespace ostrel;

// Needs the throwaway accounting server: OSTREL_TEST_ACCOUNTING_HOST holds its
// "127.0.0.1:PORT" (scripts/test sets it).
class TestAccounting : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensWithConfiguredUser();
    void blankHostDoesNotTry();
    void wrongPasswordGivesFalse();
    void calledWhileOpenReopens();
    void unreachableServerGivesFalse();
    void failureSaysWhyWithoutTheSecret_data();
    void failureSaysWhyWithoutTheSecret();

private:
    QString m_host;
};

void TestAccounting::initTestCase()
{
    m_host = qEnvironmentVariable("OSTREL_TEST_ACCOUNTING_HOST");
    if (m_host.isEmpty())
        QSKIP("no accounting server (run scripts/test)");
    if (qEnvironmentVariableIsEmpty("OSTREL_ACCOUNTING_DRIVER"))
        qputenv("OSTREL_ACCOUNTING_DRIVER", "QPSQL");
}

void TestAccounting::opensWithConfiguredUser()
{
    TestStore store;
    TdTabelle& t = store.tables();
    QVERIFY(t.ApriKestra(m_host));
    QVERIFY(t.acKestra.isConnected());
    QCOMPARE(t.acKestra.username(), QStringLiteral("KESTRA481307"));
    QCOMPARE(t.acKestra.queryValue("SELECT NVL(MAX(idacc), 0) + 1 FROM cfaccertamenti"),
             QStringLiteral("1"));
}

void TestAccounting::blankHostDoesNotTry()
{
    TestStore store;
    TdTabelle& t = store.tables();
    QVERIFY(!t.ApriKestra("   "));
    QVERIFY(!t.acKestra.isConnected());
    QCOMPARE(t.acKestra.server(), QStringLiteral("   "));
    QCOMPARE(t.acKestra.username(), QStringLiteral("KESTRA481307"));
    t.CodIstat.clear();
    QVERIFY(!t.ApriKestra(m_host));
    QVERIFY(store.boxes().shown().isEmpty());
}

void TestAccounting::wrongPasswordGivesFalse()
{
    TestStore store;
    TdTabelle& t = store.tables();
    t.CodIstat = "ZARN"; // exists, but its password is not its name
    QVERIFY(!t.ApriKestra(m_host));
    QVERIFY(!t.acKestra.isConnected());
    QVERIFY(store.boxes().shown().isEmpty());
}

void TestAccounting::calledWhileOpenReopens()
{
    TestStore store;
    TdTabelle& t = store.tables();
    QVERIFY(t.ApriKestra(m_host));
    t.acKestra.execute("INSERT INTO cfaccertamenti (idacc, eser, numacc) VALUES (9999, 2016, 1)");
    QCOMPARE(t.acKestra.queryValue("SELECT COUNT(*) FROM cfaccertamenti"), QStringLiteral("1"));
    QVERIFY(t.ApriKestra(m_host));
    // Closing first dropped the uncommitted row.
    QCOMPARE(t.acKestra.queryValue("SELECT COUNT(*) FROM cfaccertamenti"), QStringLiteral("0"));
}

void TestAccounting::unreachableServerGivesFalse()
{
    TestStore store;
    TdTabelle& t = store.tables();
    QVERIFY(!t.ApriKestra("127.0.0.1:1"));
    QVERIFY(!t.acKestra.isConnected());
}

void TestAccounting::failureSaysWhyWithoutTheSecret_data()
{
    QTest::addColumn<QString>("server"); // %HOST% is the test server, %SILENT% one that never answers
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing listening") << "127.0.0.1:1" << "KESTRA481307" << "il server non accetta connessioni";
    QTest::newRow("never answers") << "%SILENT%" << "KESTRA481307" << "il server non ha risposto in tempo";
    QTest::newRow("unknown installation") << "%HOST%" << "KESTRA999999" << "utente o password non accettati";
}

void TestAccounting::failureSaysWhyWithoutTheSecret()
{
    QFETCH(QString, server);
    QFETCH(QString, user);
    QFETCH(QString, message);
    QTcpServer silent; // accepts connections in the kernel and never says a word
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    server.replace("%HOST%", m_host).replace("%SILENT%", "127.0.0.1:" + QString::number(silent.serverPort()));
    AccountingSession session("failing");
    session.setServer(server);
    session.setUsername(user);
    session.setPassword(user);
    try {
        session.open();
        QFAIL("connected");
    } catch (const EDatabaseError& e) {
        QVERIFY2(e.message().startsWith("Impossibile connettersi alla banca dati di Kestra su " + server + ": "
                                        + message),
                 qPrintable(e.message()));
        QVERIFY2(!e.message().contains(user), qPrintable(e.message()));
    }
    QVERIFY(!session.isConnected());
}

QTEST_GUILESS_MAIN(TestAccounting)
#include "tst_accounting.moc"
