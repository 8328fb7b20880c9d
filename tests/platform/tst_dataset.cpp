#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/Errors.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlError>
#include <QTest>
#include <future>
#include <sqlite3.h>
#include <thread>

using namespace ostrel;

class TestDataSet : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void navigationFlags();
    void afterScrollOnlyWhenRowsAndMoves();
    void editWritesOnlyChangedColumnsById();
    void cancelRestoresStoredValues();
    void deleteRemovesRowAndShowsNeighbour();
    void calculatedFieldsFollowRecordAndEdits();
    void fieldChangeEventAndLinks();
    void postAsksLinksForPendingText();
    void tooLongTextRefusedAndStaysInEdit();
    void postOfRowDeletedElsewhereIsRefused();
    void keyGivenBeforePostIsReadAndUsedUnderTheWriteLock();
    void postWaitsForAnotherCopysLockAndSaysSo();
    void textsReadBackAsStored();
    void postOverAColumnChangedElsewhereIsRefusedKeepingWhatWasTyped();
    void settingFieldOutsideEditIsRefused();
    void locateById();
    void changingTextClosesAndReopensFresh();

private:
    std::unique_ptr<TestStore> m_store;
    std::unique_ptr<DataSet> q;
};

namespace {

class RecordingLink : public DataLink {
public:
    QStringList events;
    std::function<void()> onUpdate;
    void activeChanged() override { events << "active"; }
    void dataSetChanged() override { events << "dataset"; }
    void recordChanged(Field* f) override { events << (f ? "field:" + f->name() : "record"); }
    void editingChanged() override { events << "state"; }
    void updateData() override
    {
        events << "update";
        if (onUpdate)
            onUpdate();
    }
};

} // namespace

void TestDataSet::init()
{
    m_store = std::make_unique<TestStore>();
    LocalStore& cn = m_store->tables().cnOstrel;
    cn.exec("INSERT INTO tEntrate (Id, Anno, Numero, Sub, Cap, Art, Importo, ImportoBak) VALUES "
            "(1, 2014, '10', 0, 100, 1, 50.0, 50.0), (2, 2013, '7', 1, 200, 2, 10.0, 10.0), "
            "(3, 2014, '2', 0, 300, 3, 30.0, 30.0)");
    q = std::make_unique<DataSet>("qEntrate", &cn);
    q->setSql({"SELECT * FROM tEntrate", "ORDER BY", "  Anno, Numero, Sub"});
}

void TestDataSet::cleanup()
{
    q.reset();
    m_store.reset();
}

void TestDataSet::navigationFlags()
{
    q->open();
    QCOMPARE(q->recordCount(), 3);
    QCOMPARE(q->fieldByName("Numero").asString(), QStringLiteral("7"));
    QVERIFY(q->bof());
    QVERIFY(!q->eof());
    q->next();
    QCOMPARE(q->fieldByName("Numero").asString(), QStringLiteral("10"));
    QVERIFY(!q->bof());
    q->last();
    QVERIFY(q->eof());
    QCOMPARE(q->fieldByName("Numero").asString(), QStringLiteral("2"));
    q->next(); // past the end: stays, eof
    QCOMPARE(q->recNo(), 2);
    q->prior();
    q->prior();
    QVERIFY(!q->bof()); // arrived at the first row without trying to pass it
    q->prior();
    QVERIFY(q->bof());
}

void TestDataSet::afterScrollOnlyWhenRowsAndMoves()
{
    int scrolls = 0;
    q->afterScroll = [&](DataSet&) { ++scrolls; };
    q->open();
    QCOMPARE(scrolls, 1);
    q->next();
    q->first();
    q->first(); // no move
    QCOMPARE(scrolls, 3);
    q->close();
    q->setSqlLine(0, "SELECT * FROM tEntrate WHERE Id < 0");
    scrolls = 0;
    q->open();
    QCOMPARE(scrolls, 0);
    QVERIFY(q->isEmpty());
}

