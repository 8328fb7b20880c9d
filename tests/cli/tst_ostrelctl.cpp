#include "TestStore.h"

#include "app/SettingsFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace ostrel;

class TestOstrelctl : public QObject {
    Q_OBJECT
private slots:
    void createStoreRefusesToOverwrite();
    void importPrintsRowsPerTable();
    void importFailsWithoutFiles();
    void accountingStatus();
    void demoFilesAreDeterministic();
    void unknownCommandShowsUsage();
    void setFundsAndReportJson();

private:
    struct Result {
        int status;
        QString out;
        QString err;
    };
    static Result run(const QStringList& args);
};

TestOstrelctl::Result TestOstrelctl::run(const QStringList& args)
{
    QProcess process;
    process.start(OSTRELCTL, args);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void TestOstrelctl::createStoreRefusesToOverwrite()
{
    TestStore store;
    const QString path = store.path("nuovo.db");
    QCOMPARE(run({"create-store", path}).status, 0);
    QVERIFY(QFile::exists(path));
    const Result again = run({"create-store", path});
    QCOMPARE(again.status, 1);
    QVERIFY2(again.err.contains("esiste già"), qPrintable(again.err));
}

void TestOstrelctl::importPrintsRowsPerTable()
{
    TestStore store;
    QCOMPARE(run({"demo-files", store.path(""), "--lines", "25"}).status, 0);
    const Result result = run({"import"});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QStringLiteral("tEntrate: 25 righe importate\ntUscite: 25 righe importate\n"));
    QCOMPARE(store.scalar("SELECT COUNT(*) FROM tUscite").toInt(), 25);
}

void TestOstrelctl::importFailsWithoutFiles()
{
    TestStore store;
    const Result result = run({"--ini", store.iniPath(), "import"});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains("tabella tEntrate"), qPrintable(result.err));
}

void TestOstrelctl::accountingStatus()
{
    TestStore store;
    SettingsFile::write(store.iniPath(), store.storePath(), " ", "KESTRA481307");
    Result result = run({"accounting-status"});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.out.trimmed(), QStringLiteral("KESTRA NON CONNESSA"));

    const QString host = qEnvironmentVariable("OSTREL_TEST_ACCOUNTING_HOST");
    if (host.isEmpty())
        QSKIP("no accounting server (run scripts/test)");
    if (qEnvironmentVariableIsEmpty("OSTREL_ACCOUNTING_DRIVER"))
        qputenv("OSTREL_ACCOUNTING_DRIVER", "QPSQL");
    SettingsFile::write(store.iniPath(), store.storePath(), host, "KESTRA481307");
    result = run({"accounting-status"});
    QCOMPARE(result.out.trimmed(), QStringLiteral("KESTRA CONNESSA"));
    QCOMPARE(result.status, 0);
}

void TestOstrelctl::demoFilesAreDeterministic()
{
    TestStore store;
    auto digest = [&](const QString& folder) {
        run({"demo-files", store.path(folder), "--lines", "300", "--seed", "7"});
        QFile file(store.path(folder + "/97RIAU14.TXT"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    };
    const QByteArray a = digest("a");
    QCOMPARE(digest("b"), a);
    QCOMPARE(a.count("\r\n"), 300);
    QVERIFY(a.contains("citt\xe0") || a.contains("attivit\xe0")); // Windows-1252, not UTF-8
    QVERIFY(a.contains("| |"));                                    // residues without description
    QVERIFY(a.contains("D'ANGELO"));
}

void TestOstrelctl::unknownCommandShowsUsage()
{
    const Result result = run({"frobnicate"});
    QCOMPARE(result.status, 1);
    QVERIFY(result.err.contains("Uso: ostrelctl"));
}

void TestOstrelctl::setFundsAndReportJson()
{
    TestStore store;
    QCOMPARE(run({"set-funds", "Punto_a=1234,5", "FondoAl=10"}).status, 0);
    QCOMPARE(run({"set-funds", "Nonesiste=1"}).status, 1);
    QCOMPARE(run({"report", "all52", "--out", store.path("a.json")}).status, 0);
    QFile file(store.path("a.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    const QJsonObject row = doc["datasets"]["frxDBAll52"][0].toObject();
    QCOMPARE(row["Punto_a"].toDouble(), 1234.5);
    QCOMPARE(row["Punto_b"].type(), QJsonValue::Null);
    QCOMPARE(doc["datasets"]["Calcoli52"][0]["Punto_h"].toDouble(), 1234.5);

    const Result detail = run({"report", "detail", "--kind", "U", "--amounts", "without",
                               "--out", store.path("d.json")});
    QCOMPARE(detail.status, 0);
    QFile listing(store.path("d.json"));
    QVERIFY(listing.open(QIODevice::ReadOnly));
    const QJsonDocument d = QJsonDocument::fromJson(listing.readAll());
    QCOMPARE(d["variables"]["titolo"].toString(),
             QString("STAMPA DETTAGLIO USCITE - SENZA ELIMINATI"));
    QVERIFY(d["datasets"]["frxDBDettaglioU"].isArray());
    QCOMPARE(run({"report", "detail", "--out", store.path("d.txt")}).status, 1);
    QCOMPARE(run({"report", "detail", "--order", "other", "--out", store.path("d.pdf")}).status, 1);
}

QTEST_GUILESS_MAIN(TestOstrelctl)
#include "tst_ostrelctl.moc"
