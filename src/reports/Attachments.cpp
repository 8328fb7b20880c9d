#include "Attachments.h"

#include "ReportRules.h"

#include "platform/Errors.h"
#include "platform/Report.h"

#include <algorithm>
#include <cmath>

namespace ostrel {

namespace {

enum class Group { PcU, CcU, PcE, CcE };
enum class Term { Reimputed, Year1, Year2, Year3, Later };

struct Column {
    const char* name;
    Group group;
    int gara; // -1: revenues, no Gara
    Term term;
};

// The columns of qAll51 in the order of the statement.
const Column kAll51[] = {
    {"PC_1", Group::PcU, 0, Term::Reimputed},   {"CC_1", Group::CcU, 0, Term::Reimputed},
    {"PC_a", Group::PcU, 1, Term::Reimputed},   {"CC_a", Group::CcU, 1, Term::Reimputed},
    {"PC_2", Group::PcE, -1, Term::Reimputed},  {"CC_2", Group::CcE, -1, Term::Reimputed},
    {"PC_4", Group::PcU, 0, Term::Year1},       {"CC_4", Group::CcU, 0, Term::Year1},
    {"PC_b", Group::PcU, 1, Term::Year1},       {"CC_b", Group::CcU, 1, Term::Year1},
    {"PC_5", Group::PcE, -1, Term::Year1},      {"CC_5", Group::CcE, -1, Term::Year1},
    {"PC_9", Group::PcU, 0, Term::Year2},       {"CC_9", Group::CcU, 0, Term::Year2},
    {"PC_c", Group::PcU, 1, Term::Year2},       {"CC_c", Group::CcU, 1, Term::Year2},
    {"PC_10", Group::PcE, -1, Term::Year2},     {"CC_10", Group::CcE, -1, Term::Year2},
    {"PC_14", Group::PcU, 0, Term::Year3},      {"CC_14", Group::CcU, 0, Term::Year3},
    {"PC_d", Group::PcU, 1, Term::Year3},       {"CC_d", Group::CcU, 1, Term::Year3},
    {"PC_15", Group::PcE, -1, Term::Year3},     {"CC_15", Group::CcE, -1, Term::Year3},
    {"PC_EE_Oltre", Group::PcE, -1, Term::Later}, {"CC_EE_Oltre", Group::CcE, -1, Term::Later},
    {"PC_UU_Oltre", Group::PcU, 0, Term::Later}, {"CC_UU_Oltre", Group::CcU, 0, Term::Later},
};

QString zeroIfNull(const char* column)
{
    return QStringLiteral("IIF(%1 IS NULL, 0, %1)").arg(QLatin1String(column));
}

QString reimputedTotal()
{
    return zeroIfNull("ResAnno1") + " + " + zeroIfNull("ResAnno2") + " + "
           + zeroIfNull("ResAnno3") + " + " + zeroIfNull("ResOltre");
}

QString termText(Term term)
{
    switch (term) {
    case Term::Reimputed:
        return reimputedTotal();
    case Term::Year1:
        return zeroIfNull("ResAnno1");
    case Term::Year2:
        return zeroIfNull("ResAnno2");
    case Term::Year3:
        return zeroIfNull("ResAnno3");
    case Term::Later:
        return zeroIfNull("ResOltre");
    }
    return {};
}

// Groups by the budget classification, compared as text: the title is the
// first character.
QString groupCondition(Group group)
{
    switch (group) {
    case Group::PcU:
        return "(substr(UEB, 1, 1) = '1' OR (substr(UEB, 1, 1) = '3' AND substr(UEB, -2) IN "
               "('03', '04', '05')))";
    case Group::CcU:
        return "substr(UEB, 1, 1) = '2'";
    case Group::PcE:
        return "substr(UEB, 1, 1) IN ('1', '2', '3')";
    case Group::CcE:
        return "(substr(UEB, 1, 1) = '4' OR (substr(UEB, 1, 1) = '5' AND substr(UEB, 2, 2) IN "
               "('03', '04')))";
    }
    return {};
}

QString whereOf(const Column& c)
{
    QString where = groupCondition(c.group);
    if (c.gara >= 0)
        where += QStringLiteral(" AND Gara = %1").arg(c.gara);
    return where;
}

QString tableOf(const Column& c)
{
    return c.gara < 0 ? QStringLiteral("tEntrate") : QStringLiteral("tUscite");
}

double number(const QHash<QString, QVariant>& columns, const QString& name)
{
    const QVariant v = columns.value(name);
    return v.isValid() && !v.isNull() ? v.toDouble() : 0.0;
}

} // namespace

Attachments::Attachments(LocalStore* store)
    : qAll51(QStringLiteral("qAll51"), store), qAll52(QStringLiteral("qAll52"), store)
{
    qAll51.setSql(qAll51Sql());
    qAll52.setSql(qAll52Sql());
    // Declared: a column that is null in the first row still reads as an amount.
    for (const Column& c : kAll51)
        qAll51.addField(QString::fromLatin1(c.name), FieldType::Real);
    for (const QString& name : QStringList{"Punto_b", "Punto_c", "Punto_d", "Punto_e", "Punto_f"})
        qAll52.addField(name, FieldType::Real);
    for (const QString& name : fundColumns())
        qAll52.addField(name, FieldType::Real);
    qAll51.setReadOnly(true);
    qAll52.setReadOnly(true);
}

QStringList Attachments::qAll51Sql()
{
    QStringList lines{QStringLiteral("SELECT")};
    const int n = int(std::size(kAll51));
    for (int i = 0; i < n; ++i) {
        const Column& c = kAll51[i];
        const QString comma = i + 1 < n ? QStringLiteral(",") : QString();
        // The first column aggregates the outer rows: expenditures, PC, Gara false.
        if (i == 0)
            lines.append(QStringLiteral("  Sum(%1) AS %2%3").arg(termText(c.term), c.name, comma));
        else
            lines.append(QStringLiteral("  (SELECT Sum(%1) FROM %2 WHERE %3) AS %4%5")
                             .arg(termText(c.term), tableOf(c), whereOf(c), c.name, comma));
    }
    lines << QStringLiteral("FROM") << QStringLiteral("  tUscite") << QStringLiteral("WHERE")
          << QStringLiteral("  ") + whereOf(kAll51[0]);
    return lines;
}

QStringList Attachments::qAll52Sql()
{
    QStringList lines{QStringLiteral("SELECT")};
    lines << QStringLiteral("  Sum(%1) AS Punto_b,").arg(zeroIfNull("ResEliminato"))
          << QStringLiteral("  (SELECT Sum(%1 + %2 + %3 + %4) FROM tUscite) AS Punto_c,")
                 .arg(zeroIfNull("AvLibero"), zeroIfNull("AvAccantonato"),
                      zeroIfNull("AvVincolato"), zeroIfNull("AvDestinato"))
          << QStringLiteral("  (SELECT Sum(%1) FROM tEntrate) AS Punto_d,").arg(reimputedTotal())
          << QStringLiteral("  (SELECT Sum(%1) FROM tUscite WHERE Gara = 0) AS Punto_e,")
                 .arg(reimputedTotal())
          << QStringLiteral("  (SELECT Sum(%1) FROM tUscite WHERE Gara = 1) AS Punto_f,")
                 .arg(reimputedTotal());
    const QStringList& funds = fundColumns();
    for (int i = 0; i < funds.size(); ++i)
        lines << QStringLiteral("  (SELECT %1 FROM tFondiVincoli) AS %1%2")
                     .arg(funds[i], i + 1 < funds.size() ? "," : "");
    lines << QStringLiteral("FROM") << QStringLiteral("  tEntrate");
    return lines;
}

const QStringList& Attachments::frxDBAll51Names()
{
    static const QStringList names = {
        "PC_1",  "CC_1",  "PC_a",  "CC_a",  "PC_2",  "CC_2",        "PC_4",        "CC_4",
        "PC_b",  "CC_b",  "PC_5",  "CC_5",  "PC_9",  "CC_9",        "PC_c",        "CC_c",
        "PC_10", "CC_10", "PC_14", "CC_d",  "PC_d",  "CC_14",       "PC_15",       "CC_15",
        "PC_EE_Oltre", "CC_EE_Oltre", "PC_UU_Oltre", "CC_UU_Oltre"};
    return names;
}

const QStringList& Attachments::frxDBAll52Names()
{
    static const QStringList names = {"Punto_a",      "Punto_b",      "Punto_c",     "Punto_d",
                                      "Punto_e",      "Punto_f",      "FondoCredito", "FondoAl",
                                      "VincoloLeggi", "VincoloTrasf", "VincoloMutui", "VincoloEnte",
                                      "VincoloAltro", "Punto_m"};
    return names;
}

const QStringList& Attachments::fundColumns()
{
    static const QStringList names = {"Punto_a",      "FondoCredito", "FondoAl",
                                      "VincoloLeggi", "VincoloTrasf", "VincoloMutui",
                                      "VincoloEnte",  "VincoloAltro", "Punto_m"};
    return names;
}

Attachments::Figures Attachments::derive51(const QHash<QString, QVariant>& columns)
{
    Figures pc;
    Figures cc;
    for (const QString& part : {QStringLiteral("PC"), QStringLiteral("CC")}) {
        auto in = [&](const char* row) { return number(columns, part + u'_' + QLatin1String(row)); };
        Figures& out = part == u"PC" ? pc : cc;
        const double r3 = std::max(0.0, in("1") + in("a") - in("2"));
        const double r6 = in("4") + in("b") - in("5");
        const double r7 = r3 - r6;
        const double r8 = r7;
        const double r11 = in("9") + in("c") - in("10");
        const double r12 = r8 - r11;
        const double r13 = r12;
        const double r16 = in("14") + in("d") - in("15");
        const double r17 = r13 - r16;
        const double r20 = r17 - in("UU_Oltre") + in("EE_Oltre");
        const std::pair<const char*, double> rows[] = {{"3", r3},   {"6", r6},   {"7", r7},
                                                       {"8", r8},   {"11", r11}, {"12", r12},
                                                       {"13", r13}, {"16", r16}, {"17", r17},
                                                       {"20", r20}};
        for (const auto& [row, value] : rows)
            out.append({part + u'_' + QLatin1String(row), value});
    }
    Figures figures;
    for (qsizetype i = 0; i < pc.size(); ++i)
        figures << pc[i] << cc[i];
    return figures;
}

Attachments::Figures Attachments::derive52(const QHash<QString, QVariant>& columns)
{
    auto in = [&](const char* name) { return number(columns, QLatin1String(name)); };
    const double g = std::max(0.0, in("Punto_e") + in("Punto_f") - in("Punto_d"));
    const double h = in("Punto_a") - in("Punto_b") + in("Punto_c") - in("Punto_d")
                     + in("Punto_e") + in("Punto_f") - g;
    const double i = in("FondoCredito") + in("FondoAl");
    const double l = in("VincoloLeggi") + in("VincoloTrasf") + in("VincoloMutui")
                     + in("VincoloEnte") + in("VincoloAltro");
    const double n = h - i - l - in("Punto_m");
    return {{"Punto_g", g}, {"Punto_h", h}, {"Punto_i", i}, {"Punto_l", l}, {"Punto_n", n}};
}

bool Attachments::isNegative(double amount)
{
    return std::round(amount * 100.0) < 0;
}

void Attachments::FormShow()
{
    qAll51.close();
    qAll52.close();
    qAll51.open();
    qAll52.open();
}

void Attachments::FormClose()
{
    qAll51.close();
    qAll52.close();
}

void Attachments::DBEditRev1Exit(DataSet& tFondiVincoli)
{
    if (!tFondiVincoli.isEditing())
        return;
    tFondiVincoli.post();
    qAll52.close();
    qAll52.open();
}

QHash<QString, QVariant> Attachments::firstRow(DataSet& ds)
{
    if (!ds.isActive())
        ds.open();
    QHash<QString, QVariant> row;
    for (const auto& field : ds.fields())
        row.insert(field->name(), ds.valueAt(0, *field));
    return row;
}

ReportDataSet Attachments::frxDBAll51()
{
    QList<ReportAlias> aliases;
    for (const QString& name : frxDBAll51Names())
        aliases.append({name, QString()});
    return ReportDataSet(QStringLiteral("frxDBAll51"), &qAll51, aliases);
}

ReportDataSet Attachments::frxDBAll52()
{
    QList<ReportAlias> aliases;
    for (const QString& name : frxDBAll52Names())
        aliases.append({name, QString()});
    return ReportDataSet(QStringLiteral("frxDBAll52"), &qAll52, aliases);
}

namespace {

ReportDataSet figuresDataSet(const QString& name, const Attachments::Figures& figures,
                             QList<ReportDataSet::Column> extraColumns = {},
                             QVariantList extraValues = {})
{
    QList<ReportDataSet::Column> columns;
    QVariantList row;
    for (const auto& [figure, value] : figures) {
        columns.append({figure, ReportKind::Amount});
        row.append(value);
    }
    columns += extraColumns;
    row += extraValues;
    return ReportDataSet(name, columns, {row});
}

} // namespace

ReportDataSet Attachments::calcoli51()
{
    return figuresDataSet(QStringLiteral("Calcoli51"), derive51(firstRow(qAll51)));
}

ReportDataSet Attachments::calcoli52()
{
    const Figures figures = derive52(firstRow(qAll52));
    return figuresDataSet(QStringLiteral("Calcoli52"), figures,
                          {{QStringLiteral("Negativo_n"), ReportKind::Flag}},
                          {isNegative(figures.back().second)});
}

void Attachments::bAll51Click(Report& report)
{
    report.loadFromFile(ReportRules::templatePath(QStringLiteral("All-51.html")));
    report.clearDataSets();
    report.getValue = nullptr;
    report.addDataSet(frxDBAll51());
    report.addDataSet(calcoli51());
}

void Attachments::bAll52Click(Report& report)
{
    report.loadFromFile(ReportRules::templatePath(QStringLiteral("All-52.html")));
    report.clearDataSets();
    report.getValue = nullptr;
    report.addDataSet(frxDBAll52());
    report.addDataSet(calcoli52());
}

void storeFunds(DataSet& tFondiVincoli, const QList<std::pair<QString, QString>>& values)
{
    const QStringList& columns = Attachments::fundColumns();
    for (const auto& [name, value] : values)
        if (!columns.contains(name, Qt::CaseInsensitive))
            throw EDatabaseError(
                QStringLiteral("'%1' non è un importo di tFondiVincoli (%2)").arg(name, columns.join(", ")));
    if (!tFondiVincoli.isActive())
        tFondiVincoli.open();
    if (tFondiVincoli.isEmpty()) {
        tFondiVincoli.append();
    } else {
        tFondiVincoli.first();
        tFondiVincoli.edit();
    }
    try {
        for (const auto& [name, value] : values)
            tFondiVincoli.fieldByName(name).setAsString(value.trimmed());
        tFondiVincoli.post();
    } catch (...) {
        tFondiVincoli.cancel();
        throw;
    }
}

} // namespace ostrel