void TestDataSet::editWritesOnlyChangedColumnsById()
{
    q->open();
    q->locate("Id", 3);
    q->edit();
    q->fieldByName("ResEliminato").setAsString("12,5");
    // Another copy changes a column this record does not touch.
    m_store->tables().cnOstrel.exec("UPDATE tEntrate SET Causale3 = 'ALTRA COPIA' WHERE Id = 3");
    q->post();
    QCOMPARE(q->state(), DataSet::State::Browse);
    QCOMPARE(m_store->scalar("SELECT ResEliminato FROM tEntrate WHERE Id = 3").toDouble(), 12.5);
    QCOMPARE(m_store->scalar("SELECT Causale3 FROM tEntrate WHERE Id = 3").toString(),
             QStringLiteral("ALTRA COPIA"));
    QVERIFY(m_store->scalar("SELECT ResEliminato FROM tEntrate WHERE Id = 1").isNull());
    QCOMPARE(q->fieldByName("ResEliminato").asFloat(), 12.5);
}

void TestDataSet::cancelRestoresStoredValues()
{
    q->open();
    q->edit();
    q->fieldByName("Importo").setValue(-1.0);
    QCOMPARE(q->fieldByName("Importo").asFloat(), -1.0);
    q->cancel();
    QCOMPARE(q->fieldByName("Importo").asFloat(), 10.0);
    QCOMPARE(m_store->scalar("SELECT Importo FROM tEntrate WHERE Id = 2").toDouble(), 10.0);
}

void TestDataSet::deleteRemovesRowAndShowsNeighbour()
{
    q->open();
    q->next(); // Id 1
    q->deleteRecord();
    QCOMPARE(q->recordCount(), 2);
    QCOMPARE(q->fieldByName("Id").asInteger(), 3);
    QCOMPARE(m_store->scalar("SELECT COUNT(*) FROM tEntrate WHERE Id = 1").toInt(), 0);
    q->deleteRecord(); // the last row: the one before is shown
    QCOMPARE(q->fieldByName("Id").asInteger(), 2);
}

void TestDataSet::calculatedFieldsFollowRecordAndEdits()
{
    Field& label = q->addCalculatedField("clAccertamento", FieldType::Text, 20);
    int calls = 0;
    q->calcFields = [&](DataSet& ds) {
        ++calls;
        label.setValue(ds.fieldByName("Anno").asString() + " / " + ds.fieldByName("Numero").asString());
    };
    q->open();
    QCOMPARE(label.asString(), QStringLiteral("2013 / 7"));
    q->next();
    QCOMPARE(label.asString(), QStringLiteral("2014 / 10"));
    q->edit();
    q->fieldByName("Numero").setAsString("11");
    QCOMPARE(label.asString(), QStringLiteral("2014 / 11"));
    q->cancel();
    QCOMPARE(label.asString(), QStringLiteral("2014 / 10"));
    QVERIFY(calls >= 4);
}

void TestDataSet::fieldChangeEventAndLinks()
{
    DataSource ds;
    RecordingLink link;
    ds.addLink(&link);
    ds.setDataSet(q.get());
    q->open();
    Field& importo = q->fieldByName("Importo");
    QVariant seen;
    importo.onChange = [&](Field& f) { seen = f.value(); };
    q->edit();
    link.events.clear();
    importo.setValue(7.25);
    QCOMPARE(seen.toDouble(), 7.25);
    QCOMPARE(link.events, QStringList{"field:Importo"});
    link.events.clear();
    q->post();
    QCOMPARE(link.events, (QStringList{"update", "state", "record"}));
}

