#include "BenchStore.h"

#include "app/DataModule.h"
#include "app/SettingsFile.h"
#include "app/StoreSchema.h"
#include "demo/DemoResidues.h"
#include "import/ResidueImport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <sys/resource.h>

namespace ostrel::bench {

QString prepareStore(const QString& folder, int lines, bool import)
{
    qputenv("OSTREL_WORKDIR", folder.toUtf8());
    QDir::setCurrent(folder);
    DemoResidues::write(folder, lines);
    const QString store = QDir(folder).filePath("dbOstrel.db");
    StoreSchema::createStore(store);
    SettingsFile::write("Ostrel.ini", store, "LOCALHOST:1521", "KESTRA481307");
    if (import) {
        TdTabelle tables("Ostrel.ini");
        tables.DataModuleCreate();
        ResidueImport residues(tables);
        residues.Importa(tables.tEntrate);
        residues.Importa(tables.tUscite);
    }
    return store;
}

double sqliteMs(const QString& store, const QString& statements)
{
    QProcess sqlite;
    sqlite.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    sqlite.start("sqlite3", {store, statements});
    sqlite.waitForFinished(-1);
    return double(timer.nsecsElapsed()) / 1e6;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace ostrel::bench
