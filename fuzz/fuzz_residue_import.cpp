// A whole residue file through the import into one scratch store, imported
// again and again: the table ends up holding exactly the file's residues,
// numbered from 1, or keeps its previous rows and the error says so; a file
// that is no residue text (UTF-8, a NUL byte, an overlong line) is refused
// before the store is touched.

#include "FuzzSupport.h"
#include "ResidueFields.h"
#include "TestStore.h"

#include "app/DataModule.h"
#include "import/ResidueImport.h"
#include "platform/AnsiCodec.h"
#include "platform/Errors.h"

#include <QSqlQuery>

using namespace ostrel;
using namespace ostrel::fuzz;

namespace {

TestStore* g_store = nullptr;

QString contents(TdTabelle& tables, const QString& table)
{
    QStringList columns;
    for (const ColumnDef& c : tables.cnOstrel.tableColumns(table))
        columns.append(QStringLiteral("quote(%1)").arg(c.name));
    QSqlQuery q = tables.cnOstrel.exec(
        QStringLiteral("SELECT count(*) || ':' || ifnull(group_concat(%1, ';'), '') FROM (SELECT * FROM %2 ORDER BY Id)")
            .arg(columns.join(QStringLiteral(" || ',' || ")), table));
    return q.next() ? q.value(0).toString() : QString();
}

qsizetype longestLine(const QByteArray& bytes)
{
    qsizetype longest = 0;
    qsizetype length = 0;
    for (const char c : bytes) {
        length = c == '\r' || c == '\n' ? 0 : length + 1;
        longest = std::max(longest, length);
    }
    return longest;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startQt();
    g_store = new TestStore;
    TdTabelle& tables = g_store->tables();
    // A scratch store: no need to wait for the disk at every commit.
    tables.cnOstrel.exec(QStringLiteral("PRAGMA synchronous = OFF"));
    tables.cnOstrel.exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
    tables.cnOstrel.exec(QStringLiteral("INSERT INTO tEntrate (Id, Numero) VALUES (1, 'OLD1'), (2, 'OLD2')"));
    tables.cnOstrel.exec(QStringLiteral("INSERT INTO tUscite (Id, Numero) VALUES (1, 'OLDU')"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = Ansi::splitLines(Ansi::decode(bytes));
    TdTabelle& tables = g_store->tables();
    // The kind field of the first line picks the file, as it would be in it.
    DataSet& table = TdTabelle::LeggeCampo(lines.value(0), 1) == u"U" ? tables.tUscite : tables.tEntrate;
    g_store->writeFile(table.name() == u"tEntrate" ? QStringLiteral("97RIAE14.TXT")
                                                   : QStringLiteral("97RIAU14.TXT"),
                       bytes);
    QStringList residues;
    for (const QString& line : lines)
        if (!referenceEmptyLine(line))
            residues.append(line);

    const QString before = contents(tables, table.name());
    g_store->boxes().clear();
    int imported = -1;
    QString error;
    try {
        imported = ResidueImport(tables).Importa(table);
    } catch (const EAbort&) {
        fail("import aborted", show(Ansi::decode(bytes)));
    } catch (const Error& e) {
        error = e.message();
    }
    const QString detail = show(Ansi::decode(bytes)) + u'\n' + error;
    FUZZ_CHECK(g_store->boxes().shown().isEmpty(), detail + g_store->boxes().texts().join(u'\n'));
    FUZZ_CHECK(table.state() == DataSet::State::Browse, detail);
    const bool notText = bytes.contains('\0') || Ansi::looksLikeUtf8(bytes) || longestLine(bytes) > 4096;
    if (imported < 0) {
        if (notText)
            FUZZ_CHECK(error.contains(QStringLiteral("non è un file di residui valido"))
                           && error.contains(QStringLiteral("Nessun dato è stato modificato")),
                       detail);
        else
            FUZZ_CHECK(error.contains(QStringLiteral("annullata alla riga"))
                           && error.contains(QStringLiteral("la tabella conserva i dati precedenti")),
                       detail);
        FUZZ_CHECK(contents(tables, table.name()) == before, detail);
        return 0;
    }
    FUZZ_CHECK(!notText, detail);
    FUZZ_CHECK(imported == residues.size(), detail);
    QSqlQuery q = tables.cnOstrel.exec(
        QStringLiteral("SELECT Id, Oggetto, UEB, Numero, Descrizione, Responsabile FROM %1 ORDER BY Id")
            .arg(table.name()));
    int row = 0;
    while (q.next()) {
        const QString& line = residues.value(row);
        const QStringList fields = referenceFields(line);
        ++row;
        const QString where = detail + QStringLiteral("\nrow %1").arg(row);
        FUZZ_CHECK(q.value(0).toInt() == row, where);
        FUZZ_CHECK(q.value(1).toString() == fields.value(4), where);
        FUZZ_CHECK(q.value(2).toString() == fields.value(5), where);
        FUZZ_CHECK(q.value(3).toString() == fields.value(7), where);
        const QString description = fields.value(10).isEmpty() ? fields.value(4) : fields.value(10);
        FUZZ_CHECK(q.value(4).toString() == description, where);
        FUZZ_CHECK(q.value(5).toString() == fields.value(13), where);
    }
    FUZZ_CHECK(row == imported, detail);
    return 0;
}