void TestDataSet::postAsksLinksForPendingText()
{
    DataSource ds;
    RecordingLink link;
    ds.addLink(&link);
    ds.setDataSet(q.get());
    q->open();
    q->edit();
    link.onUpdate = [&] { q->fieldByName("ResMantenuto").setAsString("3,5"); };
    q->post();
    QCOMPARE(m_store->scalar("SELECT ResMantenuto FROM tEntrate WHERE Id = 2").toDouble(), 3.5);

    // A refused text stops the post before anything is written.
    q->edit();
    link.onUpdate = [&] { q->fieldByName("ResMantenuto").setAsString("3.5"); };
    QVERIFY_THROWS_EXCEPTION(EConvertError, q->post());
    QCOMPARE(q->state(), DataSet::State::Edit);
}

void TestDataSet::tooLongTextRefusedAndStaysInEdit()
{
    q->open();
    q->edit();
    q->fieldByName("Numero").setAsString("123456789");
    try {
        q->post();
        QFAIL("the store took a text longer than its column");
    } catch (const EDatabaseError& e) {
        QVERIFY2(e.message().contains("Numero") && e.message().contains("8"), qPrintable(e.message()));
    }
    QCOMPARE(q->state(), DataSet::State::Edit);
    QCOMPARE(q->fieldByName("Numero").asString(), QStringLiteral("123456789"));
    QCOMPARE(m_store->scalar("SELECT Numero FROM tEntrate WHERE Id = 2").toString(), QStringLiteral("7"));
}

void TestDataSet::postOfRowDeletedElsewhereIsRefused()
{
    q->open();
    q->edit();
    q->fieldByName("Causale1").setAsString("X");
    m_store->tables().cnOstrel.exec("DELETE FROM tEntrate WHERE Id = 2");
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->post());
    QCOMPARE(q->state(), DataSet::State::Edit);
}

void TestDataSet::postOverAColumnChangedElsewhereIsRefusedKeepingWhatWasTyped()
{
    q->open();
    q->locate("Id", 3);
    q->edit();
    q->fieldByName("ResEliminato").setAsString("12,5");
    q->fieldByName("Causale1").setAsString("MIA");
    m_store->tables().cnOstrel.exec(
        "UPDATE tEntrate SET ResEliminato = 7.0, ResAnno1 = 3.0 WHERE Id = 3");
    try {
        q->post();
        QFAIL("the other copy's amount was overwritten");
    } catch (const EDatabaseError& e) {
        QVERIFY2(e.message().contains("Un'altra copia del programma ha modificato questo record"),
                 qPrintable(e.message()));
    }
    QCOMPARE(m_store->scalar("SELECT ResEliminato FROM tEntrate WHERE Id = 3").toDouble(), 7.0);
    QVERIFY(m_store->scalar("SELECT Causale1 FROM tEntrate WHERE Id = 3").isNull());
    QCOMPARE(q->state(), DataSet::State::Edit);
    QCOMPARE(q->fieldByName("ResEliminato").asFloat(), 12.5);
    QCOMPARE(q->fieldByName("Causale1").asString(), QStringLiteral("MIA"));
    QCOMPARE(q->fieldByName("ResAnno1").asFloat(), 3.0); // the row as it is now
    q->post(); // seen and confirmed
    QCOMPARE(m_store->scalar("SELECT ResEliminato FROM tEntrate WHERE Id = 3").toDouble(), 12.5);
    QCOMPARE(m_store->scalar("SELECT ResAnno1 FROM tEntrate WHERE Id = 3").toDouble(), 3.0);
    q->cancel();
    q->edit();
    q->fieldByName("ResEliminato").setValue(QVariant());
    q->post(); // null compared as null
    QVERIFY(m_store->scalar("SELECT ResEliminato FROM tEntrate WHERE Id = 3").isNull());
}

