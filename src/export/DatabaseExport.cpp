#include "DatabaseExport.h"

#include "ExportFeedback.h"

#include "app/DataModule.h"
#include "platform/Errors.h"
#include "platform/MessageBoxes.h"

namespace ostrel {

namespace {

const QString kQuestion = QStringLiteral(
    "Attenzione, si stanno per esportare i riaccertamenti straordinari nel programma Kestra "
    "(Brenvale). Continuo?");
const QString kConfirm = QStringLiteral(
    "Elaborazione terminata. Confermi?\nSe rispondi \"Si\" l'elaborazione diventerà definitiva.");
const QString kDone = QStringLiteral("-> Brenvale: Esportazione terminata.");
const QString kDiscarded = QStringLiteral("Esportazione annullata.");

struct Quota {
    const char* column;
    const char* year;
    const char* flag;
};
const Quota kQuotas[] = {
    {"ResAnno2", "2016", "FlCop2"},
    {"ResAnno3", "2017", "FlCop3"},
    {"ResOltre", "2018", "FlCopOltre"},
};

void declareFields(DataSet& query, bool expenditures)
{
    query.addField(QStringLiteral("Tipo"), FieldType::Text, 255);
    query.addField(QStringLiteral("UEB"), FieldType::Text, 7);
    query.addField(QStringLiteral("Numero"), FieldType::Text, 8);
    query.addField(QStringLiteral("Sub"), FieldType::Int2);
    query.addField(QStringLiteral("Anno"), FieldType::Int2);
    for (const char* amount : {"ImportoBak", "ResAnno2", "ResAnno3", "ResOltre"})
        query.addField(QString::fromLatin1(amount), FieldType::Real);
    if (expenditures)
        for (const char* flag : {"FlCop2", "FlCop3", "FlCopOltre"})
            query.addField(QString::fromLatin1(flag), FieldType::Bool);
    query.addField(QStringLiteral("Cap"), FieldType::Int4);
    query.addField(QStringLiteral("Art"), FieldType::Int2);
    query.addField(QStringLiteral("Descrizione"), FieldType::Text, 255).setReadOnly(true);
    query.setReadOnly(true);
}

// Hourglass on for as long as it lives, off at most once.
class Busy {
public:
    explicit Busy(ExportFeedback& feedback) : m_feedback(feedback) { m_feedback.setBusy(true); }
    ~Busy() { off(); }
    void off()
    {
        if (m_on)
            m_feedback.setBusy(false);
        m_on = false;
    }

private:
    ExportFeedback& m_feedback;
    bool m_on = true;
};

} // namespace

DatabaseExport::DatabaseExport(TdTabelle& tables, QString settingsBaseName)
    : qEntrateM(QStringLiteral("qEntrateM"), &tables.cnOstrel),
      qUsciteM(QStringLiteral("qUsciteM"), &tables.cnOstrel),
      oqCFCAPITOLIPEG(tables.acKestra,
                      {QStringLiteral("SELECT"), QStringLiteral("idcapitolo"), QStringLiteral("FROM"),
                       QStringLiteral("cfcapitolipeg"), QStringLiteral("WHERE"),
                       QStringLiteral("app = :Tipo AND"), QStringLiteral("eser = :Anno AND"),
                       QStringLiteral("cap = :Capitolo AND"), QStringLiteral("art = :Articolo AND"),
                       QStringLiteral("flcopfplur = :FlCop")},
                      {QStringLiteral("Tipo"), QStringLiteral("Anno"), QStringLiteral("Capitolo"),
                       QStringLiteral("Articolo"), QStringLiteral("FlCop")},
                      &m_log),
      m_tables(tables), m_settingsBaseName(std::move(settingsBaseName))
{
    qEntrateM.setSql({QStringLiteral(
        "SELECT 'E' AS Tipo, UEB, Numero, Sub, Anno, ImportoBak, ResAnno2, ResAnno3, ResOltre, Cap, "
        "Art, IIF(Descrizione IS NULL, Oggetto, Descrizione) AS Descrizione FROM tEntrate WHERE "
        "ResAnno2 > 0 OR ResAnno3 > 0 OR ResOltre > 0 ORDER BY Anno, Numero, Sub")});
    qUsciteM.setSql({QStringLiteral(
        "SELECT 'S' AS Tipo, UEB, Numero, Sub, Anno, ImportoBak, ResAnno2, ResAnno3, ResOltre, "
        "FlCop2, FlCop3, FlCopOltre, Cap, Art, IIF(Descrizione IS NULL, Oggetto, Descrizione) AS "
        "Descrizione FROM tUscite WHERE ResAnno2 > 0 OR ResAnno3 > 0 OR ResOltre > 0 ORDER BY Anno, "
        "Numero, Sub")});
    declareFields(qEntrateM, false);
    declareFields(qUsciteM, true);
    oqCFCAPITOLIPEG.beforeOpen = [this](AccountingLookup& lookup) { oqCFCAPITOLIPEGBeforeOpen(lookup); };
}

DatabaseExport::~DatabaseExport()
{
    oqCFCAPITOLIPEG.release();
}

QString DatabaseExport::amountText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    // d.dddddddddddddde±x: the 15 significant digits and where the point goes.
    const QString e = QString::number(value, 'e', 14);
    const bool negative = e.startsWith(u'-');
    const qsizetype mark = e.indexOf(u'e');
    QString digits = e.mid(negative ? 1 : 0, mark - (negative ? 1 : 0)).remove(u'.');
    const int exponent = e.mid(mark + 1).toInt();
    while (digits.endsWith(u'0'))
        digits.chop(1);
    const int integerDigits = exponent + 1;
    QString text;
    if (integerDigits <= 0)
        text = QStringLiteral("0.") + QString(-integerDigits, u'0') + digits;
    else if (integerDigits >= digits.size())
        text = digits + QString(integerDigits - digits.size(), u'0');
    else
        text = digits.left(integerDigits) + u'.' + digits.mid(integerDigits);
    return negative ? u'-' + text : text;
}

