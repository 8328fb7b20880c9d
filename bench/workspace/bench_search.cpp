// One filter keystroke in the search window on a large store (re-query and
// grid refresh) beside sqlite3 running the same statement.
//
//   bench_search [LINES]   (default 100000 residues per table)

#include "BenchStore.h"

#include "app/DataModule.h"
#include "workspace/MainWindow.h"
#include "workspace/SearchWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

using namespace ostrel;

using namespace ostrel::bench;

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString store = prepareStore(dir.path(), lines, true);
    TdTabelle tables("Ostrel.ini");
    tables.DataModuleCreate();

    TfMain window(tables, false);
    TfCerca search(tables, &window);
    window.show();
    search.prepare(window.qEntrate);
    search.show();
    QApplication::processEvents();

    printf("operation\tscale\tours_ms\treference_ms\tratio\n");
    struct Case {
        const char* name;
        int edit;
        QStringList keystrokes;
    };
    const Case cases[] = {
        {"filter keystroke, begins with (Numero)", 4, {"1", "12", "1", "12"}},
        {"filter keystroke, contains (Descrizione)", 6, {"P", "PE", "PER", "PE"}},
    };
    for (const Case& c : cases) {
        QLineEdit* edit = search.edits[c.edit - 1];
        edit->setFocus();
        QApplication::processEvents();
        double ours = 0;
        double reference = 0;
        const int rounds = 5;
        for (int round = 0; round < rounds; ++round) {
            for (const QString& text : c.keystrokes) {
                QElapsedTimer timer;
                timer.start();
                edit->setText(text);
                QApplication::processEvents();
                ours += double(timer.nsecsElapsed()) / 1e6;
                reference += sqliteMs(store, search.qCerca.sqlText());
            }
        }
        const int n = rounds * int(c.keystrokes.size());
        printf("%s\t%d residues\t%.1f\t%.1f\t%.2f\n", c.name, lines, ours / n, reference / n, ours / reference);
        printResult(QStringLiteral("search %1").arg(QLatin1String(c.name)), QStringLiteral("%1 residues").arg(lines),
                    ours / n / 1e3, reference / n / 1e3, peakMegabytes(),
                    toolPeakMegabytes("sqlite3", {store, search.qCerca.sqlText()}), "ratio<=2,time<0.15");
    }
    printf("# targets: ratio <= 2.00 and < 150 ms a keystroke\n");
    return 0;
}
