#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/Errors.h"
#include "reports/DetailListing.h"
#include "reports/ReportRules.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace ostrel;
using C = DetailChoices;

Q_DECLARE_METATYPE(DetailChoices)

class TestDetailListing : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void queryLines_data();
    void queryLines();
    void listedRows_data();
    void listedRows();
    void nullCharacterIsRefused_data();
    void nullCharacterIsRefused();
    void calculatedFields_data();
    void calculatedFields();
    void variables_data();
    void variables();
    void templateLookup();
    void designerRule_data();
    void designerRule();
    void reportDataSetExposesTheSpecNames();

private:
    void addE(int id, const QString& values);
    void addU(int id, const QString& values);
    std::unique_ptr<TestStore> m_store;
};

void TestDetailListing::init()
{
    m_store = std::make_unique<TestStore>();
    TdTabelle& t = m_store->tables();
    // Revenues: 1 full row, 2 eliminated only, 3 null Responsabile, 4 an apostrophe.
    const QString e = "INSERT INTO tEntrate (Id, Anno, Numero, Sub, Cap, Art, UEB, Responsabile, "
                      "Descrizione, ImportoBak, ResEliminato, ResAnno1, ResAnno2, ResAnno3, ResOltre, "
                      "ResMantenuto) VALUES ";
    t.cnOstrel.exec(e + "(1, 2014, '12', 0, 120, 1, '1010100', 'ROSSI GIUSEPPE', 'a', 100.0, NULL, "
                        "40.0, NULL, NULL, NULL, 60.0)");
    t.cnOstrel.exec(e + "(2, 2013, '7', 1, 12, 2, '2010100', 'BIANCHI LUCIA', 'b', 50.0, 50.0, "
                        "NULL, NULL, NULL, NULL, NULL)");
    t.cnOstrel.exec(e + "(3, 2014, '13', 0, 1200, 1, '1010100', NULL, 'c', 10.0, NULL, NULL, "
                        "NULL, NULL, NULL, 10.0)");
    t.cnOstrel.exec(e + "(4, 2012, ' 5', 0, 300, 1, '3010100', 'D''ANGELO MARIA', 'd', 30.0, 10.0, "
                        "20.0, NULL, NULL, NULL, NULL)");
    // Expenditures: 1 covered re-imputation, 2 only AvVincolato, 3 uncovered, 4 eliminated + covered.
    const QString u = "INSERT INTO tUscite (Id, Anno, Numero, Sub, Cap, Art, UEB, Responsabile, "
                      "Descrizione, ImportoBak, AvLibero, AvVincolato, ResAnno1, ResAnno2, FlCop1, "
                      "FlCop2, ResMantenuto) VALUES ";
    t.cnOstrel.exec(u + "(1, 2014, '1', 0, 10, 1, '1010100', 'ROSSI', 'a', 100.0, NULL, NULL, "
                        "30.0, 20.0, 1, 0, 50.0)");
    t.cnOstrel.exec(u + "(2, 2014, '2', 0, 10, 1, '1010100', 'ROSSI', 'b', 40.0, NULL, 40.0, "
                        "NULL, NULL, 0, 0, NULL)");
    t.cnOstrel.exec(u + "(3, 2014, '3', 0, 20, 1, '2010100', 'VERDI', 'c', 25.0, NULL, NULL, "
                        "25.0, NULL, 0, 0, NULL)");
    t.cnOstrel.exec(u + "(4, 2014, '4', 0, 20, 1, '2010100', 'VERDI', 'd', 90.0, 10.0, NULL, "
                        "80.0, NULL, 1, 0, NULL)");
}

void TestDetailListing::cleanup()
{
    m_store.reset();
}