QString DatabaseExport::quoted(const QString& text)
{
    QString inner = text;
    inner.replace(u'\'', QStringLiteral("''"));
    return u'\'' + inner + u'\'';
}

QString DatabaseExport::sourceText(const char* field) const
{
    return m_tTabella->fieldByName(QString::fromLatin1(field)).asString();
}

QString DatabaseExport::dateText() const
{
    return quoted(today().toString(QStringLiteral("dd/MM/yyyy")));
}

QString DatabaseExport::subject() const
{
    return quoted(sourceText("Numero") + u'/' + sourceText("Anno") + u' ' + sourceText("Descrizione"));
}

void DatabaseExport::oqCFCAPITOLIPEGBeforeOpen(AccountingLookup& DataSet)
{
    DataSet.setParameter(QStringLiteral("Tipo"), Tipo);
    DataSet.setParameter(QStringLiteral("Anno"), Anno);
    DataSet.setParameter(QStringLiteral("Capitolo"), Capitolo);
    DataSet.setParameter(QStringLiteral("Articolo"), Articolo);
    DataSet.setParameter(QStringLiteral("FlCop"), FlCop);
}

void DatabaseExport::startRun()
{
    m_log.clear();
    m_commitments.clear();
    m_chapters.clear();
    IdCapitolo.clear();
    IdAcc.clear();
    NumAcc.clear();
    IdImp.clear();
    NumImp.clear();
    // The session was opened again: a statement prepared on the old one is gone.
    oqCFCAPITOLIPEG.release();
    qTemp = std::make_unique<AccountingStatement>(m_tables.acKestra, &m_log);
}

DatabaseExport::Outcome DatabaseExport::bbExportDbClick(ExportFeedback& feedback)
{
    if (!m_tables.ApriKestra(m_tables.Host)) {
        messages().error(QStringLiteral("Non è stato possibile accedere alla banca dati di Kestra. "
                                        "Controllare nei parametri, oppure il file ")
                         + m_settingsBaseName
                         + QStringLiteral(".ini.\nSuccessivamente rilanciare l'esportazione."));
        feedback.showParameters();
        return Outcome::NotConnected;
    }
    if (!messages().confirm(kQuestion))
        return Outcome::Declined;
    Busy busy(feedback);
    try {
        startRun();
        Esporta(qEntrateM, &feedback);
        Esporta(qUsciteM, &feedback);
        oqCFCAPITOLIPEG.release();
        if (messages().confirm(kConfirm)) {
            m_tables.acKestra.commit();
            qTemp.reset();
            busy.off();
            messages().information(kDone);
            return Outcome::Committed;
        }
        busy.off();
        m_tables.acKestra.rollback();
        messages().information(kDiscarded);
        return Outcome::Discarded;
    } catch (const std::exception& e) {
        busy.off();
        try {
            m_tables.acKestra.rollback();
        } catch (const std::exception&) {
            // Closing ends the transaction without a commit just the same.
            m_tables.acKestra.close();
        }
        oqCFCAPITOLIPEG.release();
        messages().plain(QStringLiteral("Si è verificato un errore ") + errorClassName(e)
                         + QStringLiteral(": ") + errorText(e));
        return Outcome::Failed;
    }
}

