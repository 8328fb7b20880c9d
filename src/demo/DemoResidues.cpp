#include "DemoResidues.h"

#include "platform/AnsiCodec.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace ostrel::DemoResidues {

namespace {

// A fixed generator, so that the files are the same on every platform.
class Random {
public:
    explicit Random(quint32 seed) : m_state(seed * 2654435761u + 1) {}
    quint32 next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int below(int n) { return int(next() % quint32(n)); }
    template <typename T>
    const T& pick(const QList<T>& list) { return list[below(int(list.size()))]; }

private:
    quint32 m_state;
};

struct Chapter {
    int cap;
    int art;
    QString ueb;
    QString description;
};

const QStringList kRevenueChapters = {
    "Imposta municipale propria", "Addizionale comunale all'IRPEF",
    "Tassa sui rifiuti (TARI)", "Contributo regionale per l'edilizia scolastica",
    "Trasferimenti dello Stato per il fondo di solidarietà", "Proventi dell'attività di vigilanza",
    "Canoni d'affitto di immobili comunali", "Proventi delle mense scolastiche",
    "Sanzioni per violazioni al codice della strada", "Diritti di segreteria e rogito",
    "Alienazione di aree e fabbricati", "Oneri di urbanizzazione",
    "Contributo regionale per la viabilità", "Mutuo per la riqualificazione della piazza",
    "Rimborsi dall'Unione dei comuni", "Concessioni cimiteriali",
};

const QStringList kExpenditureChapters = {
    "Stipendi del personale dell'ufficio tecnico", "Manutenzione ordinaria di strade e piazze",
    "Servizio di raccolta dei rifiuti solidi urbani", "Illuminazione pubblica: energia elettrica",
    "Trasporto scolastico", "Contributi alle associazioni di volontariato",
    "Acquisto di libri per la biblioteca civica", "Rimborso quote capitale dei mutui",
    "Rimborso dell'anticipazione di tesoreria", "Interessi passivi su mutui",
    "Realizzazione della pista ciclabile", "Ristrutturazione della scuola primaria",
    "Acquisto di automezzi per la polizia locale", "Spese per le attività culturali ed educative",
    "Utenze e canoni per gli uffici comunali", "Incarichi professionali per la progettazione",
};

// Placeholders: {capitolo}, {numero}, {anno}, {fornitore}.
const QStringList kResidueDescriptions = {
    "Saldo {capitolo}", "Acconto {capitolo} - seconda rata", "Quota d'iscrizione al consorzio",
    "Fattura n. {numero} del {anno}", "Liquidazione al fornitore {fornitore}",
    "Contributo per l'anno {anno}", "Stato d'avanzamento lavori n. {numero}",
    "Rimborso spese di notifica", "Conguaglio {capitolo}", "Impegno per attività già affidate",
};

const QStringList kSuppliers = {
    "Edil Città S.r.l.", "Ferramenta Nicolò & C.", "Società Cooperativa L'Àncora",
    "Tipografia Dell'Orto", "Energia Più S.p.A.", "Studio Tecnico Agrò",
};

const QList<QPair<int, QString>> kResponsibles = {
    {1, "D'ANGELO MARIA"},   {2, "ROSSI GIUSEPPE"},  {3, "BIANCHI LUCIA"},
    {4, "FERRARI NICOLÒ"},   {5, "DE LUCA ANDREA"},  {6, "COSTA SERENA"},
    {7, "MONTANARI PAOLO"},  {8, "PERRÒ ELIA"},    {9, "D'AMICO FRANCESCA"},
    {10, "GALLO ROBERTO"},
};

// Budget classifications of every title, with the combinations the
// attachments tell apart (title 5 categories, title 3 interventions).
const QStringList kRevenueUeb = {"1010100", "1020200", "2010100", "2020300", "3010100", "3050100",
                                 "4020100", "4050400", "5030100", "5040100", "5010100", "6010100"};
const QStringList kExpenditureUeb = {"1010101", "1030203", "1040503", "2010501", "2080101",
                                     "3010503", "3010504", "3010505", "3010501", "4000005"};

QString amountText(qint64 cents)
{
    const QString sign = cents < 0 ? QStringLiteral("-") : QString();
    cents = cents < 0 ? -cents : cents;
    return sign + QString::number(cents / 100) + u','
        + QStringLiteral("%1").arg(cents % 100, 2, 10, QChar(u'0'));
}

QList<Chapter> makeChapters(Random& random, const QStringList& descriptions, const QStringList& uebs,
                            int first)
{
    QList<Chapter> chapters;
    for (int i = 0; i < descriptions.size(); ++i) {
        const int cap = first + i * 10 + random.below(10);
        const int articles = 1 + random.below(3);
        for (int art = 1; art <= articles; ++art)
            chapters.append({cap, art, uebs[(i + art) % uebs.size()], descriptions[i]});
    }
    return chapters;
}

QString residueLine(Random& random, const Chapter& chapter, int index, const QString& kind)
{
    const int year = 2005 + random.below(10);
    const QString number = QString::number(1 + index);
    const int sub = random.below(8) == 0 ? 1 + random.below(3) : 0;
    QString description;
    if (random.below(12) != 0) {
        description = random.pick(kResidueDescriptions);
        description.replace(QStringLiteral("{capitolo}"), chapter.description.toLower())
            .replace(QStringLiteral("{numero}"), QString::number(100 + random.below(900)))
            .replace(QStringLiteral("{anno}"), QString::number(year))
            .replace(QStringLiteral("{fornitore}"), random.pick(kSuppliers));
        description.truncate(255);
    } else {
        description = QStringLiteral(" "); // no description: the chapter's is used
    }
    // Mostly small amounts, a few large ones, the odd cent.
    qint64 cents = 1000 + random.below(500000);
    if (random.below(10) == 0)
        cents = cents * 100 + random.below(100);
    const auto& responsible = random.pick(kResponsibles);
    const QStringList fields = {
        kind,
        QString::number(chapter.cap),
        QString::number(chapter.art),
        QStringLiteral("00"),
        chapter.description,
        chapter.ueb,
        QStringLiteral("RES"),
        number,
        QString::number(sub),
        QString::number(year),
        description,
        amountText(cents),
        QString::number(responsible.first),
        responsible.second,
        QStringLiteral("FINE"),
    };
    return u'|' + fields.join(u'|') + u'|';
}

} // namespace

void write(const QString& folder, int lines, quint32 seed)
{
    if (!QDir().mkpath(folder))
        throw EInOutError(QStringLiteral("Impossibile creare la cartella '%1'").arg(folder));
    Random random(seed);
    const QList<Chapter> revenue = makeChapters(random, kRevenueChapters, kRevenueUeb, 100);
    const QList<Chapter> expenditure = makeChapters(random, kExpenditureChapters, kExpenditureUeb, 1000);
    QStringList revenueLines;
    QStringList expenditureLines;
    revenueLines.reserve(lines);
    expenditureLines.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        revenueLines.append(residueLine(random, random.pick(revenue), i, QStringLiteral("E")));
        expenditureLines.append(residueLine(random, random.pick(expenditure), i, QStringLiteral("U")));
    }
    Ansi::writeLines(QDir(folder).filePath(QStringLiteral("97RIAE14.TXT")), revenueLines);
    Ansi::writeLines(QDir(folder).filePath(QStringLiteral("97RIAU14.TXT")), expenditureLines);
}

} // namespace ostrel::DemoResidues