void TestDetailListing::queryLines_data()
{
    QTest::addColumn<DetailChoices>("choices");
    QTest::addColumn<QStringList>("filterLines"); // w+1 .. w+7
    QTest::addColumn<QString>("orderLine");

    const QString nullE = "IIF(ResEliminato IS NULL, 0, ResEliminato)";
    const QString sum = "(IIF(ResAnno1 IS NULL, 0, ResAnno1) + IIF(ResAnno2 IS NULL, 0, ResAnno2) + "
                        "IIF(ResAnno3 IS NULL, 0, ResAnno3) + IIF(ResOltre IS NULL, 0, ResOltre))";
    C empty;
    QTest::newRow("revenues, nothing typed")
        << empty
        << QStringList{"  Anno || '' like '%' AND Numero like '%'", "  AND Cap like '%'",
                       "  AND Ueb like '%'", "  AND UPPER(Responsabile) like '%%'", "", "", ""}
        << "Anno, Numero, Sub";
    C typed;
    typed.year = " 201 ";
    typed.number = " 12";
    typed.chapter = "12 ";
    typed.ueb = " 101";
    typed.responsible = " D'ANGELO ";
    typed.order = C::Order::CapArt;
    QTest::newRow("filters: trimmed except the number, apostrophes doubled")
        << typed
        << QStringList{"  Anno || '' like '201%' AND Numero like ' 12%'", "  AND Cap like '12%'",
                       "  AND Ueb like '101%'", "  AND UPPER(Responsabile) like '%D''ANGELO%'", "",
                       "", ""}
        << "Cap, Art, Anno, Numero";
    C keyword;
    keyword.responsible = "ORDER BY";
    keyword.amounts = C::Amounts::SoloEliminati;
    keyword.order = C::Order::Ueb;
    QTest::newRow("a typed ORDER BY stays in its filter")
        << keyword
        << QStringList{"  Anno || '' like '%' AND Numero like '%'", "  AND Cap like '%'",
                       "  AND Ueb like '%'", "  AND UPPER(Responsabile) like '%ORDER BY%'",
                       "  AND ResEliminato > 0", "", ""}
        << "UEB";
    C onlyE;
    onlyE.amounts = C::Amounts::SoloEliminati;
    onlyE.order = C::Order::Ueb;
    QStringList base{"  Anno || '' like '%' AND Numero like '%'", "  AND Cap like '%'",
                     "  AND Ueb like '%'", "  AND UPPER(Responsabile) like '%%'"};
    QTest::newRow("revenues, only eliminated")
        << onlyE << base + QStringList{"  AND ResEliminato > 0", "", ""} << "UEB";
    C withoutE;
    withoutE.amounts = C::Amounts::SenzaEliminati;
    withoutE.order = C::Order::Responsabile;
    QTest::newRow("revenues, without eliminated")
        << withoutE
        << base + QStringList{"  AND (" + nullE + " = 0 OR " + sum + " > 0)", "", ""}
        << "TRIM(Responsabile), Anno, Numero";
    C onlyU;
    onlyU.kind = C::Kind::Uscite;
    onlyU.amounts = C::Amounts::SoloEliminati;
    onlyU.reimputed = C::Reimputed::Coperti;
    QTest::newRow("expenditures, only eliminated, covered")
        << onlyU
        << base
               + QStringList{"  AND (AvLibero > 0 OR AvAccantonato > 0 OR AvVincolato > 0 OR "
                             "AvDestinato > 0)",
                             "",
                             "  AND IIF(FlCop1 = 1, IIF(ResAnno1 IS NULL, 0, ResAnno1), 0) + "
                             "IIF(FlCop2 = 1, IIF(ResAnno2 IS NULL, 0, ResAnno2), 0) + "
                             "IIF(FlCop3 = 1, IIF(ResAnno3 IS NULL, 0, ResAnno3), 0) + "
                             "IIF(FlCopOltre = 1, IIF(ResOltre IS NULL, 0, ResOltre), 0) > 0"}
        << "Anno, Numero, Sub";
    C withoutU;
    withoutU.kind = C::Kind::Uscite;
    withoutU.amounts = C::Amounts::SenzaEliminati;
    withoutU.reimputed = C::Reimputed::NonCoperti;
    QTest::newRow("expenditures, without eliminated, not covered")
        << withoutU
        << base
               + QStringList{"  AND (IIF(AvLibero IS NULL, 0, AvLibero) = 0 AND "
                             "IIF(AvAccantonato IS NULL, 0, AvAccantonato) = 0 AND "
                             "IIF(AvVincolato IS NULL, 0, AvVincolato) = 0 AND "
                             "IIF(AvDestinato IS NULL, 0, AvDestinato) = 0",
                             "  OR " + sum + " > 0)",
                             "  AND IIF(FlCop1 = 0, IIF(ResAnno1 IS NULL, 0, ResAnno1), 0) + "
                             "IIF(FlCop2 = 0, IIF(ResAnno2 IS NULL, 0, ResAnno2), 0) + "
                             "IIF(FlCop3 = 0, IIF(ResAnno3 IS NULL, 0, ResAnno3), 0) + "
                             "IIF(FlCopOltre = 0, IIF(ResOltre IS NULL, 0, ResOltre), 0) > 0"}
        << "Anno, Numero, Sub";
}