void DatabaseExport::Esporta(DataSet& tTabella, ExportFeedback* feedback)
{
    const bool revenues = tTabella.name() == u"qEntrateM";
    const QString label = revenues ? QStringLiteral("Entrate") : QStringLiteral("Uscite");
    tTabella.close();
    tTabella.open();
    m_tTabella = &tTabella;
    const int total = tTabella.recordCount();
    int done = 0;
    if (feedback)
        feedback->progress(label, done, total);
    for (tTabella.first(); !tTabella.eof(); tTabella.next()) {
        for (const Quota& quota : kQuotas) {
            const double value = tTabella.fieldByName(QString::fromLatin1(quota.column)).asFloat();
            if (!(value > 0))
                continue;
            Anno = QString::fromLatin1(quota.year);
            if (!revenues) {
                FlCop = QStringLiteral("N");
                if (tTabella.fieldByName(QString::fromLatin1(quota.flag)).asBoolean())
                    FlCop = QStringLiteral("S");
            }
            if (revenues)
                CreaAcc(amountText(value));
            else
                CreaImp(amountText(value));
        }
        if (feedback)
            feedback->progress(label, ++done, total);
    }
    tTabella.close();
    m_tTabella = nullptr;
    qTemp->set({QStringLiteral(
        "INSERT INTO CFPEGPERPROGRAMMI (IDCAPITOLO, IDPROGETTO, STANZINI, VARAUM, VARDIM) SELECT "
        "IDCAPITOLO, 0, STANZINI, VARAUM, VARDIM FROM CFCAPITOLIPEG WHERE IDCAPITOLO NOT IN (SELECT "
        "IDCAPITOLO FROM CFPEGPERPROGRAMMI)")});
    qTemp->execute();
    qTemp->set({QStringLiteral(
        "INSERT INTO CFPEGPERCdC (IDCAPITOLO, CODCDC, IMPSTA, IMPVARAUM, IMPVARDIM, ASSESTANNPREC) "
        "SELECT IDCAPITOLO, 0 , STANZINI, VARAUM, VARDIM, ASSESTANNPREC FROM CFCAPITOLIPEG WHERE "
        "IDCAPITOLO NOT IN (SELECT IDCAPITOLO FROM CFPEGPERCdC)")});
    qTemp->execute();
}

void DatabaseExport::CreaAcc(const QString& Importo)
{
    creaImpegno(true, Importo);
}

void DatabaseExport::CreaImp(const QString& Importo)
{
    creaImpegno(false, Importo);
}

