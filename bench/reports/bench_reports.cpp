// The attachment queries beside sqlite3 running the same statements, and the
// detail listing prepared and written to PDF.
//
//   bench_reports [RESIDUES] [LISTING...]   (default 100000; 10000 100000)
//
// OSTREL_BENCH_PDF_DIR=FOLDER keeps each listing there as listing-N.pdf.
// A scale of 0 leaves that part out: each run's peak memory is its own only
// in a process of its own.

#include "app/DataModule.h"
#include "app/SettingsFile.h"
#include "app/StoreSchema.h"
#include "demo/DemoResidues.h"
#include "import/ResidueImport.h"
#include "platform/Report.h"
#include "reports/Attachments.h"
#include "reports/DetailListing.h"
#include "Measure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

using namespace ostrel;
using namespace ostrel::bench;

namespace {

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

QString makeStore(const QString& folder, int residues)
{
    DemoResidues::write(folder, residues);
    const QString store = folder + "/dbOstrel.db";
    StoreSchema::createStore(store);
    SettingsFile::write(folder + "/Ostrel.ini", store, "LOCALHOST:1521", "KESTRA481307");
    {
        TdTabelle tables(folder + "/Ostrel.ini");
        tables.DataModuleCreate();
        ResidueImport import(tables);
        import.Importa(tables.tEntrate);
        import.Importa(tables.tUscite);
    }
    QProcess sqlite;
    sqlite.setStandardInputFile(QStringLiteral(OSTREL_SPLITS_SQL));
    sqlite.start("sqlite3", {store});
    sqlite.waitForFinished(-1);
    return store;
}

QByteArray statements(const QStringList& lines)
{
    return (lines.join('\n') + ";\n").toUtf8();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int residues = argc > 1 ? atoi(argv[1]) : 100000;
    QList<int> listings;
    for (int i = 2; i < argc; ++i)
        listings.append(atoi(argv[i]));
    if (listings.isEmpty())
        listings = {10000, 100000};
    QTemporaryDir dir;
    qputenv("OSTREL_WORKDIR", dir.path().toUtf8());
    QDir::setCurrent(dir.path());
    for (const char* name : {"dettaglioU.html"})
        QFile::copy(QStringLiteral(OSTREL_TEMPLATES "/") + name, dir.filePath(name));

    printf("operation\tscale\tours_s\treference_s\tratio\tpeak_MB\n");
    if (residues > 0) {
        const QString store = makeStore(dir.path(), residues);
        TdTabelle tables(dir.filePath("Ostrel.ini"));
        tables.DataModuleCreate();
        Attachments attachments(&tables.cnOstrel);
        for (DataSet* q : {&attachments.qAll51, &attachments.qAll52}) {
            q->open(); // the statement prepared once, as at every later showing
            q->close();
            QElapsedTimer timer;
            timer.start();
            q->open();
            const double ours = seconds(timer);
            const double reference = runTool("sqlite3", {store}, statements(q->sql())).seconds;
            printf("%s vs sqlite3\t%d residues x2\t%.3f\t%.3f\t%.2f\t%.1f\n",
                   qPrintable(q->name()), residues, ours, reference, ours / reference,
                   peakMegabytes());
            printResult(QStringLiteral("attachment query %1, vs sqlite3").arg(q->name()),
                        QStringLiteral("%1 residues x2").arg(residues), ours, reference, peakMegabytes(),
                        toolPeakMegabytes("sqlite3", {store}, statements(q->sql())), "ratio<=2");
        }
    }
    for (int n : listings) {
        if (n <= 0)
            continue;
        QTemporaryDir sub;
        qputenv("OSTREL_WORKDIR", sub.path().toUtf8());
        makeStore(sub.path(), n);
        TdTabelle tables(sub.filePath("Ostrel.ini"));
        tables.DataModuleCreate();
        DetailListing listing(&tables.cnOstrel);
        listing.choices.kind = DetailChoices::Kind::Uscite;
        QElapsedTimer timer;
        timer.start();
        Report report;
        listing.bbStampaClick(report);
        const auto prepared = report.prepare();
        const double prepare = seconds(timer);
        const double preparedPeak = peakMegabytes();
        const int pages = prepared->pageCount();
        const double layout = seconds(timer) - prepare;
        prepared->writePdf(sub.filePath("listing.pdf"));
        const double total = seconds(timer);
        printf("detail listing (Tipo 1, Uscite) prepared + PDF\t%d residues\t%.3f\t-\t-\t%.1f\n", n, total,
               peakMegabytes());
        printf("# %d pages: prepared %.3f s (peak %.0f MB), page count %.3f s, PDF %.3f s\n", pages, prepare,
               preparedPeak, layout, total - prepare - layout);
        fflush(stdout);
        const QString keep = qEnvironmentVariable("OSTREL_BENCH_PDF_DIR");
        if (!keep.isEmpty())
            QFile::copy(sub.filePath("listing.pdf"), QStringLiteral("%1/listing-%2.pdf").arg(keep).arg(n));
        printResult("detail listing (Tipo 1, Uscite) prepared and written to PDF",
                    QStringLiteral("%1 residues").arg(n), total, NAN, peakMegabytes(), NAN,
                    n == 10000 ? "time<5" : "");
    }
    printf("# targets: queries ratio <= 2.00; 10000 residues to PDF < 5 s\n");
    return 0;
}
