// A second copy of the program for the fault tests: registers splits, adds
// rows or reads the residues through the same data layer as the windows, and
// prints one line per step so that the test can kill it at a chosen point.
//
//   store_worker INI register COUNT FIRST STEP   splits on Id FIRST, FIRST+STEP, ...
//   store_worker INI append COUNT                new revenue rows
//   store_worker INI read COUNT                  reopens the revenues COUNT times

#include "app/DataModule.h"
#include "cli/ConsoleMessageBoxes.h"
#include "platform/Errors.h"
#include "workspace/Reassessment.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>

using namespace ostrel;

namespace {

QTextStream out(stdout);

void registerSplits(TdTabelle& tables, int count, int first, int step)
{
    DataSet q(QStringLiteral("qEntrate"), &tables.cnOstrel);
    Reassessment::defineQuery(q, Reassessment::Kind::Revenue);
    q.open();
    const int rows = q.recordCount();
    for (int i = 0; i < count; ++i) {
        const int id = first + (i * step) % rows;
        if (!q.locate(QStringLiteral("Id"), id))
            throw EDatabaseError(QStringLiteral("Id %1 non trovato").arg(id));
        // Every column of one registration carries the same step number, so
        // that a row mixing two registrations would show.
        const double importo = q.fieldByName(QStringLiteral("Importo")).asFloat();
        const double eliminated = double(i % std::max(1, int(importo)));
        q.edit();
        q.fieldByName(QStringLiteral("ResEliminato")).setValue(eliminated);
        q.fieldByName(QStringLiteral("ResMantenuto")).setValue(importo - eliminated);
        q.fieldByName(QStringLiteral("Causale1")).setValue(QStringLiteral("R%1").arg(eliminated));
        q.post();
        out << "registered " << id << ' ' << i << Qt::endl;
    }
}

void appendRows(TdTabelle& tables, int count)
{
    DataSet& t = tables.tEntrate;
    for (int i = 0; i < count; ++i) {
        t.append();
        t.fieldByName(QStringLiteral("Numero")).setValue(QStringLiteral("W%1").arg(i));
        t.post();
        out << "appended " << t.fieldByName(QStringLiteral("Id")).asInteger() << Qt::endl;
    }
}

void readRows(TdTabelle& tables, int count)
{
    DataSet& t = tables.tEntrate;
    for (int i = 0; i < count; ++i) {
        t.close();
        t.open();
        out << "rows " << t.recordCount() << Qt::endl;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3)
        return 2;
    ConsoleMessageBoxes boxes;
    setMessages(&boxes);
    int status = 0;
    try {
        TdTabelle tables(args[0]);
        tables.DataModuleCreate();
        if (boxes.errorCount() > 0)
            return 1;
        const int count = args[2].toInt();
        if (args[1] == u"register" && args.size() == 5)
            registerSplits(tables, count, args[3].toInt(), args[4].toInt());
        else if (args[1] == u"append")
            appendRows(tables, count);
        else if (args[1] == u"read")
            readRows(tables, count);
        else
            status = 2;
    } catch (const std::exception& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        status = 1;
    }
    setMessages(nullptr);
    return status;
}