void TestDataSet::keyGivenBeforePostIsReadAndUsedUnderTheWriteLock()
{
    q->open();
    QString otherCopy;
    q->beforePost = [&](DataSet& ds) {
        // Another copy writing between the reading of the last key and its use.
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(m_store->storePath());
        other.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
        QVERIFY(other.open());
        QSqlQuery insert(other);
        otherCopy = insert.exec("INSERT INTO tEntrate (Id) VALUES (4)") ? "wrote" : insert.lastError().text();
        insert = QSqlQuery();
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase("other");
        ds.fieldByName("Id").setValue(4);
    };
    q->append();
    q->fieldByName("Numero").setAsString("N");
    q->post();
    QVERIFY2(otherCopy.contains("locked"), qPrintable(otherCopy));
    QCOMPARE(m_store->scalar("SELECT Numero FROM tEntrate WHERE Id = 4").toString(), QStringLiteral("N"));
}

void TestDataSet::postWaitsForAnotherCopysLockAndSaysSo()
{
    q->open();
    QStringList said;
    m_store->tables().cnOstrel.onWaitForLock = [&](const QString& text) { said.append(text); };
    std::promise<void> locked;
    std::thread otherCopy([&, path = m_store->storePath().toUtf8()] {
        sqlite3* db = nullptr;
        sqlite3_open(path.constData(), &db);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        locked.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(db, "UPDATE tEntrate SET Causale2 = 'ALTRA' WHERE Id = 1; COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
    locked.get_future().wait();
    QVERIFY(q->locate("Id", 1));
    q->edit();
    q->fieldByName("Causale1").setAsString("MIA");
    q->post();
    otherCopy.join();
    QCOMPARE(said, QStringList{"L'archivio è occupato da un'altra copia del programma: attendo che lo liberi "
                               "(al massimo 30 secondi)..."});
    QCOMPARE(m_store->scalar("SELECT Causale1 || Causale2 FROM tEntrate WHERE Id = 1").toString(),
             QStringLiteral("MIAALTRA"));
}

void TestDataSet::textsReadBackAsStored()
{
    LocalStore& cn = m_store->tables().cnOstrel;
    cn.exec("UPDATE tEntrate SET Descrizione = 'Città € 1/2' WHERE Id = 1");
    cn.exec("UPDATE tEntrate SET Descrizione = '' WHERE Id = 2");
    // Longer than a block of the column's texts, three times over.
    q->setSql({"SELECT Id, Descrizione, Causale1, printf('%.*c', 70000 + Id, 'x') AS Lunga FROM tEntrate",
               "ORDER BY", "  Id"});
    q->open();
    const auto row = [&] {
        return QStringList{q->fieldByName("Descrizione").asString(),
                           q->fieldByName("Descrizione").isNull() ? "null" : "value",
                           q->fieldByName("Causale1").isNull() ? "null" : "value",
                           QString::number(q->fieldByName("Lunga").asString().size())};
    };
    QCOMPARE(row(), (QStringList{"Città € 1/2", "value", "null", "70001"}));
    q->next();
    QCOMPARE(row(), (QStringList{"", "value", "null", "70002"}));
    q->next();
    QCOMPARE(row(), (QStringList{"", "null", "null", "70003"}));
    q->edit();
    q->fieldByName("Descrizione").setAsString("Più");
    q->post();
    q->first();
    q->deleteRecord();
    QCOMPARE(row(), (QStringList{"", "value", "null", "70002"}));
    q->next();
    QCOMPARE(row(), (QStringList{"Più", "value", "null", "70003"}));
}

void TestDataSet::settingFieldOutsideEditIsRefused()
{
    q->open();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, q->fieldByName("Importo").setValue(1.0));
}

void TestDataSet::locateById()
{
    q->open();
    QVERIFY(q->locate("Id", 3));
    QCOMPARE(q->fieldByName("Numero").asString(), QStringLiteral("2"));
    QVERIFY(!q->locate("Id", 99));
    QCOMPARE(q->fieldByName("Id").asInteger(), 3);
}

void TestDataSet::changingTextClosesAndReopensFresh()
{
    q->open();
    q->setSqlLine(2, "  Cap DESC");
    QVERIFY(!q->isActive());
    q->open();
    QCOMPARE(q->fieldByName("Cap").asInteger(), 300);
}

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_dataset.moc"
