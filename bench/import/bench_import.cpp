// Import of generated residue files beside sqlite3's .import of the same
// files, measured in the same run.
//
//   bench_import [LINES]      (default 100000 lines per file)

#include "BenchStore.h"

#include "app/DataModule.h"
#include "app/StoreSchema.h"
#include "import/ResidueImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace ostrel;
using namespace ostrel::bench;

namespace {

double seconds(QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

const char kIntoStoreColumns[] =
    "BEGIN;\n"
    "INSERT INTO %1 (Id, Cap, Art, Oggetto, UEB, Numero, Sub, Anno, Descrizione, Importo, CodResp, "
    "Responsabile, ImportoBak) SELECT rowid, CAST(TRIM(f2) AS INTEGER), CAST(TRIM(f3) AS INTEGER), "
    "TRIM(f5), TRIM(f6), TRIM(f8), CAST(TRIM(f9) AS INTEGER), CAST(TRIM(f10) AS INTEGER), "
    "COALESCE(NULLIF(TRIM(f11), ''), TRIM(f5)), CAST(REPLACE(TRIM(f12), ',', '.') AS REAL), "
    "CAST(TRIM(f13) AS INTEGER), TRIM(f14), CAST(REPLACE(TRIM(f12), ',', '.') AS REAL) FROM %2;\n"
    "COMMIT;\n";

// sqlite3 .import of both files into tables with one column per field and,
// when intoStore, on into the store's own tables, as a sqlite3 user would.
QByteArray referenceScript(const QString& folder, bool intoStore)
{
    QStringList columns;
    for (int i = 0; i <= 16; ++i)
        columns << QStringLiteral("f%1 TEXT").arg(i);
    QString script =
        QStringLiteral(".mode list\n.separator |\n"
                       "CREATE TABLE e(%1);\nCREATE TABLE u(%1);\n"
                       ".import %2/97RIAE14.TXT e\n.import %2/97RIAU14.TXT u\n")
            .arg(columns.join(u','), folder);
    if (intoStore) {
        for (const QString& statement : StoreSchema::statements())
            script.prepend(statement + ";\n");
        script += QString::fromLatin1(kIntoStoreColumns).arg("tEntrate", "e");
        script += QString::fromLatin1(kIntoStoreColumns).arg("tUscite", "u");
    }
    return script.toUtf8();
}

double referenceImport(const QString& folder, bool intoStore)
{
    QFile::remove(folder + "/reference.db");
    const ToolRun sqlite = runTool("sqlite3", {folder + "/reference.db"}, referenceScript(folder, intoStore));
    if (sqlite.exitCode != 0 || !sqlite.errors.isEmpty())
        fprintf(stderr, "sqlite3: %s\n", sqlite.errors.constData());
    return sqlite.seconds;
}

double referencePeak(const QString& folder, bool intoStore)
{
    const QString db = folder + "/reference-peak.db";
    QFile::remove(db);
    const double peak = toolPeakMegabytes("sqlite3", {db}, referenceScript(folder, intoStore));
    QFile::remove(db);
    return peak;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    prepareStore(dir.path(), lines, false);

    TdTabelle tables("Ostrel.ini");
    tables.DataModuleCreate();
    QElapsedTimer timer;
    timer.start();
    ResidueImport import(tables);
    import.Importa(tables.tEntrate);
    import.Importa(tables.tUscite);
    const double ours = seconds(timer);
    const double rawImport = referenceImport(dir.path(), false);
    const double intoStore = referenceImport(dir.path(), true);
    QProcess check;
    check.start("sqlite3", {dir.filePath("reference.db"),
                            "SELECT (SELECT COUNT(*) FROM tEntrate) + (SELECT COUNT(*) FROM tUscite)"});
    check.waitForFinished(-1);
    if (check.readAllStandardOutput().trimmed().toInt() != 2 * lines)
        fprintf(stderr, "the sqlite3 reference did not fill the store's tables\n");

    const double peak = peakMegabytes();
    printf("operation\tscale\tours_s\treference_s\tratio\tpeak_MB\n");
    printf("import vs sqlite3 .import + INSERT into the store's tables\t%d lines x2\t%.3f\t%.3f\t%.2f\t%.1f\n",
           lines, ours, intoStore, ours / intoStore, peak);
    printf("import vs sqlite3 .import into text tables\t%d lines x2\t%.3f\t%.3f\t%.2f\t%.1f\n", lines,
           ours, rawImport, ours / rawImport, peak);
    printf("# target: ratio <= 1.50\n");
    const QString scale = QStringLiteral("%1 lines x2").arg(lines);
    printResult("import, vs sqlite3 .import + INSERT into the store's tables", scale, ours, intoStore, peak,
                referencePeak(dir.path(), true), "ratio<=1.5");
    printResult("import, vs sqlite3 .import into text tables", scale, ours, rawImport, peak,
                referencePeak(dir.path(), false), "");
    return 0;
}
