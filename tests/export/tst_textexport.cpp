#include "RecordingFeedback.h"
#include "TestStore.h"

#include "app/DataModule.h"
#include "export/TextExport.h"
#include "platform/Errors.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace ostrel;

namespace {

using Kind = ScriptedMessageBoxes::Kind;

const QString kQuestion = QStringLiteral(
    "Attenzione, si stanno per esportare i riaccertamenti straordinari nel programma Dovenia "
    "(Kemo). Continuo?");
const QString kDone = QStringLiteral("-> Kemo: Esportazione terminata.");

QByteArray amount(const char* text)
{
    return QByteArray(text).rightJustified(13, ' ');
}

QByteArray description(const QByteArray& text)
{
    return text.leftJustified(255, ' ');
}

// Accepts the first `limit` bytes, then fails every write.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 limit) : m_limit(limit) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        if (m_written + size > m_limit) {
            setErrorString(QStringLiteral("disco pieno"));
            return -1;
        }
        m_written += size;
        return size;
    }

private:
    qint64 m_limit;
    qint64 m_written = 0;
};

} // namespace

class TestTextExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void scriviFixDimForms_data();
    void scriviFixDimForms();
    void lineIsByteExact_data();
    void lineIsByteExact();
    void runWritesBothFilesInQueryOrder();
    void emptyTableGivesZeroByteFile();
    void rerunReplacesFiles();
    void declinedQuestionWritesNothing();
    void valueTooWideStopsBeforeWriting_data();
    void valueTooWideStopsBeforeWriting();
    void unwritableFolderReportsAfterClosingMessage();
    void failingDeviceRaisesInOutError();

private:
    void insert(const QString& table, const QString& columns, const QString& values)
    {
        m_store->tables().cnOstrel.exec(
            QStringLiteral("INSERT INTO %1 (Id, %2) VALUES (%3, %4)").arg(table, columns).arg(++m_id).arg(values));
    }
    QByteArray file(const QString& name) const
    {
        QFile f(m_store->path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
    }
    bool run()
    {
        RecordingFeedback feedback(m_store->boxes());
        return TextExport(m_store->tables().cnOstrel).bbExportFileClick(feedback);
    }

    std::unique_ptr<TestStore> m_store;
    int m_id = 0;
};

void TestTextExport::init()
{
    m_store = std::make_unique<TestStore>();
    m_store->tables();
    m_store->boxes().setDefaultAnswer(true);
    m_id = 0;
}

void TestTextExport::cleanup()
{
    m_store.reset();
}

void TestTextExport::scriviFixDimForms_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<FieldType>("type");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("fits");
    QTest::newRow("text padded") << "ab" << FieldType::Text << 5 << "ab   " << true;
    QTest::newRow("text cut at its width") << "abcdefg" << FieldType::Text << 3 << "abc" << true;
    QTest::newRow("empty text is blanks") << "" << FieldType::Text << 4 << "    " << true;
    QTest::newRow("integer zero-padded") << "7" << FieldType::Int2 << 4 << "0007" << true;
    QTest::newRow("zeros go before the sign") << "-5" << FieldType::Int4 << 5 << "000-5" << true;
    QTest::newRow("empty integer is zeros") << "" << FieldType::Int4 << 5 << "00000" << true;
    QTest::newRow("integer too long keeps its first digits")
        << "123456" << FieldType::Int4 << 5 << "12345" << false;
    QTest::newRow("amount with decimal comma") << "1234,5" << FieldType::Real << 10
                                               << "      1234,50" << true;
    QTest::newRow("empty amount is zero") << "" << FieldType::Real << 13 << "         0,00" << true;
    QTest::newRow("unreadable amount is zero") << "abc" << FieldType::Real << 13 << "         0,00"
                                               << true;
    QTest::newRow("half a cent rounds away from zero") << "-0,125" << FieldType::Real << 13
                                                       << "        -0,13" << true;
    QTest::newRow("amount in exponent form") << "1,5E-5" << FieldType::Real << 13
                                             << "         0,00" << true;
    QTest::newRow("widest amount") << "9999999999,99" << FieldType::Real << 13 << "9999999999,99"
                                   << true;
    QTest::newRow("amount wider than the column") << "10000000000" << FieldType::Real << 13
                                                  << "10000000000,00" << false;
    QTest::newRow("amount past the fixed-point range") << "1E20" << FieldType::Real << 13 << "1E20"
                                                       << false;
}

