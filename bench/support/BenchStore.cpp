#include "BenchStore.h"
#include "Measure.h"

#include "app/DataModule.h"
#include "app/SettingsFile.h"
#include "app/StoreSchema.h"
#include "demo/DemoResidues.h"
#include "import/ResidueImport.h"

#include <QDir>

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
    return runTool("sqlite3", {store, statements}, {}, {}, false).seconds * 1e3;
}

} // namespace ostrel::bench
