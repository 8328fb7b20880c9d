// Start of the main window on a large store, and one record move, beside
// sqlite3 running the same two queries.
//
//   bench_mainwindow [LINES]   (default 100000 residues per table)

#include "BenchStore.h"

#include "app/DataModule.h"
#include "workspace/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

using namespace ostrel;
using namespace ostrel::bench;

namespace {

double elapsedMs(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Runs in a fresh process on a prepared folder: start, show, move.
int measure(const QString& folder)
{
    QDir::setCurrent(folder);
    qputenv("OSTREL_WORKDIR", folder.toUtf8());
    QElapsedTimer timer;
    timer.start();
    TdTabelle tables("Ostrel.ini");
    tables.DataModuleCreate();
    TfMain window(tables, false);
    window.show();
    QApplication::processEvents();
    const double startMs = elapsedMs(timer);
    const double startPeak = peakMegabytes();

    const int moves = 2000;
    timer.restart();
    for (int i = 0; i < moves; ++i) {
        window.DBNavigator1->BtnClick(DBNavigator::Next);
        // Paints what the move changed, as the event loop does after a click.
        QApplication::processEvents();
    }
    const double moveMs = elapsedMs(timer) / moves;
    printf("%.1f %.1f %.4f\n", startMs, startPeak, moveMs);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 2 && QByteArray(argv[1]) == "--measure") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return measure(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString store = prepareStore(dir.path(), lines, true);

    QProcess ours;
    ours.start(QCoreApplication::applicationFilePath(), {"--measure", dir.path()});
    ours.waitForFinished(-1);
    const QStringList figures = QString::fromLatin1(ours.readAllStandardOutput()).split(' ');
    if (figures.size() != 3) {
        fprintf(stderr, "measure failed: %s\n", ours.readAllStandardError().constData());
        return 1;
    }

    const QString queries = "SELECT * FROM tEntrate ORDER BY Anno, Numero, Sub; "
                            "SELECT * FROM tUscite ORDER BY Anno, Numero, Sub;";
    const double referenceMs = sqliteMs(store, queries);

    const double startMs = figures[0].toDouble();
    const double peak = figures[1].toDouble();
    const double moveMs = figures[2].toDouble();
    printf("operation\tscale\tours_ms\treference_ms\tratio\tpeak_MB\n");
    printf("start to main window shown, both queries open\t%d residues x2\t%.0f\t%.0f\t%.2f\t%.1f\n", lines,
           startMs, referenceMs, startMs / referenceMs, peak);
    printf("navigator Avanti with display refreshed\t%d residues\t%.3f\t\t\t\n", lines, moveMs);
    printf("# targets: start ratio <= 2.00, peak < 400 MB, move < 2 ms\n");
    printResult("start to main window shown, both queries open", QStringLiteral("%1 residues x2").arg(lines),
                startMs / 1e3, referenceMs / 1e3, peak, toolPeakMegabytes("sqlite3", {store, queries}),
                "ratio<=2,peak<400");
    printResult("navigator Avanti with the display refreshed", QStringLiteral("%1 residues").arg(lines),
                moveMs / 1e3, NAN, NAN, NAN, "time<0.002");
    return 0;
}