void TestDetailListing::queryLines()
{
    QFETCH(DetailChoices, choices);
    QFETCH(QStringList, filterLines);
    QFETCH(QString, orderLine);
    QStringList lines = DetailListing::initialSql(choices.kind);
    DetailListing::buildQuery(lines, choices.kind, choices);
    const int w = lines.indexOf("WHERE");
    QCOMPARE(lines.mid(w + 1, 7), filterLines);
    QCOMPARE(lines[lines.indexOf("ORDER BY") + 1], orderLine);
    QCOMPARE(lines.size(), DetailListing::initialSql(choices.kind).size());
}

void TestDetailListing::listedRows_data()
{
    QTest::addColumn<DetailChoices>("choices");
    QTest::addColumn<QList<int>>("ids");
    C all;
    QTest::newRow("everything: the row with no responsible never matches") << all << QList<int>{4, 2, 1};
    C year;
    year.year = "201";
    year.number = "1";
    QTest::newRow("year and number begin with") << year << QList<int>{1};
    C blank;
    blank.number = " 5";
    QTest::newRow("a blank before the number is part of the pattern") << blank << QList<int>{4};
    C chapter;
    chapter.chapter = "12";
    QTest::newRow("chapter 12 takes 120 too") << chapter << QList<int>{2, 1};
    C resp;
    resp.responsible = "D'ANG";
    QTest::newRow("apostrophe in the responsible filter") << resp << QList<int>{4};
    C onlyE;
    onlyE.amounts = C::Amounts::SoloEliminati;
    QTest::newRow("revenues, only eliminated") << onlyE << QList<int>{4, 2};
    C withoutE;
    withoutE.amounts = C::Amounts::SenzaEliminati;
    QTest::newRow("revenues, without eliminated or re-imputed") << withoutE << QList<int>{4, 1};
    C onlyU;
    onlyU.kind = C::Kind::Uscite;
    onlyU.amounts = C::Amounts::SoloEliminati;
    QTest::newRow("expenditures, only eliminated (AvVincolato alone counts)") << onlyU << QList<int>{2, 4};
    C withoutU = onlyU;
    withoutU.amounts = C::Amounts::SenzaEliminati;
    QTest::newRow("expenditures, without eliminated") << withoutU << QList<int>{1, 3, 4};
    C covered;
    covered.kind = C::Kind::Uscite;
    covered.reimputed = C::Reimputed::Coperti;
    QTest::newRow("covered by the fund") << covered << QList<int>{1, 4};
    C uncovered = covered;
    uncovered.reimputed = C::Reimputed::NonCoperti;
    QTest::newRow("not covered by the fund") << uncovered << QList<int>{1, 3};
    C both = covered;
    both.amounts = C::Amounts::SoloEliminati;
    QTest::newRow("only eliminated and covered") << both << QList<int>{4};
}

