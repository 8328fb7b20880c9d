#include "TestStore.h"

#include "app/DataModule.h"
#include "app/ParametersWindow.h"
#include "export/ExportWindow.h"
#include "platform/AnsiCodec.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace ostrel;

class TestExportWindows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void hostIsSplit_data();
    void hostIsSplit();
    void blankHostDoesNothing();
    void portTakesDigitsOnly();
    void browseTakesTheComputerName_data();
    void browseTakesTheComputerName();
    void browseOfAnUnreachableServer();
    void doubleClickConnectsWithTheRowsUser();
    void exportWindowWritesTheTextFiles();
    void exportWindowShowsParametersWhenNotConnected();

private:
    void show();
    std::unique_ptr<TestStore> store;
    std::unique_ptr<TfParam> param;
};

void TestExportWindows::init()
{
    store = std::make_unique<TestStore>();
    store->tables();
    param = std::make_unique<TfParam>(store->tables(), store->iniPath());
}

void TestExportWindows::cleanup()
{
    param.reset();
    store.reset();
}

void TestExportWindows::show()
{
    param->show();
    QApplication::setActiveWindow(param.get());
    QVERIFY(QTest::qWaitForWindowActive(param.get()));
}

void TestExportWindows::hostIsSplit_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("edit1");
    QTest::addColumn<QString>("edit2");
    QTest::addColumn<QString>("written");
    QTest::newRow("host and port") << "SERVER:1522" << "SERVER" << "1522" << "SERVER:1522";
    QTest::newRow("no colon") << "SERVER" << "" << "SERVER" << ":SERVER";
}

void TestExportWindows::hostIsSplit()
{
    QFETCH(QString, host);
    QFETCH(QString, edit1);
    QFETCH(QString, edit2);
    QFETCH(QString, written);
    store->tables().Host = host;
    show();
    QCOMPARE(param->Edit1->text(), edit1);
    QCOMPARE(param->Edit2->text(), edit2);
    QCOMPARE(param->MaskEdit1->text(), QStringLiteral("KESTRA481307"));
    QCOMPARE(param->StaticText1->text(), QStringLiteral(" KESTRA NON CONNESSA "));
    QCOMPARE(param->StaticText1->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    QTest::mouseClick(param->findChild<QPushButton*>("bbChiudi"), Qt::LeftButton);
    QVERIFY(!param->isVisible());
    QCOMPARE(Ansi::readLines(store->iniPath()), (QStringList{store->storePath(), written, "KESTRA481307"}));
    QCOMPARE(store->tables().Host, written);
}

void TestExportWindows::blankHostDoesNothing()
{
    store->tables().Host = "  :1521";
    show();
    param->Edit1->setText("   ");
    QTest::mouseClick(param->findChild<QToolButton*>("SpeedButton1"), Qt::LeftButton);
    QVERIFY(store->tables().acKestra.server().isEmpty()); // nothing was set
    QCOMPARE(store->tables().Host, QStringLiteral("  :1521"));
}

void TestExportWindows::portTakesDigitsOnly()
{
    show();
    param->Edit2->clear();
    QTest::keyClicks(param->Edit2, "15a2x1");
    QCOMPARE(param->Edit2->text(), QStringLiteral("1521"));
    QTest::mouseClick(param->findChild<QToolButton*>("UpDown1Up"), Qt::LeftButton);
    QCOMPARE(param->Edit2->text(), QStringLiteral("1522"));
    param->Edit2->setText("0");
    QTest::mouseClick(param->findChild<QToolButton*>("UpDown1Down"), Qt::LeftButton);
    QCOMPARE(param->Edit2->text(), QStringLiteral("0"));
}

void TestExportWindows::browseTakesTheComputerName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("host");
    QTest::newRow("cancelled") << "" << "LOCALHOST";
    QTest::newRow("only backslashes") << "\\\\" << "LOCALHOST";
}

