// Text export of generated residues beside sqlite3 writing the same rows in
// the same layout with printf, measured in the same run.
//
//   bench_textexport [LINES]      (default 100000 residues per table)

#include "app/DataModule.h"
#include "app/SettingsFile.h"
#include "app/StoreSchema.h"
#include "demo/DemoResidues.h"
#include "export/TextExport.h"
#include "import/ResidueImport.h"
#include "Measure.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace ostrel;
using namespace ostrel::bench;

namespace {

const char kAmount[] = "replace(printf('%13.2f', IFNULL(%1, 0)), '.', ',')";

QString reference(const QString& table, const QString& tipo, const QString& eliminated, bool flag)
{
    QStringList parts = {"'" + tipo + "'", "printf('%-8.8s', IFNULL(Numero, ''))", "printf('%02d', IFNULL(Sub, 0))",
                         "printf('%04d', IFNULL(Anno, 0))"};
    for (const QString& column : {QStringLiteral("ImportoBak"), eliminated, QStringLiteral("ResAnno1"),
                                  QStringLiteral("ResAnno2"), QStringLiteral("ResAnno3"),
                                  QStringLiteral("ResOltre"), QStringLiteral("ResMantenuto")})
        parts << QString::fromLatin1(kAmount).arg(column);
    parts << "printf('%05d', IFNULL(Cap, 0))" << "printf('%02d', IFNULL(Art, 0))"
          << "printf('%-255.255s', IFNULL(IIF(Descrizione IS NULL, Oggetto, Descrizione), ''))";
    if (flag)
        parts << "IIF(ResAnno1 > 0 AND FlCop1 = 1, 'C', ' ')";
    return "SELECT " + parts.join(" || ") + " FROM " + table + " ORDER BY Anno, Numero, Sub;\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    qputenv("OSTREL_WORKDIR", dir.path().toUtf8());
    QDir::setCurrent(dir.path());
    DemoResidues::write(dir.path(), lines);
    const QString store = dir.filePath("dbOstrel.db");
    StoreSchema::createStore(store);
    SettingsFile::write("Ostrel.ini", store, "LOCALHOST:1521", "KESTRA481307");
    TdTabelle tables("Ostrel.ini");
    tables.DataModuleCreate();
    ResidueImport import(tables);
    import.Importa(tables.tEntrate);
    import.Importa(tables.tUscite);
    // A complete split on every residue, so that every amount column is written.
    tables.cnOstrel.exec("UPDATE tEntrate SET ResEliminato = ROUND(ImportoBak * 0.1, 2), ResAnno1 = "
                         "ROUND(ImportoBak * 0.2, 2), ResAnno2 = ROUND(ImportoBak * 0.3, 2), ResMantenuto = "
                         "ROUND(ImportoBak * 0.4, 2)");
    tables.cnOstrel.exec("UPDATE tUscite SET AvLibero = ROUND(ImportoBak * 0.1, 2), ResAnno1 = "
                         "ROUND(ImportoBak * 0.2, 2), FlCop1 = Id % 2, ResAnno3 = ROUND(ImportoBak * 0.3, 2), "
                         "ResOltre = ROUND(ImportoBak * 0.4, 2)");
    tables.cnOstrel.close();

    TextExport exporter(tables.cnOstrel);
    QElapsedTimer timer;
    timer.start();
    exporter.Esporta(exporter.qEntrate);
    exporter.Esporta(exporter.qUscite);
    const double ours = timer.nsecsElapsed() / 1e9;

    const QString script =
        ".mode list\n.separator \"\" \"\\r\\n\"\n.output " + dir.filePath("ref-entrate.txt") + "\n"
        + reference("tEntrate", "E", "ResEliminato", false) + ".output " + dir.filePath("ref-uscite.txt") + "\n"
        + reference("tUscite", "U",
                    "(IFNULL(AvLibero, 0) + IFNULL(AvAccantonato, 0) + IFNULL(AvVincolato, 0) + "
                    "IFNULL(AvDestinato, 0))",
                    true);
    const ToolRun sqlite = runTool("sqlite3", {store}, script.toUtf8());
    const double theirs = sqlite.seconds;
    if (sqlite.exitCode != 0 || !sqlite.errors.isEmpty())
        fprintf(stderr, "sqlite3: %s\n", sqlite.errors.constData());
    auto count = [&](const QString& name) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll().count("\r\n");
    };
    if (count("entrate.txt") != count("ref-entrate.txt") || count("uscite.txt") != count("ref-uscite.txt"))
        fprintf(stderr, "the two exports wrote different numbers of lines\n");

    printf("operation\tscale\tours_s\treference_s\tratio\n");
    printf("text export vs sqlite3 printf into a file\t%d residues x2\t%.3f\t%.3f\t%.2f\n", lines, ours,
           theirs, ours / theirs);
    printf("# target: ratio <= 1.50\n");
    printResult("text export, vs sqlite3 printf into a file", QStringLiteral("%1 residues x2").arg(lines), ours,
                theirs, peakMegabytes(), toolPeakMegabytes("sqlite3", {store}, script.toUtf8()), "ratio<=1.5");
    return 0;
}