void DatabaseExport::creaImpegno(bool revenue, const QString& Importo)
{
    const QString table = revenue ? QStringLiteral("cfaccertamenti") : QStringLiteral("cfimpegni");
    const QString id = revenue ? QStringLiteral("idacc") : QStringLiteral("idimp");
    const QString number = revenue ? QStringLiteral("numacc") : QStringLiteral("numimp");
    qTemp->set({QStringLiteral("SELECT NVL(MAX(%1), 0) + 1").arg(id), QStringLiteral("FROM ") + table});
    const QString newId = qTemp->value();
    qTemp->set({QStringLiteral("SELECT NVL(MAX(%1), 0) + 1").arg(number), QStringLiteral("FROM ") + table,
                QStringLiteral("WHERE Eser = ") + Anno});
    const QString newNumber = qTemp->value();
    (revenue ? IdAcc : IdImp) = newId;
    (revenue ? NumAcc : NumImp) = newNumber;

    oqCFCAPITOLIPEG.close();
    Tipo = sourceText("Tipo");
    Capitolo = sourceText("Cap");
    Articolo = sourceText("Art");
    if (revenue)
        FlCop = QStringLiteral("N");
    oqCFCAPITOLIPEG.open();
    if (oqCFCAPITOLIPEG.isEmpty()) {
        CreaCapitolo(Importo);
    } else {
        // The update is narrowed to this row, so it is read first.
        IdCapitolo = oqCFCAPITOLIPEG.value(0);
        AggiornaCapitolo(Importo);
    }

    const QString date = dateText();
    const QString oggetto = subject();
    if (revenue)
        qTemp->set({QStringLiteral("INSERT INTO CFACCERTAMENTI (IDACC, ESER, NUMACC, DTAACC, IDATTO, "
                                   "OGGETTO, CODCDR, IDCAPITOLO, IMPINI) VALUES (")
                    + IdAcc + QStringLiteral(", ") + Anno + QStringLiteral(", ") + NumAcc
                    + QStringLiteral(", ") + QStringLiteral("to_date(") + date
                    + QStringLiteral(", 'DD/MM/YYYY'), ") + QStringLiteral("0, ") + oggetto
                    + QStringLiteral(", ") + QStringLiteral("0, ") + IdCapitolo + QStringLiteral(", ")
                    + Importo + u')'});
    else
        qTemp->set({QStringLiteral("INSERT INTO CFIMPEGNI (IDIMP, ESER, NUMIMP, DTAIMP, IDATTO, "
                                   "OGGETTO, CODCDR, IDCAPITOLO, IMPINI) VALUES (")
                    + IdImp + QStringLiteral(", ") + Anno + QStringLiteral(", ") + NumImp
                    + QStringLiteral(", ") + QStringLiteral("to_date(") + date
                    + QStringLiteral(", 'DD/MM/YYYY'), ") + QStringLiteral("0, ") + oggetto
                    + QStringLiteral(", ") + QStringLiteral("0, ") + IdCapitolo + QStringLiteral(", ")
                    + Importo + u')'});
    qTemp->execute();

    const QString detailHead =
        revenue ? QStringLiteral("INSERT INTO CFDETTACCERTAMENTI (IDACC, NUMDETTACC, DTAMOV, IDATTO, "
                                 "OGGETTO, CODCDR, IDCREDDEB, IMPINI) VALUES (")
                : QStringLiteral("INSERT INTO CFDETTIMPEGNI (IDIMP, NUMDETTIMP, DTAMOV, IDATTO, "
                                 "OGGETTO, CODCDR, IDCREDDEB, IMPINI) VALUES (");
    const QString subqueries =
        revenue ? QStringLiteral("(SELECT IDCREDDEB FROM CFDETTACCERTAMENTI WHERE IDACC = (")
                      + QStringLiteral("SELECT IDACC FROM CFACCERTAMENTI WHERE IDCAPITOLO = (")
                : QStringLiteral("(SELECT IDCREDDEB FROM CFDETTIMPEGNI WHERE IDIMP = (")
                      + QStringLiteral("SELECT IDIMP FROM CFIMPEGNI WHERE IDCAPITOLO = (");
    qTemp->set({detailHead + newId + QStringLiteral(", ") + QStringLiteral("1, ")
                + QStringLiteral("to_date(") + dateText() + QStringLiteral(", 'DD/MM/YYYY'), ")
                + QStringLiteral("0, ") + oggetto + QStringLiteral(", ") + QStringLiteral("0, ")
                + subqueries + QStringLiteral("SELECT IDCAPITOLO FROM CFCAPITOLIPEG WHERE APP = ")
                + quoted(sourceText("Tipo")) + QStringLiteral(" ") + QStringLiteral("AND ESER = ")
                + sourceText("Anno") + QStringLiteral(" ") + QStringLiteral("AND CAP = ")
                + sourceText("Cap") + QStringLiteral(" ") + QStringLiteral("AND ART = ")
                + sourceText("Art") + QStringLiteral("))), ") + Importo + u')'});
    qTemp->execute();
    oqCFCAPITOLIPEG.close();

    m_commitments.push_back({revenue, newId, Anno, newNumber, IdCapitolo, Importo,
                             sourceText("Numero") + u'/' + sourceText("Anno") + u' '
                                 + sourceText("Descrizione")});
}