void TestDetailListing::listedRows()
{
    QFETCH(DetailChoices, choices);
    QFETCH(QList<int>, ids);
    DetailListing listing(&m_store->tables().cnOstrel);
    listing.choices = choices;
    DataSet& q = listing.query(choices.kind);
    q.open();
    QList<int> listed;
    for (q.first(); !q.eof(); q.next())
        listed.append(q.fieldByName("Id").asInteger());
    QCOMPARE(listed, ids);
}

void TestDetailListing::nullCharacterIsRefused_data()
{
    QTest::addColumn<DetailChoices>("choices");
    const QList<std::pair<const char*, QString C::*>> fields = {
        {"year", &C::year}, {"number", &C::number}, {"chapter", &C::chapter}, {"UEB", &C::ueb},
        {"responsible", &C::responsible}};
    for (const auto& [name, text] : fields) {
        C c;
        c.*text = QString::fromUtf8("1\0", 2);
        QTest::newRow(name) << c;
    }
}

void TestDetailListing::nullCharacterIsRefused()
{
    // The store would end the statement at the null character, inside the
    // quotes: refused before the query changes.
    QFETCH(DetailChoices, choices);
    DetailListing listing(&m_store->tables().cnOstrel);
    listing.choices = choices;
    DataSet& q = listing.query(choices.kind);
    const QStringList before = q.sql();
    try {
        q.open();
        QFAIL("the listing opened");
    } catch (const EConvertError& e) {
        QVERIFY2(e.message().contains("carattere nullo"), qPrintable(e.message()));
    }
    QCOMPARE(q.sql(), before);
    listing.choices.resetFilters();
    q.open();
    QCOMPARE(q.recordCount(), 3);
}

void TestDetailListing::calculatedFields_data()
{
    QTest::addColumn<DetailChoices>("choices");
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QVariantList>("values");
    const QVariant null;
    const QStringList u{"AL", "AV", "RA1", "RA2", "RM"};
    C all;
    all.kind = C::Kind::Uscite;
    QTest::newRow("all: copies, nulls stay empty")
        << all << 1 << u << QVariantList{null, null, 30.0, 20.0, 50.0};
    C covered = all;
    covered.reimputed = C::Reimputed::Coperti;
    QTest::newRow("covered: the uncovered period is 0")
        << covered << 1 << u << QVariantList{null, null, 30.0, 0.0, 50.0};
    C uncovered = all;
    uncovered.reimputed = C::Reimputed::NonCoperti;
    QTest::newRow("not covered: the covered period is 0")
        << uncovered << 1 << u << QVariantList{null, null, 0.0, 20.0, 50.0};
    C onlyE = all;
    onlyE.amounts = C::Amounts::SoloEliminati;
    QTest::newRow("only eliminated: re-imputed and maintained are 0")
        << onlyE << 2 << u << QVariantList{null, 40.0, 0.0, 0.0, 0.0};
    C withoutE = all;
    withoutE.amounts = C::Amounts::SenzaEliminati;
    QTest::newRow("without eliminated: eliminated are 0")
        << withoutE << 4 << u << QVariantList{0.0, 0.0, 80.0, null, null};
    C revenues;
    revenues.amounts = C::Amounts::SenzaEliminati;
    QTest::newRow("revenues without eliminated")
        << revenues << 4 << QStringList{"RE", "RA1", "RM"} << QVariantList{0.0, 20.0, null};
}

void TestDetailListing::calculatedFields()
{
    QFETCH(DetailChoices, choices);
    QFETCH(int, id);
    QFETCH(QStringList, fields);
    QFETCH(QVariantList, values);
    DetailListing listing(&m_store->tables().cnOstrel);
    listing.choices = choices;
    DataSet& q = listing.query(choices.kind);
    q.open();
    QVERIFY(q.locate("Id", id));
    for (int i = 0; i < fields.size(); ++i)
        QCOMPARE(q.fieldByName(fields[i]).value(), values[i]);
}

