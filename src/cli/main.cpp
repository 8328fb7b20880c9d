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
#include "platform/Report.h"
#include "reports/Attachments.h"
#include "reports/DetailListing.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>
#include <memory>

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
    "                               scrive due file di residui di prova\n"
    "  report detail|all51|all52 --out FILE(.pdf|.rtf|.json) [opzioni del dettaglio]\n"
    "                               stampa il dettaglio o un allegato\n"
    "      --kind E|U --year A --number N --chapter C --ueb U --responsible R\n"
    "      --amounts all|eliminated|without --reimputed all|covered|uncovered\n"
    "      --order year|chapter|ueb|responsible --details --type 1|2\n"
    "  set-funds NOME=VALORE...     registra gli importi di tFondiVincoli (virgola decimale)\n";

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

// The detail listing's options, each as the window's control means it.
bool detailOptions(QStringList& args, DetailChoices& c)
{
    static const QStringList valued = {"--kind", "--year", "--number", "--chapter", "--ueb",
                                       "--responsible", "--amounts", "--reimputed", "--order",
                                       "--type"};
    QStringList rest;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == u"--details") {
            c.details = true;
            continue;
        }
        if (!valued.contains(arg)) {
            rest.append(arg);
            continue;
        }
        if (args.isEmpty())
            return false;
        const QString value = args.takeFirst();
        if (arg == u"--kind") {
            if (value != u"E" && value != u"U")
                return false;
            c.kind = value == u"E" ? DetailChoices::Kind::Entrate : DetailChoices::Kind::Uscite;
        } else if (arg == u"--year") {
            c.year = value;
        } else if (arg == u"--number") {
            c.number = value;
        } else if (arg == u"--chapter") {
            c.chapter = value;
        } else if (arg == u"--ueb") {
            c.ueb = value;
        } else if (arg == u"--responsible") {
            c.responsible = value.toUpper();
        } else if (arg == u"--amounts") {
            static const QStringList names = {"all", "eliminated", "without"};
            if (!names.contains(value))
                return false;
            c.amounts = DetailChoices::Amounts(names.indexOf(value));
        } else if (arg == u"--reimputed") {
            static const QStringList names = {"all", "covered", "uncovered"};
            if (!names.contains(value))
                return false;
            c.reimputed = DetailChoices::Reimputed(names.indexOf(value));
        } else if (arg == u"--order") {
            static const QStringList names = {"year", "chapter", "ueb", "responsible"};
            if (!names.contains(value))
                return false;
            c.order = DetailChoices::Order(names.indexOf(value));
        } else if (arg == u"--type") {
            if (value != u"1" && value != u"2")
                return false;
            c.type = value == u"1" ? 0 : 1;
        }
    }
    // Selecting "Entrate" puts the re-imputed choice back on "Tutti".
    if (c.kind == DetailChoices::Kind::Entrate)
        c.reimputed = DetailChoices::Reimputed::Tutti;
    args = rest;
    return true;
}

void writeReport(const Report& report, const QString& out)
{
    const QString lower = out.toLower();
    if (lower.endsWith(u".json")) {
        QSaveFile file(out);
        const QByteArray json = report.toJson();
        if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
            throw EInOutError(QStringLiteral("Impossibile scrivere il file '%1': %2")
                                  .arg(out, file.errorString()));
        return;
    }
    const auto prepared = report.prepare();
    if (lower.endsWith(u".pdf"))
        prepared->writePdf(out);
    else
        prepared->writeRtf(out);
}

int report(TdTabelle& tables, const ConsoleMessageBoxes& boxes, QStringList args)
{
    if (args.isEmpty())
        return usage();
    const QString which = args.takeFirst();
    QString outFile;
    const qsizetype outAt = args.indexOf(QStringLiteral("--out"));
    if (outAt >= 0 && outAt + 1 < args.size()) {
        outFile = args[outAt + 1];
        args.remove(outAt, 2);
    }
    const QString lower = outFile.toLower();
    if (outFile.isEmpty() || !(lower.endsWith(u".pdf") || lower.endsWith(u".rtf") || lower.endsWith(u".json")))
        return usage();
    if (boxes.errorCount() > 0)
        return 1;
    Report rep;
    if (which == u"detail") {
        DetailListing listing(&tables.cnOstrel);
        if (!detailOptions(args, listing.choices) || !args.isEmpty())
            return usage();
        listing.bbStampaClick(rep);
        writeReport(rep, outFile);
    } else if (which == u"all51" || which == u"all52") {
        if (!args.isEmpty())
            return usage();
        Attachments attachments(&tables.cnOstrel);
        attachments.FormShow();
        if (which == u"all51")
            attachments.bAll51Click(rep);
        else
            attachments.bAll52Click(rep);
        writeReport(rep, outFile);
    } else {
        return usage();
    }
    out() << "Stampa scritta: " << outFile << Qt::endl;
    return 0;
}

int setFunds(TdTabelle& tables, const ConsoleMessageBoxes& boxes, const QStringList& args)
{
    if (args.isEmpty())
        return usage();
    if (boxes.errorCount() > 0)
        return 1;
    QList<std::pair<QString, QString>> values;
    for (const QString& arg : args) {
        const qsizetype eq = arg.indexOf(u'=');
        if (eq <= 0)
            return usage();
        values.append({arg.left(eq), arg.mid(eq + 1)});
    }
    storeFunds(tables.tFondiVincoli, values);
    out() << "Importi registrati: " << values.size() << Qt::endl;
    return 0;
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
    const bool takesArguments = command == u"report" || command == u"set-funds";
    if (command != u"import" && command != u"accounting-status" && command != u"export-text"
        && command != u"export-db" && !takesArguments)
        return usage();
    if (!takesArguments && !args.isEmpty())
        return usage();

    ConsoleMessageBoxes boxes(command == u"export-text");
    setMessages(&boxes);
    TdTabelle tables(ini);
    tables.cnOstrel.onWaitForLock = [](const QString& text) { QTextStream(stderr) << text << Qt::endl; };
    tables.DataModuleCreate();
    if (command == u"export-text")
        return exportText(tables, boxes);
    if (command == u"export-db")
        return exportDb(tables, boxes, ini, commit);
    if (command == u"report")
        return report(tables, boxes, args);
    if (command == u"set-funds")
        return setFunds(tables, boxes, args);
    if (command == u"import")
        return importResidues(tables, boxes);
    return accountingStatus(tables);
}

} // namespace

int main(int argc, char* argv[])
{
    // Reports lay text out with Qt GUI's fonts; no display is needed.
    const bool reports = argc > 1
        && std::any_of(argv + 1, argv + argc, [](const char* a) { return qstrcmp(a, "report") == 0; });
    if (reports && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application = reports
        ? std::make_unique<QGuiApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
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
