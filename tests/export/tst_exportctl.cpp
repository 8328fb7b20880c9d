#include "TestLedger.h"
#include "TestStore.h"

#include "app/DataModule.h"
#include "app/SettingsFile.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace ostrel;

class TestExportCtl : public QObject {
    Q_OBJECT
private slots:
    void exportDbRefusesWithoutFinalAnswer_data();
    void exportDbRefusesWithoutFinalAnswer();
    void exportTextWritesBothFiles();
    void exportDbPrintsWhatItCreated_data();
    void exportDbPrintsWhatItCreated();

private:
    struct Result {
        int status;
        QString out;
        QString err;
    };
    static Result run(const QStringList& args)
    {
        QProcess process;
        process.start(OSTRELCTL, args);
        process.waitForFinished(120000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
};

void TestExportCtl::exportDbRefusesWithoutFinalAnswer_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no flag") << QStringList{"export-db"};
    QTest::newRow("unknown flag") << QStringList{"export-db", "--yes"};
    QTest::newRow("both flags") << QStringList{"export-db", "--commit", "--rollback"};
}

void TestExportCtl::exportDbRefusesWithoutFinalAnswer()
{
    QFETCH(QStringList, args);
    TestStore store;
    const Result result = run(args);
    QCOMPARE(result.status, 1);
    QVERIFY(result.err.contains("Uso: ostrelctl"));
}

void TestExportCtl::exportTextWritesBothFiles()
{
    TestStore store;
    store.tables().cnOstrel.exec("INSERT INTO tEntrate (Id, Numero, Anno) VALUES (1, '1', 2012)");
    const Result result = run({"export-text"});
    QCOMPARE(result.status, 0);
    QVERIFY2(result.err.contains("-> Si\n-> Kemo: Esportazione terminata."), qPrintable(result.err));
    QCOMPARE(QFileInfo(store.path("entrate.txt")).size(), 370);
    QCOMPARE(QFileInfo(store.path("uscite.txt")).size(), 0);
}

void TestExportCtl::exportDbPrintsWhatItCreated_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("kept");
    QTest::newRow("rollback") << "--rollback" << "Annullato: nulla è stato scritto.\n" << 0;
    QTest::newRow("commit") << "--commit" << "Confermato.\n" << 1;
}

void TestExportCtl::exportDbPrintsWhatItCreated()
{
    QFETCH(QString, flag);
    QFETCH(QString, ending);
    QFETCH(int, kept);
    const QString host = qEnvironmentVariable("OSTREL_TEST_ACCOUNTING_HOST");
    if (host.isEmpty())
        QSKIP("no accounting server (run scripts/test)");
    TestStore store;
    SettingsFile::write(store.iniPath(), store.storePath(), host, "KESTRA481308");
    store.tables().cnOstrel.exec("INSERT INTO tEntrate (Id, Numero, Anno, Cap, Art, Descrizione, ResAnno2) "
                                 "VALUES (1, '123', 2012, 410, 2, 'Canoni', 250.75)");
    {
        QSqlDatabase db = addTestLedger("ledger", host, "KESTRA481308");
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("INSERT INTO cfcapitolipeg (idcapitolo, eser, app, cap, art, flcopfplur) VALUES "
                       "(9, 2012, 'E', 410, 2, 'N')"));
        if (qEnvironmentVariableIsEmpty("OSTREL_ACCOUNTING_DRIVER"))
            qputenv("OSTREL_ACCOUNTING_DRIVER", "QPSQL");
        const Result result = run({"export-db", flag});
        const auto count = [&](const QString& table) {
            QSqlQuery c(db);
            c.exec("SELECT COUNT(*) FROM " + table);
            c.next();
            return c.value(0).toInt();
        };
        const int accertamenti = count("cfaccertamenti");
        const int chapters = count("cfcapitolipeg");
        for (const char* table : {"cfdettaccertamenti", "cfaccertamenti", "cfpegperprogrammi", "cfpegpercdc",
                                  "cfcapitolipeg"})
            q.exec(QStringLiteral("DELETE FROM %1").arg(table));
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, "capitolo creato 10: E 410/2 2016 flag N + 250.75\n"
                             "accertamento 1: 1/2016 capitolo 10 250.75 \"123/2012 Canoni\"\n"
                                 + ending);
        QCOMPARE(accertamenti, kept);
        QCOMPARE(chapters, 1 + kept);
    }
    QSqlDatabase::removeDatabase("ledger");
}

QTEST_GUILESS_MAIN(TestExportCtl)
#include "tst_exportctl.moc"
