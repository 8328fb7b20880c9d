#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/Report.h"
#include "reports/Attachments.h"
#include "reports/DetailListing.h"

#include <QBuffer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace ostrel;

namespace {

QString pdfText(const QString& file)
{
    QProcess p;
    p.start("pdftotext", {"-layout", file, "-"});
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput());
}

ReportDataSet smallTable()
{
    using K = ReportKind;
    return ReportDataSet("Righe", {{"Cap", K::Integer}, {"Nome", K::Text}, {"Importo", K::Amount}},
                         {{10, "uno", 1234.5}, {10, "due", QVariant()}, {20, "tre", -0.25}});
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void amountFormat_data();
    void amountFormat();
    void missingTemplateGivesAnEmptyReport();
    void sectionsTotalsAndGroups();
    void calcAndVariables();
    void badTemplateIsAnError();
    void jsonKeepsTheExposedOrder();
    void rtfIsWellFormed();
    void attachmentPdfsHoldTheirFigures();
    void detailPdfHoldsTitleAndFigures();
    void findGivesThePageOfATableRow();
};

void TestReport::amountFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("thousands and decimals") << 1234.5 << "1.234,50";
    QTest::newRow("millions") << 1234567.891 << "1.234.567,89";
    QTest::newRow("zero") << 0.0 << "0,00";
    QTest::newRow("negative") << -12.5 << "-12,50";
    QTest::newRow("rounds to zero, no sign") << -0.004 << "0,00";
}

void TestReport::amountFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatReportAmount(value), text);
}

void TestReport::missingTemplateGivesAnEmptyReport()
{
    Report report;
    report.setTemplateText("old");
    QVERIFY(!report.loadFromFile("/nonexistent/dettaglioE.html"));
    QVERIFY(report.templateText().isEmpty());
    const auto prepared = report.prepare();
    QCOMPARE(prepared->pageCount(), 1);
}

void TestReport::sectionsTotalsAndGroups()
{
    Report report;
    ReportDataSet table = smallTable();
    table.setGroupBy({"Cap"}, [](const QVariantList& v) { return "Cap " + v[0].toString(); });
    report.addDataSet(table);
    report.setTemplateText("{{#Righe}}{{#group_start}}[{{label}}]{{/group_start}}{{Nome}}={{Importo}}"
                           "({{raw.Importo}});{{#group_end}}<{{totals.Importo}}/{{count}}>"
                           "{{/group_end}}{{/Righe}}T={{Righe_totals.Importo}} N={{Righe_count}}"
                           "{{#Righe_grouped}} G{{/Righe_grouped}}");
    QCOMPARE(report.renderHtml(), QString("[Cap 10]uno=1.234,50(1234.50);due=();<1.234,50/2>"
                                          "[Cap 20]tre=-0,25(-0.25);<-0,25/1>T=1.234,25 N=3 G"));
}

void TestReport::calcAndVariables()
{
    Report report;
    report.addDataSet(smallTable());
    report.declareVariable("titolo");
    report.getValue = [](const QString& name, QVariant& value) {
        if (name == "titolo")
            value = "TITOLO";
    };
    report.setTemplateText("{{var.titolo}}|{{var.vuota}}|{{#var.vuota}}no{{/var.vuota}}|"
                           "{{#Righe}}{{#calc}}Importo + Importo - Cap{{/calc}};{{/Righe}}");
    QCOMPARE(report.renderHtml(), QString("TITOLO|||2.459,00;-10,00;-20,50;"));
    QCOMPARE(report.variableNames(), (QStringList{"titolo", "vuota"}));
}

void TestReport::badTemplateIsAnError()
{
    Report report;
    report.setTemplateText("{{#Righe}}no end");
    QVERIFY_THROWS_EXCEPTION(EReportError, report.prepare());
}

void TestReport::jsonKeepsTheExposedOrder()
{
    Report report;
    report.addDataSet(smallTable());
    report.declareVariable("titolo");
    const QByteArray json = report.toJson();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject row = doc["datasets"]["Righe"][1].toObject();
    QCOMPARE(row["Importo"].type(), QJsonValue::Null);
    QCOMPARE(doc["datasets"]["Righe"][0]["Importo"].toDouble(), 1234.5);
    QCOMPARE(doc["variables"]["titolo"].toString(), QString());
    QVERIFY(json.indexOf("\"Cap\"") < json.indexOf("\"Nome\""));
    QVERIFY(json.indexOf("\"Nome\"") < json.indexOf("\"Importo\""));
}

void TestReport::rtfIsWellFormed()
{
    Report report;
    report.addDataSet(smallTable());
    report.setTemplateText("<title>Prova {è}</title><p align=\"center\"><b>Intestazione</b></p>"
                           "<table border=\"1\">{{#Righe}}<tr><td>{{Nome}}</td>"
                           "<td align=\"right\">{{Importo}}</td></tr>{{/Righe}}</table>"
                           "<p style=\"page-break-before: always\">Dopo</p>");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report.prepare()->writeRtf(buffer);
    const QByteArray rtf = buffer.data();
    QVERIFY(rtf.startsWith("{\\rtf1"));
    int depth = 0;
    for (int i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        QVERIFY(depth >= 0);
    }
    QCOMPARE(depth, 0);
    for (const char* needed : {"\\qc", "{\\b Intestazione}", "\\trowd", "\\cell", "\\row",
                               "\\qr", "\\pagebb", "Pagina {\\field", "\\u232?", "1.234,50"})
        QVERIFY2(rtf.contains(needed), needed);
}

