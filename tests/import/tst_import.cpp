#include "TestStore.h"

#include "app/DataModule.h"
#include "import/ResidueImport.h"
#include "platform/Errors.h"
#include "platform/LocalStore.h"

#include <QSqlQuery>

#include <QTest>

using namespace ostrel;

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void eachFileFeedsItsTable();
    void fieldsGoToTheirColumns();
    void blankDescriptionTakesChapterDescription();
    void doubledSeparatorShiftsFields();
    void emptyLinesYieldNoRow_data();
    void emptyLinesYieldNoRow();
    void badValueRollsBackToOldRows_data();
    void badValueRollsBackToOldRows();
    void missingFileIsReportedAndTableKept();
    void fileThatIsNoResidueTextIsRefused_data();
    void fileThatIsNoResidueTextIsRefused();
    void windows1252AccentsAreNotMistakenForUtf8();
    void fullDiskKeepsOldRows();

private:
    static QString line(const QString& numero, const QString& descrizione = "Descrizione",
                        const QString& importo = "100,50", const QString& sub = "0");
    int count(const QString& table) const
    {
        return m_store->scalar("SELECT COUNT(*) FROM " + table).toInt();
    }
    std::unique_ptr<TestStore> m_store;
};

QString TestImport::line(const QString& numero, const QString& descrizione, const QString& importo,
                         const QString& sub)
{
    return QStringList{"", "E", "1020", "5", "00", "Canoni d'affitto città", "3010100", "RES", numero,
                       sub, "2014", descrizione, importo, "7", "D'ANGELO MARIA", "FINE", ""}
        .join('|');
}

void TestImport::init()
{
    m_store = std::make_unique<TestStore>();
    m_store->tables().cnOstrel.exec(
        "INSERT INTO tEntrate (Id, Numero) VALUES (1, 'OLD1'), (2, 'OLD2')");
    m_store->tables().cnOstrel.exec("INSERT INTO tUscite (Id, Numero) VALUES (1, 'OLDU')");
}

void TestImport::cleanup()
{
    m_store.reset();
}

void TestImport::eachFileFeedsItsTable()
{
    m_store->writeLines("97RIAE14.TXT", {line("E1"), line("E2")});
    m_store->writeLines("97RIAU14.TXT", {line("U1")});
    ResidueImport import(m_store->tables());
    QCOMPARE(import.Importa(m_store->tables().tEntrate), 2);
    QCOMPARE(import.Importa(m_store->tables().tUscite), 1);
    QCOMPARE(m_store->scalar("SELECT group_concat(Id || Numero) FROM tEntrate").toString(),
             QStringLiteral("1E1,2E2"));
    QCOMPARE(m_store->scalar("SELECT group_concat(Numero) FROM tUscite").toString(),
             QStringLiteral("U1"));
}

void TestImport::fieldsGoToTheirColumns()
{
    m_store->writeLines("97RIAU14.TXT", {line("123", "Fattura dell'Edil Città", "1234,56", "2")});
    ResidueImport(m_store->tables()).Importa(m_store->tables().tUscite);
    QCOMPARE(m_store
                 ->scalar("SELECT Cap || '|' || Art || '|' || Oggetto || '|' || UEB || '|' || Numero || "
                          "'|' || Sub || '|' || Anno || '|' || Descrizione || '|' || Importo || '|' || "
                          "CodResp || '|' || Responsabile || '|' || ImportoBak || '|' || FlCop1 || Gara "
                          "|| '|' || IFNULL(ResAnno1, 'null') FROM tUscite")
                 .toString(),
             QStringLiteral("1020|5|Canoni d'affitto città|3010100|123|2|2014|Fattura dell'Edil "
                            "Città|1234.56|7|D'ANGELO MARIA|1234.56|00|null"));
}

void TestImport::blankDescriptionTakesChapterDescription()
{
    m_store->writeLines("97RIAE14.TXT", {line("1", " ")});
    ResidueImport(m_store->tables()).Importa(m_store->tables().tEntrate);
    QCOMPARE(m_store->scalar("SELECT Descrizione FROM tEntrate").toString(),
             QStringLiteral("Canoni d'affitto città"));
}

void TestImport::doubledSeparatorShiftsFields()
{
    // An empty field 4 written as "||" is no field: every later one moves
    // down, so the year column receives the description.
    QString shifted = line("9");
    shifted.replace("|5|00|", "|5||");
    m_store->writeLines("97RIAE14.TXT", {shifted});
    try {
        ResidueImport(m_store->tables()).Importa(m_store->tables().tEntrate);
        QFAIL("the shifted line was imported");
    } catch (const Error& e) {
        QVERIFY2(e.message().contains("'Descrizione' non è un valore intero valido per il campo 'Anno'"),
                 qPrintable(e.message()));
    }
}

void TestImport::emptyLinesYieldNoRow_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("rows");
    QTest::newRow("empty file") << QStringList{} << 0;
    QTest::newRow("extra empty line at the end") << QStringList{line("1"), ""} << 1;
    QTest::newRow("line of separators and blanks") << QStringList{line("1"), " | |\t"} << 1;
}

void TestImport::emptyLinesYieldNoRow()
{
    QFETCH(QStringList, lines);
    QFETCH(int, rows);
    m_store->writeLines("97RIAE14.TXT", lines);
    QCOMPARE(ResidueImport(m_store->tables()).Importa(m_store->tables().tEntrate), rows);
    QCOMPARE(count("tEntrate"), rows);
}