void TestDetailListing::variables_data()
{
    QTest::addColumn<DetailChoices>("choices");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    C c;
    QTest::newRow("titolo, revenues, all") << c << "titolo" << QVariant("STAMPA DETTAGLIO ENTRATE - TUTTI GLI IMPORTI");
    C u;
    u.kind = C::Kind::Uscite;
    u.amounts = C::Amounts::SenzaEliminati;
    QTest::newRow("TITOLO, expenditures, without") << u << "TITOLO" << QVariant("STAMPA DETTAGLIO USCITE - SENZA ELIMINATI");
    C only;
    only.amounts = C::Amounts::SoloEliminati;
    QTest::newRow("titolo, only eliminated") << only << "Titolo" << QVariant("STAMPA DETTAGLIO ENTRATE - SOLO ELIMINATI");
    C details;
    details.details = true;
    QTest::newRow("dettaglio ticked") << details << "dettaglio" << QVariant("s");
    QTest::newRow("dettaglio not ticked") << c << "Dettaglio" << QVariant(QString());
    QTest::newRow("another name is left alone") << c << "altro" << QVariant("as passed");
}

void TestDetailListing::variables()
{
    QFETCH(DetailChoices, choices);
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QVariant passed("as passed");
    DetailListing::frxReport1GetValue(choices, name, passed);
    QCOMPARE(passed.toString(), value.toString());
}

void TestDetailListing::templateLookup()
{
    C c;
    c.kind = C::Kind::Uscite;
    c.type = 1;
    QCOMPARE(DetailListing::templateName(c), QString("dettaglioU2.html"));
    c.type = 5;
    QCOMPARE(DetailListing::templateName(c), QString("dettaglioU2.html"));
    c.kind = C::Kind::Entrate;
    c.type = 0;
    QCOMPARE(DetailListing::templateName(c), QString("dettaglioE.html"));
    // Not in the current directory: the work folder, without checking.
    const QString workDir = QDir::tempPath() + "/ostrel-templates-test/";
    qputenv("OSTREL_WORKDIR", workDir.toUtf8());
    QDir::setCurrent(m_store->path("."));
    QCOMPARE(ReportRules::templatePath("dettaglioU2.html"), workDir + "dettaglioU2.html");
    m_store->writeFile("dettaglioU2.html", "x");
    QCOMPARE(ReportRules::templatePath("dettaglioU2.html"), QString("dettaglioU2.html"));
}

void TestDetailListing::designerRule_data()
{
    QTest::addColumn<QString>("computer");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("exact") << "VESPARIO" << true;
    QTest::newRow("inside, mixed case") << "pc-Vespario-02" << true;
    QTest::newRow("other") << "UFFICIO1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("only a to z are upper-cased") << "vespárío" << false;
}

void TestDetailListing::designerRule()
{
    QFETCH(QString, computer);
    QFETCH(bool, allowed);
    QCOMPARE(ReportRules::designerAllowed(computer), allowed);
}

void TestDetailListing::reportDataSetExposesTheSpecNames()
{
    DetailListing listing(&m_store->tables().cnOstrel);
    listing.choices.kind = C::Kind::Uscite;
    listing.qDettaglioU.open();
    const ReportDataSet::Snapshot s = listing.reportDataSet(C::Kind::Uscite).read();
    QStringList names;
    for (const auto& c : s.columns)
        names.append(c.name);
    QCOMPARE(names, (QStringList{"Id", "Anno", "Numero", "Sub", "Descrizione", "CodResp",
                                 "Responsabile", "Cap", "Art", "Oggetto", "UEB", "ImportoBak",
                                 "Causale1", "Causale2", "Causale3", "AvLibero", "AvAccantonato",
                                 "AvVincolato", "AvDestinato", "ResAnno1", "ResAnno2", "ResAnno3",
                                 "ResOltre", "ResMantenuto"}));
    QCOMPARE(s.rows.size(), 4);
}

QTEST_GUILESS_MAIN(TestDetailListing)
#include "tst_detaillisting.moc"