void TestReport::attachmentPdfsHoldTheirFigures()
{
    TestStore store;
    TdTabelle& t = store.tables();
    QFile::copy(QStringLiteral(OSTREL_TEMPLATES "/All-51.html"), store.path("All-51.html"));
    QFile::copy(QStringLiteral(OSTREL_TEMPLATES "/All-52.html"), store.path("All-52.html"));
    t.cnOstrel.exec("INSERT INTO tUscite (Id, UEB, Gara, ResAnno1, ResAnno2) VALUES "
                    "(1, '1010100', 0, 1500.25, 700.0)");
    t.cnOstrel.exec("INSERT INTO tEntrate (Id, UEB, ResEliminato, ResAnno1) VALUES "
                    "(1, '1010100', 80.0, 300.0)");
    storeFunds(t.tFondiVincoli, {{"Punto_a", "10000"}, {"FondoAl", "20000"}});
    Attachments a(&t.cnOstrel);
    a.FormShow();

    Report report;
    a.bAll51Click(report);
    const auto prepared51 = report.prepare();
    prepared51->writePdf(store.path("a51.pdf"));
    const QString text51 = pdfText(store.path("a51.pdf"));
    for (const char* needed : {"Allegato 5/1", "Parte corrente", "Conto capitale", "2.200,25",
                               "1.900,25", // (3) = (1) - (2)
                               "Fondo pluriennale vincolato al 31 dicembre 2017", "Pagina 1 di 1"})
        QVERIFY2(text51.contains(QString::fromUtf8(needed)), needed);

    a.bAll52Click(report);
    report.prepare()->writePdf(store.path("a52.pdf"));
    const QString text52 = pdfText(store.path("a52.pdf"));
    // (h) = 10000 - 80 - 300 + 2200,25 - 1900,25 = 9920; (n) = 9920 - 20000 < 0.
    for (const char* needed : {"Allegato 5/2", "10.000,00", "9.920,00", "-10.080,00",
                               "Se (n) è negativo, tale importo è iscritto tra le spese del"})
        QVERIFY2(text52.contains(QString::fromUtf8(needed)), needed);
    QProcess info;
    info.start("pdfinfo", {store.path("a52.pdf")});
    info.waitForFinished(-1);
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY(meta.contains("Creator:         Ostrel"));
    QVERIFY(meta.contains("Title:           Allegato 5/2"));
}

void TestReport::detailPdfHoldsTitleAndFigures()
{
    TestStore store;
    TdTabelle& t = store.tables();
    QFile::copy(QStringLiteral(OSTREL_TEMPLATES "/dettaglioU2.html"), store.path("dettaglioU2.html"));
    t.cnOstrel.exec("INSERT INTO tUscite (Id, Anno, Numero, Sub, Cap, Art, UEB, Responsabile, "
                    "Descrizione, ImportoBak, AvLibero, ResAnno1, Causale1) VALUES "
                    "(1, 2014, '77', 0, 120, 1, '1010100', 'D''ANGELO', 'Fornitura', 5000.0, "
                    "1000.0, 4000.0, 'Economia')");
    DetailListing listing(&t.cnOstrel);
    listing.choices.kind = DetailChoices::Kind::Uscite;
    listing.choices.type = 1;
    listing.choices.details = true;
    listing.choices.responsible = "D'ANG";
    listing.choices.order = DetailChoices::Order::CapArt;
    Report report;
    listing.bbStampaClick(report);
    report.prepare()->writePdf(store.path("d.pdf"));
    const QString text = pdfText(store.path("d.pdf"));
    for (const char* needed : {"STAMPA DETTAGLIO USCITE - TUTTI GLI IMPORTI", "5.000,00",
                               "1.000,00", "4.000,00", "Cap/Art. 120/1",
                               "Causale eliminazione: Economia", "Pagina 1 di 1"})
        QVERIFY2(text.contains(QString::fromUtf8(needed)), needed);
}

void TestReport::findGivesThePageOfATableRow()
{
    QList<QVariantList> rows;
    for (int i = 0; i < 300; ++i)
        rows.append({QStringLiteral("RIGA%1").arg(i, 4, 10, QChar('0'))});
    Report report;
    report.addDataSet(ReportDataSet("Righe", {{"Nome", ReportKind::Text}}, rows));
    report.setTemplateText("<p>INIZIO</p><table border=\"1\">{{#Righe}}<tr><td>{{Nome}}</td></tr>{{/Righe}}"
                           "</table><p>FINE</p>");
    const auto prepared = report.prepare();
    const int last = prepared->pageCount() - 1;
    QVERIFY(last >= 2);
    QCOMPARE(prepared->findPage("INIZIO"), 0);
    QCOMPARE(prepared->findPage("RIGA0000"), 0);
    QCOMPARE(prepared->findPage("RIGA0299"), last);
    QCOMPARE(prepared->findPage("FINE"), last);
    QCOMPARE(prepared->findPage("RIGA0000", 1), -1);
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