void TestImport::badValueRollsBackToOldRows_data()
{
    QTest::addColumn<QString>("badLine");
    QTest::addColumn<QString>("message");
    QTest::newRow("decimal point") << line("2", "x", "100.50") << "'100.50' non è un numero valido per il campo 'Importo'";
    QTest::newRow("sub over int2") << line("2", "x", "1", "40000") << "Il valore 40000 del campo 'Sub'";
    QTest::newRow("letters in chapter") << QString(line("2")).replace("|1020|", "|10A0|")
                                        << "'10A0' non è un valore intero valido per il campo 'Cap'";
    QTest::newRow("number too long for the store") << line("123456789") << "Numero";
}

void TestImport::badValueRollsBackToOldRows()
{
    QFETCH(QString, badLine);
    QFETCH(QString, message);
    m_store->writeLines("97RIAE14.TXT", {line("1"), badLine, line("3")});
    DataSet& tEntrate = m_store->tables().tEntrate;
    try {
        ResidueImport(m_store->tables()).Importa(tEntrate);
        QFAIL("the bad line was imported");
    } catch (const Error& e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY2(e.message().contains("riga 2"), qPrintable(e.message()));
    }
    QCOMPARE(m_store->scalar("SELECT group_concat(Numero) FROM tEntrate").toString(),
             QStringLiteral("OLD1,OLD2"));
    QCOMPARE(tEntrate.recordCount(), 2);
    QCOMPARE(tEntrate.state(), DataSet::State::Browse);
}

void TestImport::missingFileIsReportedAndTableKept()
{
    m_store->writeLines("97RIAE14.TXT", {line("1")});
    ResidueImport import(m_store->tables());
    import.Importa(m_store->tables().tEntrate);
    QVERIFY_THROWS_EXCEPTION(EAbort, import.Importa(m_store->tables().tUscite));
    QCOMPARE(m_store->boxes().texts(),
             QStringList{"Non è stato trovato il file che serve a generare la tabella tUscite"});
    QCOMPARE(m_store->boxes().shown().first().kind, ScriptedMessageBoxes::Kind::Error);
    QCOMPARE(m_store->scalar("SELECT group_concat(Numero) FROM tUscite").toString(), QStringLiteral("OLDU"));
    QCOMPARE(count("tEntrate"), 1);
}

void TestImport::fileThatIsNoResidueTextIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray good = line("1").toLatin1() + "\r\n";
    QTest::newRow("UTF-8") << (line("1") + "\r\n" + line("2")).toUtf8() << "UTF-8";
    QTest::newRow("UTF-8 byte order mark") << "\xEF\xBB\xBF" + good << "UTF-8";
    QTest::newRow("NUL byte on the third line")
        << good + good + QByteArray("|E|1020|5|\0|x|\r\n", 15) << "la riga 3 contiene un carattere nullo";
    QTest::newRow("1 MB line") << good + QByteArray(1 << 20, 'x') + "\r\n" + good
                               << "la riga 2 è lunga 1048576 caratteri";
    QTest::newRow("1 MB line without end") << QByteArray(1 << 20, '|') << "la riga 1 è lunga";
}

void TestImport::fileThatIsNoResidueTextIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    m_store->writeFile("97RIAE14.TXT", bytes);
    try {
        ResidueImport(m_store->tables()).Importa(m_store->tables().tEntrate);
        QFAIL("the file was imported");
    } catch (const Error& e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY2(e.message().contains("Nessun dato è stato modificato"), qPrintable(e.message()));
        QVERIFY(e.message().size() < 400);
    }
    QCOMPARE(m_store->scalar("SELECT group_concat(Numero) FROM tEntrate").toString(),
             QStringLiteral("OLD1,OLD2"));
}

void TestImport::windows1252AccentsAreNotMistakenForUtf8()
{
    // "è" followed by "©" in Windows-1252 is E8 A9: not a valid UTF-8 sequence.
    m_store->writeLines("97RIAE14.TXT", {line("1", "Caff\u00e8\u00a9 \u20ac")});
    QCOMPARE(ResidueImport(m_store->tables()).Importa(m_store->tables().tEntrate), 1);
    QCOMPARE(m_store->scalar("SELECT Descrizione FROM tEntrate").toString(),
             QString("Caff\u00e8\u00a9 \u20ac"));
}

void TestImport::fullDiskKeepsOldRows()
{
    QStringList lines;
    for (int i = 0; i < 2000; ++i)
        lines.append(line(QString::number(i)));
    m_store->writeLines("97RIAE14.TXT", lines);
    LocalStore& cn = m_store->tables().cnOstrel;
    // The store may not grow: as a disk with no room left.
    QSqlQuery count = cn.exec("PRAGMA page_count");
    QVERIFY(count.next());
    cn.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(count.value(0).toInt()));
    try {
        ResidueImport(m_store->tables()).Importa(m_store->tables().tEntrate);
        QFAIL("imported on a full disk");
    } catch (const Error& e) {
        QVERIFY2(e.message().contains("il disco è pieno"), qPrintable(e.message()));
        QVERIFY2(e.message().contains("la tabella conserva i dati precedenti"), qPrintable(e.message()));
    }
    QCOMPARE(m_store->scalar("SELECT group_concat(Numero) FROM tEntrate").toString(), QStringLiteral("OLD1,OLD2"));
    QCOMPARE(m_store->tables().tEntrate.recordCount(), 2);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
