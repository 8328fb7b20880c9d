// ostrelctl: the program's operations without its windows.

#include "ConsoleMessageBoxes.h"

#include "app/DataModule.h"
#include "app/ItalianSettings.h"
#include "app/SettingsFile.h"
#include "app/StoreSchema.h"
#include "demo/DemoResidues.h"
#include "export/DatabaseExport.h"
#include "export/ExportFeedback.h"
#include "export/TextExport.h"
#include "import/ResidueImport.h"
#include "platform/Errors.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

using namespace ostrel;

namespace {

const char kUsage[] =
    "Uso: ostrelctl [--ini FILE] COMANDO\n"
    "  create-store PATH            crea un archivio nuovo con le tre tabelle\n"
    "  import                       reimporta i due file dei residui\n"
    "  accounting-status            prova la connessione alla banca dati di Kestra\n"
    "  export-text                  scrive entrate.txt e uscite.txt nella cartella di lavoro\n"
    "  export-db --commit|--rollback\n"
    "                               esporta nella banca dati di Kestra e conferma o annulla\n"
    "  demo-files CARTELLA [--lines N] [--seed S]\n"
    "                               scrive due file di residui di prova\n";

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

int usage()
{
    QTextStream(stderr) << kUsage;
    return 1;
}

int fail(const std::exception& e)
{
    if (!dynamic_cast<const EAbort*>(&e))
        QTextStream(stderr) << errorText(e) << Qt::endl;
    return 1;
}

int createStore(const QStringList& args)
{
    if (args.size() != 1)
        return usage();
    StoreSchema::createStore(args[0]);
    out() << "Archivio creato: " << args[0] << Qt::endl;
    return 0;
}

int demoFiles(QStringList args)
{
    int lines = 200;
    quint32 seed = 2015;
    QString folder;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if ((arg == u"--lines" || arg == u"--seed") && !args.isEmpty()) {
            bool ok = false;
            const uint value = args.takeFirst().toUInt(&ok);
            if (!ok)
                return usage();
            if (arg == u"--lines")
                lines = int(value);
            else
                seed = value;
        } else if (folder.isEmpty()) {
            folder = arg;
        } else {
            return usage();
        }
    }
    if (folder.isEmpty())
        return usage();
    DemoResidues::write(folder, lines, seed);
    out() << lines << " residui per file scritti in " << folder << Qt::endl;
    return 0;
}

int importResidues(TdTabelle& tables, const ConsoleMessageBoxes& boxes)
{
    if (boxes.errorCount() > 0)
        return 1;
    ResidueImport import(tables);
    for (DataSet* table : {&tables.tEntrate, &tables.tUscite}) {
        const int rows = import.Importa(*table);
        out() << table->name() << ": " << rows << " righe importate" << Qt::endl;
    }
    return 0;
}

int accountingStatus(TdTabelle& tables)
{
    const bool connected = tables.ApriKestra(tables.Host);
    out() << (connected ? "KESTRA CONNESSA" : "KESTRA NON CONNESSA") << Qt::endl;
    return connected ? 0 : 1;
}

int exportText(TdTabelle& tables, const ConsoleMessageBoxes& boxes)
{
    if (boxes.errorCount() > 0)
        return 1;
    ExportFeedback feedback;
    if (!TextExport(tables.cnOstrel).bbExportFileClick(feedback))
        return 1;
    out() << "Scritti " << TextExport::fileFor(QStringLiteral("qEntrate")) << " e "
          << TextExport::fileFor(QStringLiteral("qUscite")) << Qt::endl;
    return 0;
}

int exportDb(TdTabelle& tables, ConsoleMessageBoxes& boxes, const QString& ini, bool commit)
{
    if (boxes.errorCount() > 0)
        return 1;
    boxes.queueAnswer(true);
    boxes.setAnswer(commit);
    QString base = QFileInfo(ini).fileName();
    if (base.endsWith(QStringLiteral(".ini"), Qt::CaseInsensitive))
        base.chop(4);
    DatabaseExport exporter(tables, base);
    ExportFeedback feedback;
    const DatabaseExport::Outcome outcome = exporter.bbExportDbClick(feedback);
    for (const DatabaseExport::Chapter& c : exporter.chapters())
        out() << (c.created ? "capitolo creato " : "capitolo aumentato ") << c.idCapitolo << ": " << c.tipo
              << ' ' << c.capitolo << '/' << c.articolo << ' ' << c.year << " flag " << c.flCop << " + "
              << c.amount << Qt::endl;
    for (const DatabaseExport::Commitment& c : exporter.commitments())
        out() << (c.revenue ? "accertamento " : "impegno ") << c.id << ": " << c.number << '/' << c.year
              << " capitolo " << c.idCapitolo << ' ' << c.amount << " \"" << c.subject << '"' << Qt::endl;
    switch (outcome) {
    case DatabaseExport::Outcome::Committed:
        out() << "Confermato." << Qt::endl;
        return 0;
    case DatabaseExport::Outcome::Discarded:
        out() << "Annullato: nulla è stato scritto." << Qt::endl;
        return 0;
    default:
        return 1;
    }
}

int run(QStringList args)
{
    QString ini = SettingsFile::fileName(QStringLiteral("Ostrel"));
    if (args.size() >= 2 && args[0] == u"--ini") {
        ini = args[1];
        args = args.mid(2);
    }
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    if (command == u"create-store")
        return createStore(args);
    if (command == u"demo-files")
        return demoFiles(args);
    bool commit = false;
    if (command == u"export-db") {
        // The final answer must be given: a run is never confirmed by default.
        if (args.size() != 1 || (args[0] != u"--commit" && args[0] != u"--rollback"))
            return usage();
        commit = args.takeFirst() == u"--commit";
    }
    if (command != u"import" && command != u"accounting-status" && command != u"export-text"
        && command != u"export-db")
        return usage();
    if (!args.isEmpty())
        return usage();

    ConsoleMessageBoxes boxes(command == u"export-text");
    setMessages(&boxes);
    TdTabelle tables(ini);
    tables.DataModuleCreate();
    if (command == u"export-text")
        return exportText(tables, boxes);
    if (command == u"export-db")
        return exportDb(tables, boxes, ini, commit);
    if (command == u"import")
        return importResidues(tables, boxes);
    return accountingStatus(tables);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    useItalianSettings();
    QStringList args = app.arguments();
    args.removeFirst();
    int status;
    try {
        status = run(args);
    } catch (const std::exception& e) {
        status = fail(e);
    }
    setMessages(nullptr);
    return status;
}
