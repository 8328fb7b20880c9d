#include "DetailListing.h"

#include "ReportRules.h"

#include "app/DataModule.h"
#include "platform/Report.h"
#include "platform/SqlStatement.h"

namespace ostrel {

using Kind = DetailChoices::Kind;

void DetailChoices::resetFilters()
{
    year.clear();
    number.clear();
    chapter.clear();
    ueb.clear();
    responsible.clear();
    amounts = Amounts::Tutti;
    reimputed = Reimputed::Tutti;
}

namespace {

const QStringList kColumnsE = {
    "Id", "Anno", "Numero", "Sub", "Descrizione", "CodResp", "Responsabile", "Cap", "Art",
    "Oggetto", "UEB", "ImportoBak", "ResEliminato", "Causale1", "ResAnno1", "1 AS FlCop1",
    "ResAnno2", "1 AS FlCop2", "ResAnno3", "1 AS FlCop3", "ResOltre", "1 AS FlCopOltre",
    "Causale2", "ResMantenuto", "Causale3"};

const QStringList kColumnsU = {
    "Id", "Anno", "Numero", "Sub", "Descrizione", "CodResp", "Responsabile", "Cap", "Art",
    "Oggetto", "UEB", "ImportoBak", "AvLibero", "AvAccantonato", "AvVincolato", "AvDestinato",
    "Causale1", "ResAnno1", "FlCop1", "ResAnno2", "FlCop2", "ResAnno3", "FlCop3", "ResOltre",
    "FlCopOltre", "Causale2", "ResMantenuto", "Causale3"};

QString zeroIfNull(const QString& column)
{
    return QStringLiteral("IIF(%1 IS NULL, 0, %1)").arg(column);
}

QString reimputedSum()
{
    return QStringLiteral("(%1 + %2 + %3 + %4)")
        .arg(zeroIfNull("ResAnno1"), zeroIfNull("ResAnno2"), zeroIfNull("ResAnno3"),
             zeroIfNull("ResOltre"));
}

QString flaggedSum(int flag)
{
    const QStringList periods = {"1", "2", "3", "Oltre"};
    const QStringList amounts = {"ResAnno1", "ResAnno2", "ResAnno3", "ResOltre"};
    QStringList terms;
    for (int i = 0; i < 4; ++i)
        terms.append(QStringLiteral("IIF(FlCop%1 = %2, %3, 0)")
                         .arg(periods[i])
                         .arg(flag)
                         .arg(zeroIfNull(amounts[i])));
    return QStringLiteral("  AND ") + terms.join(QStringLiteral(" + ")) + QStringLiteral(" > 0");
}

struct Alias {
    const char* exposed;
    const char* field;
};

const QList<Alias> kAliasesE = {
    {"Id", ""}, {"Anno", ""}, {"Numero", ""}, {"Sub", ""}, {"Descrizione", ""}, {"CodResp", ""},
    {"Responsabile", ""}, {"Cap", ""}, {"Art", ""}, {"Oggetto", ""}, {"UEB", ""},
    {"ImportoBak", ""}, {"Causale1", ""}, {"Causale2", ""}, {"Causale3", ""},
    {"ResEliminato", "RE"}, {"ResAnno1", "RA1"}, {"ResAnno2", "RA2"}, {"ResAnno3", "RA3"},
    {"ResOltre", "ROltre"}, {"ResMantenuto", "RM"}};

const QList<Alias> kAliasesU = {
    {"Id", ""}, {"Anno", ""}, {"Numero", ""}, {"Sub", ""}, {"Descrizione", ""}, {"CodResp", ""},
    {"Responsabile", ""}, {"Cap", ""}, {"Art", ""}, {"Oggetto", ""}, {"UEB", ""},
    {"ImportoBak", ""}, {"Causale1", ""}, {"Causale2", ""}, {"Causale3", ""},
    {"AvLibero", "AL"}, {"AvAccantonato", "AA"}, {"AvVincolato", "AV"}, {"AvDestinato", "AD"},
    {"ResAnno1", "RA1"}, {"ResAnno2", "RA2"}, {"ResAnno3", "RA3"}, {"ResOltre", "ROltre"},
    {"ResMantenuto", "RM"}};

} // namespace

QStringList DetailListing::initialSql(Kind kind)
{
    const QStringList& columns = kind == Kind::Entrate ? kColumnsE : kColumnsU;
    QStringList lines{QStringLiteral("SELECT")};
    for (int i = 0; i < columns.size(); ++i)
        lines.append(QStringLiteral("  ") + columns[i] + (i + 1 < columns.size() ? "," : ""));
    lines << QStringLiteral("FROM")
          << (kind == Kind::Entrate ? QStringLiteral("  tEntrate") : QStringLiteral("  tUscite"))
          << QStringLiteral("WHERE") << QStringLiteral("  1=1");
    for (int i = 0; i < 6; ++i)
        lines << QString();
    lines << QStringLiteral("ORDER BY") << QStringLiteral("  Anno, Numero, Sub");
    return lines;
}

void DetailListing::buildQuery(QStringList& lines, Kind kind, const DetailChoices& c)
{
    const bool revenues = kind == Kind::Entrate;
    const int w = TdTabelle::CercaRiga(QStringLiteral("WHERE"), lines);
    lines[w + 1] = QStringLiteral("  Anno || '' like '") + sqlText(c.year.trimmed())
                   + QStringLiteral("%' AND Numero like '") + sqlText(c.number) + QStringLiteral("%'");
    lines[w + 2] = QStringLiteral("  AND Cap like '") + sqlText(c.chapter.trimmed()) + "%'";
    lines[w + 3] = QStringLiteral("  AND Ueb like '") + sqlText(c.ueb.trimmed()) + "%'";
    lines[w + 4] = QStringLiteral("  AND UPPER(Responsabile) like '%")
                   + sqlText(c.responsible.trimmed()) + "%'";
    switch (c.amounts) {
    case DetailChoices::Amounts::Tutti:
        lines[w + 5] = QString();
        lines[w + 6] = QString();
        break;
    case DetailChoices::Amounts::SoloEliminati:
        lines[w + 5] = revenues ? QStringLiteral("  AND ResEliminato > 0")
                                : QStringLiteral("  AND (AvLibero > 0 OR AvAccantonato > 0 OR "
                                                 "AvVincolato > 0 OR AvDestinato > 0)");
        lines[w + 6] = QString();
        break;
    case DetailChoices::Amounts::SenzaEliminati:
        if (revenues) {
            lines[w + 5] = QStringLiteral("  AND (%1 = 0 OR %2 > 0)")
                               .arg(zeroIfNull("ResEliminato"), reimputedSum());
            lines[w + 6] = QString();
        } else {
            lines[w + 5] = QStringLiteral("  AND (%1 = 0 AND %2 = 0 AND %3 = 0 AND %4 = 0")
                               .arg(zeroIfNull("AvLibero"), zeroIfNull("AvAccantonato"),
                                    zeroIfNull("AvVincolato"), zeroIfNull("AvDestinato"));
            lines[w + 6] = QStringLiteral("  OR %1 > 0)").arg(reimputedSum());
        }
        break;
    }
    if (revenues || c.reimputed == DetailChoices::Reimputed::Tutti)
        lines[w + 7] = QString();
    else
        lines[w + 7] = flaggedSum(c.reimputed == DetailChoices::Reimputed::Coperti ? 1 : 0);

    const int o = TdTabelle::CercaRiga(QStringLiteral("ORDER BY"), lines) + 1;
    switch (c.order) {
    case DetailChoices::Order::AnnoNumero:
        lines[o] = QStringLiteral("Anno, Numero, Sub");
        break;
    case DetailChoices::Order::CapArt:
        lines[o] = QStringLiteral("Cap, Art, Anno, Numero");
        break;
    case DetailChoices::Order::Ueb:
        lines[o] = QStringLiteral("UEB");
        break;
    case DetailChoices::Order::Responsabile:
        lines[o] = QStringLiteral("TRIM(Responsabile), Anno, Numero");
        break;
    }
}

DetailListing::DetailListing(LocalStore* store)
    : qDettaglioE(QStringLiteral("qDettaglioE"), store),
      qDettaglioU(QStringLiteral("qDettaglioU"), store)
{
    for (Kind kind : {Kind::Entrate, Kind::Uscite}) {
        DataSet& ds = query(kind);
        ds.setSql(initialSql(kind));
        ds.setReadOnly(true);
        declareFields(ds, kind);
        ds.beforeOpen = [this](DataSet& d) { qDettaglioBeforeOpen(d); };
        ds.calcFields = [this](DataSet& d) { qDettaglioCalcFields(d); };
    }
}

void DetailListing::declareFields(DataSet& ds, Kind kind)
{
    const bool revenues = kind == Kind::Entrate;
    ds.addField("Id", FieldType::Int4);
    ds.addField("Anno", FieldType::Int2);
    ds.addField("Numero", FieldType::Text, 8);
    ds.addField("Sub", FieldType::Int2);
    ds.addField("Descrizione", FieldType::Text, 255);
    ds.addField("CodResp", FieldType::Int2);
    ds.addField("Responsabile", FieldType::Text, 255);
    ds.addField("Cap", FieldType::Int4);
    ds.addField("Art", FieldType::Int2);
    ds.addField("Oggetto", FieldType::Text, 255);
    ds.addField("UEB", FieldType::Text, 7);
    ds.addField("ImportoBak", FieldType::Real);
    const QStringList eliminated = revenues
        ? QStringList{"ResEliminato"}
        : QStringList{"AvLibero", "AvAccantonato", "AvVincolato", "AvDestinato"};
    for (const QString& name : eliminated)
        ds.addField(name, FieldType::Real);
    ds.addField("Causale1", FieldType::Text, 255);
    for (const QString& period : QStringList{"1", "2", "3", "Oltre"}) {
        ds.addField(period == u"Oltre" ? "ResOltre" : "ResAnno" + period, FieldType::Real);
        // Revenues select a constant under the flags' names.
        Field& flag = ds.addField("FlCop" + period, revenues ? FieldType::Int2 : FieldType::Bool);
        flag.setReadOnly(revenues);
    }
    ds.addField("Causale2", FieldType::Text, 255);
    ds.addField("ResMantenuto", FieldType::Real);
    ds.addField("Causale3", FieldType::Text, 255);
    const QStringList calculated = revenues
        ? QStringList{"RE", "RA1", "RA2", "RA3", "ROltre", "RM"}
        : QStringList{"AL", "AA", "AV", "AD", "RA1", "RA2", "RA3", "ROltre", "RM"};
    for (const QString& name : calculated)
        ds.addCalculatedField(name, FieldType::Real);
}

void DetailListing::qDettaglioBeforeOpen(DataSet& DataSet)
{
    const Kind kind = &DataSet == &qDettaglioU ? Kind::Uscite : Kind::Entrate;
    QStringList lines = DataSet.sql();
    buildQuery(lines, kind, choices);
    DataSet.setSql(lines);
}

void DetailListing::qDettaglioCalcFields(DataSet& DataSet)
{
    const bool revenues = &DataSet == &qDettaglioE;
    auto copy = [&](const char* from, const char* to) {
        DataSet.fieldByName(to).setValue(DataSet.fieldByName(from).value());
    };
    auto zero = [&](const char* name) { DataSet.fieldByName(name).setValue(0.0); };
    if (revenues) {
        copy("ResEliminato", "RE");
    } else {
        copy("AvLibero", "AL");
        copy("AvAccantonato", "AA");
        copy("AvVincolato", "AV");
        copy("AvDestinato", "AD");
    }
    // A revenue listing always runs with "Tutti": its flags are constants.
    const auto reimputed = revenues ? DetailChoices::Reimputed::Tutti : choices.reimputed;
    const char* amounts[] = {"ResAnno1", "ResAnno2", "ResAnno3", "ResOltre"};
    const char* flags[] = {"FlCop1", "FlCop2", "FlCop3", "FlCopOltre"};
    const char* targets[] = {"RA1", "RA2", "RA3", "ROltre"};
    for (int p = 0; p < 4; ++p) {
        const bool covered = DataSet.fieldByName(flags[p]).asBoolean();
        if (reimputed == DetailChoices::Reimputed::Tutti
            || (reimputed == DetailChoices::Reimputed::Coperti) == covered)
            copy(amounts[p], targets[p]);
        else
            zero(targets[p]);
    }
    copy("ResMantenuto", "RM");
    if (choices.amounts == DetailChoices::Amounts::SoloEliminati) {
        for (const char* name : {"RA1", "RA2", "RA3", "ROltre", "RM"})
            zero(name);
    } else if (choices.amounts == DetailChoices::Amounts::SenzaEliminati) {
        if (revenues)
            zero("RE");
        else
            for (const char* name : {"AL", "AA", "AV", "AD"})
                zero(name);
    }
}

void DetailListing::frxReport1GetValue(const DetailChoices& c, const QString& VarName,
                                       QVariant& Value)
{
    if (VarName.compare(u"titolo", Qt::CaseInsensitive) == 0) {
        QString title = c.kind == Kind::Entrate ? QStringLiteral("STAMPA DETTAGLIO ENTRATE")
                                                : QStringLiteral("STAMPA DETTAGLIO USCITE");
        switch (c.amounts) {
        case DetailChoices::Amounts::Tutti:
            title += QStringLiteral(" - TUTTI GLI IMPORTI");
            break;
        case DetailChoices::Amounts::SoloEliminati:
            title += QStringLiteral(" - SOLO ELIMINATI");
            break;
        case DetailChoices::Amounts::SenzaEliminati:
            title += QStringLiteral(" - SENZA ELIMINATI");
            break;
        }
        Value = title;
    } else if (VarName.compare(u"dettaglio", Qt::CaseInsensitive) == 0) {
        Value = c.details ? QStringLiteral("s") : QString();
    }
}

QString DetailListing::templateName(const DetailChoices& c)
{
    const bool tipo1 = c.type == 0;
    if (c.kind == Kind::Entrate)
        return tipo1 ? QStringLiteral("dettaglioE.html") : QStringLiteral("dettaglioE2.html");
    return tipo1 ? QStringLiteral("dettaglioU.html") : QStringLiteral("dettaglioU2.html");
}

ReportDataSet DetailListing::reportDataSet(Kind kind)
{
    QList<ReportAlias> aliases;
    for (const Alias& a : kind == Kind::Entrate ? kAliasesE : kAliasesU)
        aliases.append({QString::fromLatin1(a.exposed), QString::fromLatin1(a.field)});
    ReportDataSet binding(kind == Kind::Entrate ? QStringLiteral("frxDBDettaglioE")
                                                : QStringLiteral("frxDBDettaglioU"),
                          &query(kind), aliases);
    switch (choices.order) {
    case DetailChoices::Order::AnnoNumero:
        break;
    case DetailChoices::Order::CapArt:
        binding.setGroupBy({"Cap", "Art"}, [](const QVariantList& v) {
            return QStringLiteral("Cap/Art. %1/%2").arg(v.value(0).toString(), v.value(1).toString());
        });
        break;
    case DetailChoices::Order::Ueb:
        binding.setGroupBy({"UEB"}, [](const QVariantList& v) {
            return QStringLiteral("UEB %1").arg(v.value(0).toString());
        });
        break;
    case DetailChoices::Order::Responsabile:
        binding.setGroupBy({"Responsabile"}, [](const QVariantList& v) {
            return QStringLiteral("Responsabile: %1").arg(v.value(0).toString());
        });
        break;
    }
    return binding;
}

void DetailListing::loadTemplate(Report& report) const
{
    report.loadFromFile(ReportRules::templatePath(templateName(choices)));
}

void DetailListing::bbStampaClick(Report& report)
{
    qDettaglioE.close();
    qDettaglioU.close();
    query(choices.kind).open();
    loadTemplate(report);
    report.clearDataSets();
    report.addDataSet(reportDataSet(choices.kind));
    report.declareVariable(QStringLiteral("titolo"));
    report.declareVariable(QStringLiteral("dettaglio"));
    report.getValue = [this](const QString& name, QVariant& value) {
        frxReport1GetValue(choices, name, value);
    };
}

void DetailListing::FormClose()
{
    qDettaglioE.close();
    qDettaglioU.close();
}

} // namespace ostrel