void TestTextExport::scriviFixDimForms()
{
    QFETCH(QString, value);
    QFETCH(FieldType, type);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QFETCH(bool, fits);
    bool fitted = !fits;
    QCOMPARE(TextExport::ScriviFixDim(value, type, width, &fitted), expected);
    QCOMPARE(fitted, fits);
}

void TestTextExport::lineIsByteExact_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("values");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("revenue, every column")
        << "tEntrate"
        << "Numero, Sub, Anno, ImportoBak, ResEliminato, ResAnno1, ResAnno2, ResAnno3, ResOltre, "
           "ResMantenuto, Cap, Art, Oggetto, Descrizione"
        << "'123', 0, 2012, 1000.5, 100, 200.25, 250.75, NULL, 0, 449.5, 410, 2, 'Oggetto', "
           "'Canoni d''affitto'"
        << "E" "123     " "00" "2012" + amount("1000,50") + amount("100,00") + amount("200,25")
               + amount("250,75") + amount("0,00") + amount("0,00") + amount("449,50") + "00410" "02"
               + description("Canoni d'affitto");
    QTest::newRow("expenditure: eliminated is the four surplus quotas, flag C")
        << "tUscite"
        << "Numero, Sub, Anno, ImportoBak, AvLibero, AvVincolato, ResAnno1, FlCop1, Cap, Art, "
           "Descrizione"
        << "'U9', 3, 2014, 20, 1, 2.5, 10, 1, 1020, 5, 'Fattura'"
        << "U" "U9      " "03" "2014" + amount("20,00") + amount("3,50") + amount("10,00")
               + amount("0,00") + amount("0,00") + amount("0,00") + amount("0,00") + "01020" "05"
               + description("Fattura") + "C";
    QTest::newRow("flag without a 2015 quota gives a blank")
        << "tUscite" << "Numero, Anno, ResAnno1, ResAnno2, FlCop1, Descrizione"
        << "'1', 2014, 0, 5, 1, 'x'"
        << "U" "1       " "00" "2014" + amount("0,00") + amount("0,00") + amount("0,00")
               + amount("5,00") + amount("0,00") + amount("0,00") + amount("0,00") + "00000" "00"
               + description("x") + " ";
    QTest::newRow("2015 quota without the flag gives a blank")
        << "tUscite" << "Numero, Anno, ResAnno1, Descrizione" << "'1', 2014, 5, 'x'"
        << "U" "1       " "00" "2014" + amount("0,00") + amount("0,00") + amount("5,00")
               + amount("0,00") + amount("0,00") + amount("0,00") + amount("0,00") + "00000" "00"
               + description("x") + " ";
    QTest::newRow("description falls back to the object")
        << "tEntrate" << "Numero, Anno, Oggetto" << "'5', 2010, 'Oggetto del capitolo'"
        << "E" "5       " "00" "2010" + amount("0,00") + amount("0,00") + amount("0,00")
               + amount("0,00") + amount("0,00") + amount("0,00") + amount("0,00") + "00000" "00"
               + description("Oggetto del capitolo");
    QTest::newRow("nothing but the key: blanks and zeros")
        << "tEntrate" << "Anno" << "2010"
        << "E" "        " "00" "2010" + amount("0,00") + amount("0,00") + amount("0,00")
               + amount("0,00") + amount("0,00") + amount("0,00") + amount("0,00") + "00000" "00"
               + description("");
    QTest::newRow("negative sub and amount, half cent rounded away from zero")
        << "tEntrate" << "Numero, Sub, Anno, ImportoBak, ResEliminato, Cap, Art"
        << "'7', -1, 2011, -12.5, 2.675, 99999, 99"
        << "E" "7       " "-1" "2011" + amount("-12,50") + amount("2,68") + amount("0,00")
               + amount("0,00") + amount("0,00") + amount("0,00") + amount("0,00") + "99999" "99"
               + description("");
    QTest::newRow("apostrophe and Windows-1252 letters pass unchanged")
        << "tEntrate" << "Numero, Anno, Descrizione" << "'L''8', 2013, 'Città di Forlì: € 5 – saldo'"
        << "E" "L'8     " "00" "2013" + amount("0,00") + amount("0,00") + amount("0,00")
               + amount("0,00") + amount("0,00") + amount("0,00") + amount("0,00") + "00000" "00"
               + description("Citt\xe0 di Forl\xec: \x80 5 \x96 saldo");
}

