// Database export of generated quotas against the test accounting server,
// beside psql running the very statements the export sent, from a file, in
// the same run. Both end with a rollback, so the server is left as found.
//
//   OSTREL_TEST_ACCOUNTING_HOST=127.0.0.1:PORT bench_dbexport [QUOTAS]   (default 10000)
//
// Start a server of its own first:
//   OSTREL_ACCOUNTING_DIR=/tmp/ostrel-acc-bench scripts/accounting-server start

#include "app/DataModule.h"
#include "app/SettingsFile.h"
#include "app/StoreSchema.h"
#include "demo/DemoResidues.h"
#include "export/DatabaseExport.h"
#include "export/ExportFeedback.h"
#include "import/ResidueImport.h"
#include "platform/ScriptedMessageBoxes.h"
#include "Measure.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace ostrel;
using namespace ostrel::bench;

namespace {

const QString kUser = QStringLiteral("KESTRA481307");

// The hourglass marks the span from the first answer to the last question.
class Stopwatch : public ExportFeedback {
public:
    void setBusy(bool busy) override
    {
        if (busy)
            timer.start();
    }
    QElapsedTimer timer;
};

class TimedBoxes : public ScriptedMessageBoxes {
public:
    explicit TimedBoxes(Stopwatch& watch) : m_watch(watch) {}
    bool confirm(const QString& text) override
    {
        if (text.startsWith(u"Elaborazione terminata"))
            elapsed = m_watch.timer.nsecsElapsed() / 1e9;
        return ScriptedMessageBoxes::confirm(text);
    }
    double elapsed = 0;

private:
    Stopwatch& m_watch;
};

QString literal(const QString& value)
{
    return DatabaseExport::quoted(value);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int quotas = argc > 1 ? atoi(argv[1]) : 10000;
    const QString host = qEnvironmentVariable("OSTREL_TEST_ACCOUNTING_HOST");
    if (host.isEmpty()) {
        fprintf(stderr, "set OSTREL_TEST_ACCOUNTING_HOST to a test accounting server\n");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("OSTREL_ACCOUNTING_DRIVER"))
        qputenv("OSTREL_ACCOUNTING_DRIVER", "QPSQL");
    QTemporaryDir dir;
    qputenv("OSTREL_WORKDIR", dir.path().toUtf8());
    QDir::setCurrent(dir.path());
    // Two quotas per residue, half revenues and half expenditures.
    const int residues = quotas / 4;
    DemoResidues::write(dir.path(), residues);
    const QString store = dir.filePath("dbOstrel.db");
    StoreSchema::createStore(store);
    SettingsFile::write("Ostrel.ini", store, host, kUser);
    TdTabelle tables("Ostrel.ini");
    tables.DataModuleCreate();
    ResidueImport import(tables);
    import.Importa(tables.tEntrate);
    import.Importa(tables.tUscite);
    tables.cnOstrel.exec("UPDATE tEntrate SET ResAnno2 = ROUND(ImportoBak * 0.3, 2) + 1, ResAnno3 = "
                         "ROUND(ImportoBak * 0.2, 2) + 1");
    tables.cnOstrel.exec("UPDATE tUscite SET ResAnno2 = ROUND(ImportoBak * 0.3, 2) + 1, FlCop2 = Id % 2, "
                         "ResOltre = ROUND(ImportoBak * 0.2, 2) + 1");

    // The chapters of the residues' own years, committed, for the copies.
    if (!tables.ApriKestra(host)) {
        fprintf(stderr, "cannot open the accounting session on %s\n", qPrintable(host));
        return 1;
    }
    tables.acKestra.execute("DELETE FROM cfcapitolipeg");
    int id = 0;
    for (const auto& [table, app] : {std::pair{"tEntrate", "E"}, std::pair{"tUscite", "S"}}) {
        QSqlQuery q = tables.cnOstrel.exec(QStringLiteral("SELECT DISTINCT Anno, Cap, Art FROM %1").arg(table));
        while (q.next())
            tables.acKestra.execute(
                QStringLiteral("INSERT INTO cfcapitolipeg VALUES (%1, %2, '%3', %4, %5, 'N', 1, '1010100', "
                               "'V', 1, 1, 1, 1, 1, 1, 'G', 100, 100, 0, 0, 0, 100)")
                    .arg(++id)
                    .arg(q.value(0).toInt())
                    .arg(QLatin1String(app))
                    .arg(q.value(1).toInt())
                    .arg(q.value(2).toInt()));
    }
    tables.acKestra.commit();

    Stopwatch watch;
    TimedBoxes boxes(watch);
    setMessages(&boxes);
    boxes.queueAnswer(true);
    boxes.queueAnswer(false);
    DatabaseExport exporter(tables, "Ostrel");
    const DatabaseExport::Outcome outcome = exporter.bbExportDbClick(watch);
    setMessages(nullptr);
    if (outcome != DatabaseExport::Outcome::Discarded) {
        fprintf(stderr, "the export did not run: %s\n", qPrintable(boxes.texts().join(" / ")));
        return 1;
    }
    const double ours = boxes.elapsed;

    // The same statements, the lookup with its values written in.
    QString script = QStringLiteral("\\set ON_ERROR_STOP 1\nBEGIN;\n");
    for (const ExecutedStatement& s : exporter.log()) {
        QString sql = s.sql;
        if (!s.parameters.isEmpty()) {
            const QStringList names = {":Tipo", ":Anno", ":Capitolo", ":Articolo", ":FlCop"};
            for (int i = 0; i < names.size(); ++i)
                sql.replace(names[i], literal(s.parameters.value(i)));
        }
        script += sql + QStringLiteral(";\n");
    }
    script += QStringLiteral("ROLLBACK;\n");
    const QString file = dir.filePath("statements.sql");
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(script.toUtf8());
    out.close();

    const QStringList psqlArguments = {"-X", "-q", "-h", host.section(':', 0, 0), "-p", host.section(':', 1),
                                       "-U", kUser, "-d", "kestra", "-o", "/dev/null", "-f", file};
    const QStringList psqlEnvironment = {"PGPASSWORD=" + kUser};
    const ToolRun psql = runTool("psql", psqlArguments, {}, psqlEnvironment);
    const double theirs = psql.seconds;
    if (psql.exitCode != 0)
        fprintf(stderr, "psql: %s\n", psql.errors.constData());
    const double theirPeak = toolPeakMegabytes("psql", psqlArguments, {}, psqlEnvironment);

    tables.acKestra.execute("DELETE FROM cfcapitolipeg");
    tables.acKestra.commit();
    printf("operation\tscale\tstatements\tours_s\treference_s\tratio\n");
    printf("database export vs psql -f of the same statements\t%zu quotas\t%zu\t%.3f\t%.3f\t%.2f\n",
           exporter.commitments().size(), exporter.log().size(), ours, theirs, ours / theirs);
    printf("# target: ratio <= 1.30\n");
    printResult("database export, vs psql -f of the same statements",
                QStringLiteral("%1 quotas").arg(exporter.commitments().size()), ours, theirs, peakMegabytes(),
                theirPeak, "ratio<=1.3");
    return 0;
}