void DatabaseExport::CreaCapitolo(const QString& Importo)
{
    qTemp->set({QStringLiteral("SELECT NVL(MAX(idcapitolo), 0) + 1"), QStringLiteral("FROM cfcapitolipeg")});
    IdCapitolo = qTemp->value();

    const QString tipo = quoted(sourceText("Tipo"));
    const QString residueYear = sourceText("Anno");
    const QString where = QStringLiteral("WHERE APP = ") + tipo + QStringLiteral(" AND CAP = ") + Capitolo
        + QStringLiteral(" AND ART = ") + Articolo + QStringLiteral(" AND ESER = ") + residueYear;
    // The copy needs exactly one row to copy: none would leave the new
    // commitment on a chapter that does not exist, several would insert
    // several rows under the same new id.
    qTemp->set({QStringLiteral("SELECT COUNT(*), MIN(IDCAPITOLO)"), QStringLiteral("FROM CFCAPITOLIPEG"), where});
    const QStringList source = qTemp->row();
    const int rows = source.value(0).toInt();
    if (rows == 0)
        throw EDatabaseError(
            QStringLiteral("Impossibile creare il capitolo %1 %2 articolo %3 del %4: nel %5 non esiste "
                           "il capitolo %1 %2 articolo %3 da copiare")
                .arg(sourceText("Tipo") == u"E" ? QStringLiteral("di entrata") : QStringLiteral("di spesa"),
                     Capitolo, Articolo, Anno, residueYear));

    qTemp->set({QStringLiteral("INSERT INTO CFCAPITOLIPEG (IDCAPITOLO, ESER, CODCDR, APP, UEB, CODVOCE, CAP, "
                               "ART, CODTIT, CODCAT, CODFNZ, CODRIS, CODSER, CODINT, PROPOSTA, STANZINI, "
                               "VARAUM, VARDIM, ASSESTANNPLUR, CODGEST, FLCOPFPLUR) SELECT ")
                + IdCapitolo + QStringLiteral(", ") + Anno + QStringLiteral(", ") + QStringLiteral("CODCDR, ")
                + tipo + QStringLiteral(", ") + QStringLiteral("UEB, ") + QStringLiteral("CODVOCE, ")
                + Capitolo + QStringLiteral(", ") + Articolo + QStringLiteral(", ")
                + QStringLiteral("CODTIT, ") + QStringLiteral("CODCAT, ") + QStringLiteral("CODFNZ, ")
                + QStringLiteral("CODRIS, ") + QStringLiteral("CODSER, ") + QStringLiteral("CODINT, ")
                + Importo + QStringLiteral(", ") + Importo + QStringLiteral(", ") + QStringLiteral("0, 0, ")
                + Importo + QStringLiteral(", CODGEST, ") + quoted(FlCop) + QStringLiteral(" ")
                + QStringLiteral("FROM CFCAPITOLIPEG ") + where
                + (rows > 1 ? QStringLiteral(" AND IDCAPITOLO = ") + source.value(1) : QString())});
    qTemp->execute();
    m_chapters.push_back({true, IdCapitolo, sourceText("Tipo"), Anno, Capitolo, Articolo, FlCop, Importo});
}

void DatabaseExport::AggiornaCapitolo(const QString& Importo)
{
    // Only the row the lookup found: the same chapter may be there under
    // the other coverage flag too.
    qTemp->set({QStringLiteral("UPDATE CFCAPITOLIPEG SET PROPOSTA = PROPOSTA + ") + Importo
                + QStringLiteral(", ") + QStringLiteral("STANZINI = STANZINI + ") + Importo
                + QStringLiteral(", ") + QStringLiteral("ASSESTANNPLUR = ASSESTANNPLUR + ") + Importo
                + QStringLiteral(" ") + QStringLiteral("WHERE APP = ") + quoted(sourceText("Tipo"))
                + QStringLiteral(" AND CAP = ") + Capitolo + QStringLiteral(" AND ART = ") + Articolo
                + QStringLiteral(" AND ESER = ") + Anno + QStringLiteral(" AND IDCAPITOLO = ")
                + IdCapitolo});
    qTemp->execute();
    m_chapters.push_back({false, IdCapitolo, sourceText("Tipo"), Anno, Capitolo, Articolo, FlCop, Importo});
}

} // namespace ostrel