void TestTextExport::lineIsByteExact()
{
    QFETCH(QString, table);
    QFETCH(QString, columns);
    QFETCH(QString, values);
    QFETCH(QByteArray, line);
    insert(table, columns, values);
    TextExport exporter(m_store->tables().cnOstrel);
    DataSet& query = table == u"tEntrate" ? exporter.qEntrate : exporter.qUscite;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    exporter.Esporta(query, buffer);
    QCOMPARE(buffer.data(), line + "\r\n");
    QCOMPARE(line.size(), table == u"tEntrate" ? 368 : 369);
}

void TestTextExport::runWritesBothFilesInQueryOrder()
{
    insert("tEntrate", "Numero, Sub, Anno", "'B', 0, 2012");
    insert("tEntrate", "Numero, Sub, Anno", "'A', 1, 2012");
    insert("tEntrate", "Numero, Sub, Anno", "'A', 0, 2012");
    insert("tEntrate", "Numero, Sub, Anno", "'Z', 0, 2005");
    insert("tUscite", "Numero, Anno", "'U1', 2014");
    RecordingFeedback feedback(m_store->boxes());
    QVERIFY(TextExport(m_store->tables().cnOstrel).bbExportFileClick(feedback));

    QStringList keys;
    for (const QByteArray& line : file("entrate.txt").split('\n'))
        if (!line.isEmpty())
            keys.append(QString::fromLatin1(line.mid(1, 14)).remove(u' '));
    QCOMPARE(keys, (QStringList{"Z002005", "A002012", "A012012", "B002012"}));
    QCOMPARE(file("entrate.txt").count("\r\n"), 4);
    QCOMPARE(file("uscite.txt").size(), 369 + 2);
    QCOMPARE(m_store->boxes().texts(), (QStringList{kQuestion, kDone}));
    QCOMPARE(m_store->boxes().shown().at(0).kind, Kind::Confirm);
    QCOMPARE(m_store->boxes().shown().at(1).kind, Kind::Information);
    QCOMPARE(feedback.events, (QStringList{"busy@1", "idle@1"}));
}

void TestTextExport::emptyTableGivesZeroByteFile()
{
    insert("tEntrate", "Numero, Anno", "'1', 2012");
    QVERIFY(run());
    QCOMPARE(file("uscite.txt"), QByteArray());
    QCOMPARE(file("entrate.txt").size(), 368 + 2);
}

void TestTextExport::rerunReplacesFiles()
{
    m_store->writeFile("entrate.txt", QByteArray(1000, 'x'));
    insert("tEntrate", "Numero, Anno", "'1', 2012");
    QVERIFY(run());
    const QByteArray first = file("entrate.txt");
    QVERIFY(run());
    QCOMPARE(file("entrate.txt"), first);
    QCOMPARE(first.size(), 368 + 2);
    QCOMPARE(QDir(m_store->path("")).entryList({"*.txt*"}, QDir::Files),
             (QStringList{"entrate.txt", "uscite.txt"}));
}

void TestTextExport::declinedQuestionWritesNothing()
{
    m_store->boxes().setDefaultAnswer(false);
    insert("tEntrate", "Numero, Anno", "'1', 2012");
    RecordingFeedback feedback(m_store->boxes());
    QVERIFY(!TextExport(m_store->tables().cnOstrel).bbExportFileClick(feedback));
    QCOMPARE(m_store->boxes().texts(), QStringList{kQuestion});
    QVERIFY(feedback.events.isEmpty());
    QVERIFY(!QFile::exists(m_store->path("entrate.txt")));
}

