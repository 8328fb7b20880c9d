#include "ResidueImport.h"

#include "app/DataModule.h"
#include "app/WorkFolder.h"

#include "platform/AnsiCodec.h"
#include "platform/Errors.h"
#include "platform/MessageBoxes.h"

#include <QFile>

namespace ostrel {

namespace {

// A line of nothing but blanks, control characters and separators is no
// residue (an empty file, or the empty line after the last one).
bool isEmptyLine(const QString& line)
{
    for (const QChar c : line)
        if (c.unicode() > 32 && c != u'|')
            return false;
    return true;
}

// The longest residue line: fourteen fields, three of them texts of 255.
constexpr qsizetype kMaxLineLength = 4096;

// Refuses, before anything in the store is touched, a file that is not a
// residue file in Windows-1252: it would otherwise import mangled texts or
// fail on a line with a value of a megabyte quoted in the message.
void checkIsResidueText(const QByteArray& bytes, const QStringList& lines, const QString& path)
{
    const auto refuse = [&](const QString& why) {
        throw EInOutError(QStringLiteral("Il file '%1' non è un file di residui valido: %2. "
                                         "Nessun dato è stato modificato.")
                              .arg(path, why));
    };
    if (Ansi::looksLikeUtf8(bytes))
        refuse(QStringLiteral("è scritto in UTF-8, mentre il programma legge file in "
                              "Windows-1252 (ANSI); salvarlo in ANSI e ripetere l'importazione"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(QChar(0)))
            refuse(QStringLiteral("la riga %1 contiene un carattere nullo (byte 0), che un file "
                                  "di testo non contiene")
                       .arg(i + 1));
        if (lines[i].size() > kMaxLineLength)
            refuse(QStringLiteral("la riga %1 è lunga %2 caratteri, mentre una riga di residuo "
                                  "ne ha al massimo %3")
                       .arg(i + 1)
                       .arg(lines[i].size())
                       .arg(kMaxLineLength));
    }
}

} // namespace

QString ResidueImport::fileFor(const QString& tableName)
{
    return WorkFolder::file(tableName == u"tEntrate" ? QStringLiteral("97RIAE14.TXT")
                                                     : QStringLiteral("97RIAU14.TXT"));
}

int ResidueImport::Importa(DataSet& tTabella)
{
    m_tables.qCancella.clear();
    const QString path = fileFor(tTabella.name());
    m_tables.qCancella.add(QStringLiteral("delete from ") + tTabella.name());

    QFile fTesto(path);
    if (!fTesto.open(QIODevice::ReadOnly)) {
        messages().error(QStringLiteral("Non è stato trovato il file che serve a generare la tabella ")
                         + tTabella.name());
        throw EAbort();
    }
    const QByteArray bytes = fTesto.readAll();
    if (fTesto.error() != QFileDevice::NoError)
        throw EInOutError(
            QStringLiteral("Errore di lettura del file '%1': %2").arg(path, fTesto.errorString()));
    fTesto.close();
    const QStringList lines = Ansi::splitLines(Ansi::decode(bytes));
    checkIsResidueText(bytes, lines, path);

    Field& Cap = tTabella.fieldByName(QStringLiteral("Cap"));
    Field& Art = tTabella.fieldByName(QStringLiteral("Art"));
    Field& Oggetto = tTabella.fieldByName(QStringLiteral("Oggetto"));
    Field& UEB = tTabella.fieldByName(QStringLiteral("UEB"));
    Field& Numero = tTabella.fieldByName(QStringLiteral("Numero"));
    Field& Sub = tTabella.fieldByName(QStringLiteral("Sub"));
    Field& Anno = tTabella.fieldByName(QStringLiteral("Anno"));
    Field& Descrizione = tTabella.fieldByName(QStringLiteral("Descrizione"));
    Field& Importo = tTabella.fieldByName(QStringLiteral("Importo"));
    Field& CodResp = tTabella.fieldByName(QStringLiteral("CodResp"));
    Field& Responsabile = tTabella.fieldByName(QStringLiteral("Responsabile"));
    Field& ImportoBak = tTabella.fieldByName(QStringLiteral("ImportoBak"));

    int imported = 0;
    qsizetype lineNumber = 0;
    try {
        StoreTransaction transaction(m_tables.cnOstrel);
        m_tables.qCancella.execute();
        for (; lineNumber < lines.size(); ++lineNumber) {
            const QString& S = lines[lineNumber];
            if (isEmptyLine(S))
                continue;
            tTabella.append();
            Cap.setAsString(TdTabelle::LeggeCampo(S, 2));
            Art.setAsString(TdTabelle::LeggeCampo(S, 3));
            Oggetto.setAsString(TdTabelle::LeggeCampo(S, 5));
            UEB.setAsString(TdTabelle::LeggeCampo(S, 6));
            Numero.setAsString(TdTabelle::LeggeCampo(S, 8));
            Sub.setAsString(TdTabelle::LeggeCampo(S, 9));
            Anno.setAsString(TdTabelle::LeggeCampo(S, 10));
            Descrizione.setAsString(TdTabelle::LeggeCampo(S, 11));
            if (Descrizione.asString().isEmpty())
                Descrizione.setAsString(Oggetto.asString());
            Importo.setAsString(TdTabelle::LeggeCampo(S, 12));
            CodResp.setAsString(TdTabelle::LeggeCampo(S, 13));
            Responsabile.setAsString(TdTabelle::LeggeCampo(S, 14));
            ImportoBak.setAsString(TdTabelle::LeggeCampo(S, 12));
            tTabella.post();
            ++imported;
        }
        transaction.commit();
    } catch (const Error& e) {
        tTabella.cancel();
        // The rows appended to the table's cursor were rolled back in the store.
        tTabella.close();
        tTabella.open();
        throw Error(e.className(),
                    QStringLiteral("Importazione della tabella %1 annullata alla riga %2 del file "
                                   "'%3', la tabella conserva i dati precedenti: %4")
                        .arg(tTabella.name())
                        .arg(lineNumber + 1)
                        .arg(path, e.message()));
    }
    return imported;
}

} // namespace ostrel
