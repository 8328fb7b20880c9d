#include "Reassessment.h"

#include "platform/DataSet.h"
#include "platform/Field.h"

namespace ostrel::Reassessment {

const QStringList& destinations(Kind kind)
{
    static const QStringList revenue = {"ResEliminato", "ResAnno1", "ResAnno2",
                                        "ResAnno3",     "ResOltre", "ResMantenuto"};
    static const QStringList expenditure = {"AvLibero", "AvAccantonato", "AvVincolato",
                                            "AvDestinato", "ResAnno1", "ResAnno2",
                                            "ResAnno3", "ResOltre", "ResMantenuto"};
    return kind == Kind::Revenue ? revenue : expenditure;
}

const QStringList& causes()
{
    static const QStringList list = {"Causale1", "Causale2", "Causale3"};
    return list;
}

const QStringList& expenditureFlags()
{
    static const QStringList list = {"Gara", "FlCop1", "FlCop2", "FlCop3", "FlCopOltre"};
    return list;
}

QString residueLabel(const Field& anno, const Field& numero, const Field& sub)
{
    QString label = anno.asString() + QStringLiteral(" / ") + numero.asString();
    if (sub.asInteger() > 0)
        label += QStringLiteral(" - ") + sub.asString();
    return label;
}

QStringList yearCaptions(const QDate& today)
{
    QStringList captions;
    for (int months : {0, 12, 24})
        captions.append(u' ' + QString::number(today.addMonths(months).year()) + u' ');
    return captions;
}

Amount remainder(Amount base, const DataSet& query, Kind kind)
{
    Amount result = base;
    for (const QString& name : destinations(kind))
        result = result - Amount::fromVariant(query.fieldByName(name).value());
    return result;
}

void clearSplit(DataSet& query, Kind kind)
{
    for (const QString& name : destinations(kind))
        query.fieldByName(name).clear();
    for (const QString& name : causes())
        query.fieldByName(name).clear();
    if (kind == Kind::Expenditure)
        for (const QString& name : expenditureFlags())
            query.fieldByName(name).setValue(false);
}

void defineQuery(DataSet& q, Kind kind)
{
    const bool revenue = kind == Kind::Revenue;
    q.setSql({revenue ? QStringLiteral("SELECT * FROM tEntrate") : QStringLiteral("SELECT * FROM tUscite"),
              QStringLiteral("ORDER BY"), QStringLiteral("  Anno, Numero, Sub")});
    const auto amountFormat = [](const Field& f, bool display) {
        if (f.isNull())
            return QString();
        return display ? formatAmount(f.asFloat()) : f.asString();
    };
    q.addField("Id", FieldType::Int4);
    q.addField("Cap", FieldType::Int4);
    q.addField("Art", FieldType::Int2);
    q.addField("Oggetto", FieldType::Text, 255);
    q.addField("UEB", FieldType::Text, 7);
    q.addField("Numero", FieldType::Text, 8);
    q.addField("Sub", FieldType::Int2);
    q.addField("Anno", FieldType::Int2);
    q.addField("Descrizione", FieldType::Text, 255);
    q.addField("Importo", FieldType::Real).setOnGetText(amountFormat);
    Field& codResp = q.addField("CodResp", FieldType::Int2);
    if (revenue) // format "#": zero shows nothing
        codResp.setOnGetText([](const Field& f, bool) {
            return f.isNull() || f.asInteger() == 0 ? QString() : f.asString();
        });
    q.addField("Responsabile", FieldType::Text, 255);
    q.addField("ImportoBak", FieldType::Real).setOnGetText(amountFormat);
    if (revenue) {
        for (const QString& name : destinations(kind))
            q.addField(name, FieldType::Real).setCurrency(true);
    } else {
        for (const QString& name : destinations(kind).mid(0, 8))
            q.addField(name, FieldType::Real).setCurrency(true);
        for (const QString& name : expenditureFlags().mid(1))
            q.addField(name, FieldType::Bool);
        q.addField("ResMantenuto", FieldType::Real).setCurrency(true);
    }
    for (const QString& name : causes())
        q.addField(name, FieldType::Text, 255);
    if (!revenue)
        q.addField("Gara", FieldType::Bool);
    Field& label = q.addCalculatedField(revenue ? "clAccertamento" : "clImpegno", FieldType::Text, 20);
    Field& chapter = q.addCalculatedField("clCapitolo", FieldType::Text, 10);
    q.calcFields = [&label, &chapter](DataSet& ds) {
        label.setValue(residueLabel(ds.fieldByName("Anno"), ds.fieldByName("Numero"), ds.fieldByName("Sub")));
        chapter.setValue(ds.fieldByName("Cap").asString());
        chapter.setValue(chapter.asString() + QStringLiteral(" / ") + ds.fieldByName("Art").asString());
    };
}

} // namespace ostrel::Reassessment