void TestTextExport::valueTooWideStopsBeforeWriting_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("message");
    QTest::newRow("six-digit chapter")
        << "tUscite" << "Numero, Sub, Anno, Cap" << "'42', 1, 2013, 123456"
        << "Il residuo 42/2013 sub 1 non può essere esportato nel file uscite.txt: il valore 123456 "
           "del campo Cap non entra nelle 5 posizioni della colonna. Nessun file è stato scritto.";
    QTest::newRow("three-digit sub") << "tEntrate" << "Numero, Sub, Anno" << "'42', 100, 2013"
                                     << "il valore 100 del campo Sub non entra nelle 2 posizioni";
    QTest::newRow("three-digit article") << "tUscite" << "Numero, Anno, Art" << "'42', 2013, 100"
                                         << "il valore 100 del campo Art non entra nelle 2";
    QTest::newRow("amount of 14 characters")
        << "tEntrate" << "Numero, Anno, ResAnno2" << "'42', 2013, 12345678901.5"
        << "il valore 12345678901,5 del campo ResAnno2 non entra nelle 13 posizioni";
    QTest::newRow("negative amount of 14 characters")
        << "tUscite" << "Numero, Anno, AvLibero" << "'42', 2013, -1234567890.5"
        << "il valore -1234567890,5 del campo ResEliminato non entra nelle 13";
}

void TestTextExport::valueTooWideStopsBeforeWriting()
{
    QFETCH(QString, table);
    QFETCH(QString, columns);
    QFETCH(QString, values);
    QFETCH(QString, message);
    m_store->writeFile("entrate.txt", "old revenues\r\n");
    m_store->writeFile("uscite.txt", "old expenditures\r\n");
    insert("tEntrate", "Numero, Anno", "'1', 2012");
    insert("tUscite", "Numero, Anno", "'1', 2012");
    insert(table, columns, values);
    QVERIFY(!run());
    // Neither file changed: the revenue file is complete but is not moved
    // into place without its partner.
    QCOMPARE(file("entrate.txt"), QByteArray("old revenues\r\n"));
    QCOMPARE(file("uscite.txt"), QByteArray("old expenditures\r\n"));
    const auto& shown = m_store->boxes().shown();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.at(1).text, kDone);
    QCOMPARE(shown.at(2).kind, Kind::StandardError);
    QVERIFY2(shown.at(2).text.contains(message), qPrintable(shown.at(2).text));
    QCOMPARE(QDir(m_store->path("")).entryList({"*.txt*"}, QDir::Files),
             (QStringList{"entrate.txt", "uscite.txt"}));
}

void TestTextExport::unwritableFolderReportsAfterClosingMessage()
{
    m_store->writeFile("plain-file", "x");
    qputenv("OSTREL_WORKDIR", m_store->path("plain-file/btmp").toUtf8());
    RecordingFeedback feedback(m_store->boxes());
    QVERIFY(!TextExport(m_store->tables().cnOstrel).bbExportFileClick(feedback));
    const auto& shown = m_store->boxes().shown();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.at(1).text, kDone);
    QCOMPARE(shown.at(2).kind, Kind::StandardError);
    QVERIFY2(shown.at(2).text.startsWith("Impossibile creare il file '" + m_store->path("plain-file/btmp/entrate.txt")),
             qPrintable(shown.at(2).text));
    QCOMPARE(feedback.events, (QStringList{"busy@1", "idle@1"}));
}

void TestTextExport::failingDeviceRaisesInOutError()
{
    for (int i = 0; i < 400; ++i)
        insert("tEntrate", "Numero, Anno", QStringLiteral("'%1', 2012").arg(i));
    TextExport exporter(m_store->tables().cnOstrel);
    FailingDevice device(100000);
    try {
        exporter.Esporta(exporter.qEntrate, device);
        QFAIL("the failing write went unnoticed");
    } catch (const EInOutError& e) {
        QCOMPARE(e.message(), QStringLiteral("Errore di scrittura del file entrate.txt: disco pieno"));
    }
}

QTEST_GUILESS_MAIN(TestTextExport)
#include "tst_textexport.moc"
