// The program killed halfway through its writes, and two copies on one store.
// Each kill is repeated at several points of the run it interrupts.

#include "TestLedger.h"
#include "TestStore.h"

#include "app/DataModule.h"
#include "app/SettingsFile.h"
#include "demo/DemoResidues.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <functional>

using namespace ostrel;

namespace {

// One run of ostrelctl or of the worker, in the test store's folder.
class Copy {
public:
    Copy(const QString& program, const QStringList& args)
    {
        m_process.setProgram(program);
        m_process.setArguments(args);
        m_process.start();
        if (!m_process.waitForStarted())
            qFatal("cannot start %s", qPrintable(program));
    }
    ~Copy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    // Waits for the given number of lines on standard output; false when
    // the run ended first.
    bool waitForLines(int count)
    {
        while (m_lines.size() < count) {
            if (m_process.canReadLine()) {
                m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
                continue;
            }
            if (m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(100);
        }
        return true;
    }
    void kill()
    {
        m_process.kill(); // SIGKILL, or TerminateProcess on Windows
        m_process.waitForFinished();
        readRest();
    }
    int finish()
    {
        m_process.waitForFinished(180000);
        readRest();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    const QStringList& lines() const { return m_lines; }
    const QString& errors() const { return m_errors; }

private:
    void readRest()
    {
        while (m_process.canReadLine())
            m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
        m_errors += QString::fromUtf8(m_process.readAllStandardError());
    }
    QProcess m_process;
    QStringList m_lines;
    QString m_errors;
};

Copy ostrelctl(const QStringList& args)
{
    return Copy(QStringLiteral(OSTRELCTL), args);
}

// Points at which to kill a run of the given length: spread over it up to
// its end, plus some random ones.
QList<int> killPoints(qint64 runMs, int spread, int random)
{
    QList<int> points;
    for (int i = 1; i <= spread; ++i)
        points.append(int(runMs * i / spread));
    for (int i = 0; i < random; ++i)
        points.append(QRandomGenerator::global()->bounded(int(runMs) + 1));
    return points;
}

qint64 timed(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.elapsed();
}

void replaceFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    QFile::remove(to + QStringLiteral("-journal"));
    if (!QFile::copy(from, to))
        qFatal("cannot copy %s", qPrintable(from));
}

// What a residue table holds, to tell the old rows from the new ones.
QString tableState(const TestStore& store, const QString& table)
{
    return store
        .scalar(QStringLiteral("SELECT COUNT(*) || ' ' || COUNT(DISTINCT Id) || ' ' || TOTAL(Importo) "
                               "|| ' ' || group_concat(Numero, '') FROM (SELECT * FROM %1 ORDER BY Id)")
                    .arg(table))
        .toString();
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void killedImportLeavesEachTableOldOrNew();
    void killedRegistrationsLeaveEveryRowWhole();
    void killedTextExportLeavesEachFileOldOrNew();
    void killedDatabaseExportLeavesNothingOnTheServer();
    void importWhileAnotherCopyReads();
    void twoCopiesRegisterSplits();
    void twoCopiesAddRowsWithUniqueIds();

private:
    // A store holding `lines` demo residues per table.
    static void importDemo(TestStore& store, int lines, quint32 seed)
    {
        DemoResidues::write(store.path(QString()), lines, seed);
        Copy run = ostrelctl({"import"});
        QCOMPARE(run.finish(), 0);
    }
};

void TestFaults::killedImportLeavesEachTableOldOrNew()
{
    TestStore store;
    importDemo(store, 500, 1);
    const QString oldE = tableState(store, "tEntrate"), oldU = tableState(store, "tUscite");
    const QString pristine = store.path("old.db");
    QVERIFY(QFile::copy(store.storePath(), pristine));
    DemoResidues::write(store.path(QString()), 30000, 2);
    const qint64 runMs = timed([] { QCOMPARE(ostrelctl({"import"}).finish(), 0); });
    const QString newE = tableState(store, "tEntrate"), newU = tableState(store, "tUscite");
    QVERIFY(newE != oldE && newU != oldU);
    for (const int ms : killPoints(runMs, 6, 4)) {
        replaceFile(pristine, store.storePath());
        Copy run = ostrelctl({"import"});
        QThread::msleep(ms);
        run.kill();
        const QString e = tableState(store, "tEntrate"), u = tableState(store, "tUscite");
        QVERIFY2(e == oldE || e == newE, qPrintable(QString("tEntrate mixed after %1 ms").arg(ms)));
        QVERIFY2(u == oldU || u == newU, qPrintable(QString("tUscite mixed after %1 ms").arg(ms)));
        QCOMPARE(store.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    }
    QCOMPARE(ostrelctl({"import"}).finish(), 0); // the store is still usable
    QCOMPARE(tableState(store, "tUscite"), newU);
}

void TestFaults::killedRegistrationsLeaveEveryRowWhole()
{
    TestStore store;
    importDemo(store, 300, 3);
    for (const int registered : {1, 40, 250, 700}) {
        Copy worker(QStringLiteral(STORE_WORKER), {"Ostrel.ini", "register", "100000", "1", "1"});
        QVERIFY2(worker.waitForLines(registered), qPrintable(worker.errors()));
        QThread::msleep(QRandomGenerator::global()->bounded(20));
        worker.kill();
        // Every registration writes the three columns together.
        QCOMPARE(store.scalar("SELECT COUNT(*) FROM tEntrate WHERE ResEliminato IS NOT NULL AND NOT "
                              "(abs(ResEliminato + ResMantenuto - Importo) < 0.005 AND "
                              "Causale1 = 'R' || CAST(ResEliminato AS INTEGER))")
                     .toInt(),
                 0);
        // What was reported registered is in the store.
        const QStringList last = worker.lines().last().split(' ');
        QCOMPARE(last.value(0), QStringLiteral("registered"));
        const double importo =
            store.scalar("SELECT Importo FROM tEntrate WHERE Id = " + last[1]).toDouble();
        QCOMPARE(store.scalar("SELECT ResEliminato FROM tEntrate WHERE Id = " + last[1]).toDouble(),
                 double(last[2].toInt() % std::max(1, int(importo))));
        QCOMPARE(store.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    }
}

void TestFaults::killedTextExportLeavesEachFileOldOrNew()
{
    TestStore store;
    importDemo(store, 20000, 4);
    store.writeFile("entrate.txt", "old revenues\r\n");
    store.writeFile("uscite.txt", "old expenditures\r\n");
    const auto read = [&](const QString& name) {
        QFile file(store.path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    };
    const QByteArray oldE = read("entrate.txt"), oldU = read("uscite.txt");
    const qint64 runMs = timed([] { QCOMPARE(ostrelctl({"export-text"}).finish(), 0); });
    const QByteArray newE = read("entrate.txt"), newU = read("uscite.txt");
    QVERIFY(newE.size() > 1000000 && newU.size() > 1000000);
    for (const int ms : killPoints(runMs, 6, 4)) {
        store.writeFile("entrate.txt", oldE);
        store.writeFile("uscite.txt", oldU);
        Copy run = ostrelctl({"export-text"});
        QThread::msleep(ms);
        run.kill();
        const QByteArray e = read("entrate.txt"), u = read("uscite.txt");
        QVERIFY2(e == oldE || e == newE, qPrintable(QString("entrate.txt cut after %1 ms").arg(ms)));
        QVERIFY2(u == oldU || u == newU, qPrintable(QString("uscite.txt cut after %1 ms").arg(ms)));
    }
}

void TestFaults::killedDatabaseExportLeavesNothingOnTheServer()
{
    const QString host = qEnvironmentVariable("OSTREL_TEST_ACCOUNTING_HOST");
    if (host.isEmpty())
        QSKIP("no accounting server (run scripts/test)");
    if (qEnvironmentVariableIsEmpty("OSTREL_ACCOUNTING_DRIVER"))
        qputenv("OSTREL_ACCOUNTING_DRIVER", "QPSQL");
    TestStore store;
    SettingsFile::write(store.iniPath(), store.storePath(), host, "KESTRA481308");
    store.tables().cnOstrel.exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
        "INSERT INTO tEntrate (Id, Numero, Anno, Cap, Art, Descrizione, ResAnno2) "
        "SELECT i, CAST(i AS TEXT), 2012, 410, 2, 'Canoni', 10.0 + i FROM n");
    const QStringList tables = {"cfdettaccertamenti", "cfaccertamenti", "cfpegperprogrammi",
                                "cfpegpercdc", "cfcapitolipeg"};
    {
        QSqlDatabase db = addTestLedger("ledger", host, "KESTRA481308");
        QVERIFY(db.open());
        const auto clear = [&] {
            for (const QString& table : tables)
                QVERIFY(QSqlQuery(db).exec("DELETE FROM " + table));
            QVERIFY(QSqlQuery(db).exec("INSERT INTO cfcapitolipeg (idcapitolo, eser, app, cap, art, "
                                       "flcopfplur) VALUES (9, 2012, 'E', 410, 2, 'N')"));
        };
        const auto rows = [&] {
            QStringList counts;
            for (const QString& table : tables) {
                QSqlQuery c(db);
                c.exec("SELECT COUNT(*) FROM " + table);
                c.next();
                counts.append(c.value(0).toString());
            }
            return counts.join(' ');
        };
        clear();
        const QString before = rows();
        const qint64 runMs = timed([] { QCOMPARE(ostrelctl({"export-db", "--commit"}).finish(), 0); });
        const QString after = rows();
        QVERIFY(after != before);
        for (const int ms : killPoints(runMs, 5, 3)) {
            clear();
            Copy run = ostrelctl({"export-db", "--commit"});
            QThread::msleep(ms);
            run.kill();
            const QString now = rows();
            QVERIFY2(now == before || now == after,
                     qPrintable(QString("after %1 ms the server holds %2").arg(ms).arg(now)));
        }
        clear();
        QCOMPARE(ostrelctl({"export-db", "--commit"}).finish(), 0); // nothing left locked
        QCOMPARE(rows(), after);
        for (const QString& table : tables)
            QSqlQuery(db).exec("DELETE FROM " + table);
    }
    QSqlDatabase::removeDatabase("ledger");
}

void TestFaults::importWhileAnotherCopyReads()
{
    TestStore store;
    importDemo(store, 1000, 5);
    DemoResidues::write(store.path(QString()), 40000, 6);
    Copy reader(QStringLiteral(STORE_WORKER), {"Ostrel.ini", "read", "150"});
    QVERIFY(reader.waitForLines(1));
    Copy import = ostrelctl({"import"});
    QCOMPARE(import.finish(), 0);
    QCOMPARE(reader.finish(), 0);
    QCOMPARE(reader.errors(), QString());
    for (const QString& line : reader.lines())
        QVERIFY2(line == "rows 1000" || line == "rows 40000", qPrintable(line));
}

void TestFaults::twoCopiesRegisterSplits()
{
    TestStore store;
    importDemo(store, 200, 7);
    // Each copy its own residues, both at once: odd ids and even ids.
    Copy odd(QStringLiteral(STORE_WORKER), {"Ostrel.ini", "register", "400", "1", "2"});
    Copy even(QStringLiteral(STORE_WORKER), {"Ostrel.ini", "register", "400", "2", "2"});
    QCOMPARE(odd.finish(), 0);
    QCOMPARE(even.finish(), 0);
    QCOMPARE(odd.errors() + even.errors(), QString());
    // The last registration of every residue is the one in the store.
    QHash<QString, int> last;
    for (const Copy* copy : {&odd, &even})
        for (const QString& line : copy->lines())
            last[line.section(' ', 1, 1)] = line.section(' ', 2, 2).toInt();
    QCOMPARE(last.size(), 200);
    for (auto it = last.cbegin(); it != last.cend(); ++it) {
        const double importo = store.scalar("SELECT Importo FROM tEntrate WHERE Id = " + it.key()).toDouble();
        QCOMPARE(store.scalar("SELECT ResEliminato FROM tEntrate WHERE Id = " + it.key()).toDouble(),
                 double(it.value() % std::max(1, int(importo))));
    }
}

void TestFaults::twoCopiesAddRowsWithUniqueIds()
{
    TestStore store;
    importDemo(store, 100, 8);
    Copy first(QStringLiteral(STORE_WORKER), {"Ostrel.ini", "append", "300"});
    Copy second(QStringLiteral(STORE_WORKER), {"Ostrel.ini", "append", "300"});
    QCOMPARE(first.finish(), 0);
    QCOMPARE(second.finish(), 0);
    QCOMPARE(first.errors() + second.errors(), QString());
    QSet<QString> ids;
    for (const Copy* copy : {&first, &second})
        for (const QString& line : copy->lines())
            ids.insert(line.section(' ', 1, 1));
    QCOMPARE(ids.size(), 600);
    QCOMPARE(store.scalar("SELECT COUNT(DISTINCT Id) || ' ' || COUNT(*) FROM tEntrate").toString(),
             QStringLiteral("700 700"));
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