void TestExportWindows::browseTakesTheComputerName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, host);
    show();
    QString asked;
    param->BrowseDialog = [&](const QString& title, const QString& folder) {
        asked = title + "|" + folder;
        return chosen;
    };
    QTest::mouseClick(param->findChild<QToolButton*>("bbBrowse"), Qt::LeftButton);
    QCOMPARE(asked, QStringLiteral("Ricerca Server Kestra|\\\\"));
    QCOMPARE(param->Edit1->text(), host);
    QVERIFY(store->boxes().shown().isEmpty());
}

void TestExportWindows::browseOfAnUnreachableServer()
{
    show();
    param->Edit2->setText("1"); // nothing listens there
    param->BrowseDialog = [](const QString&, const QString&) { return QStringLiteral("\\\\127.0.0.1"); };
    qputenv("OSTREL_ACCOUNTING_DRIVER", "QPSQL");
    QTest::mouseClick(param->findChild<QToolButton*>("bbBrowse"), Qt::LeftButton);
    QCOMPARE(store->boxes().texts(),
             QStringList{"Si è verificato un problema durante la scelta del server Kestra."});
    QCOMPARE(param->Edit1->text(), QStringLiteral("LOCALHOST"));
}

void TestExportWindows::doubleClickConnectsWithTheRowsUser()
{
    const QString host = qEnvironmentVariable("OSTREL_TEST_ACCOUNTING_HOST");
    if (host.isEmpty())
        QSKIP("no accounting server (run scripts/test)");
    qputenv("OSTREL_ACCOUNTING_DRIVER", "QPSQL");
    TdTabelle& t = store->tables();
    t.Host = host;
    QVERIFY(t.ApriKestra(host));
    show();
    QCOMPARE(param->StaticText1->text(), QStringLiteral(" KESTRA CONNESSA "));
    QCOMPARE(param->StaticText1->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QTableView* grid = param->DBGrid1;
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(grid->currentIndex().data().toString(), QStringLiteral("COMUNE DI ROCCABRUNA"));
    int vallefonda = -1;
    for (int row = 0; row < 3; ++row)
        if (grid->model()->index(row, 0).data().toString() == "COMUNE DI VALLEFONDA")
            vallefonda = row;
    QVERIFY(vallefonda >= 0);
    const QRect cell = grid->visualRect(grid->model()->index(vallefonda, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(param->MaskEdit1->text(), QStringLiteral("KESTRA481308"));
    QVERIFY(t.acKestra.isConnected());
    QCOMPARE(t.acKestra.username(), QStringLiteral("KESTRA481308"));
    QCOMPARE(param->StaticText1->text(), QStringLiteral(" KESTRA CONNESSA "));
    param->close();
    QCOMPARE(Ansi::readLines(store->iniPath()).value(2), QStringLiteral("KESTRA481308"));
    t.acKestra.close();
}

void TestExportWindows::exportWindowWritesTheTextFiles()
{
    store->tables().cnOstrel.exec("INSERT INTO tEntrate (Id, Numero, Anno, ImportoBak) VALUES (1, '5', 2014, 10)");
    TfExport window(store->tables(), *param, "Ostrel");
    store->boxes().queueAnswer(true);
    window.bbExportFileClick();
    QCOMPARE(store->boxes().texts().last(), QStringLiteral("-> Kemo: Esportazione terminata."));
    QFile file(store->path("entrate.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().size(), 368 + 2);
}

void TestExportWindows::exportWindowShowsParametersWhenNotConnected()
{
    store->tables().Host = " ";
    TfExport window(store->tables(), *param, "Ostrel");
    bool parametersShown = false;
    QTimer::singleShot(200, [&] {
        parametersShown = param->isVisible();
        param->close();
    });
    window.bbExportDbClick();
    QVERIFY(parametersShown);
    QCOMPARE(store->boxes().shown().size(), 1);
    QVERIFY(store->boxes().texts().first().startsWith(
        "Non è stato possibile accedere alla banca dati di Kestra. Controllare nei parametri, oppure il file Ostrel.ini."));
}

QTEST_MAIN(TestExportWindows)
#include "tst_exportwindows.moc"
