#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/Report.h"
#include "platform/ReportPreview.h"
#include "reports/AttachmentsWindow.h"
#include "reports/DetailWindow.h"
#include "workspace/DBEditRev.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ostrel;

class TestReportWindows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { store.reset(); }
    void fundEnteredThenAttachmentShowsIt();
    void reimputedChoiceFollowsTheKind();
    void detailPrintPreviewsTheListing();
    void previewNavigatesAndFinds();

private:
    std::unique_ptr<TestStore> store;
    std::shared_ptr<PreparedReport> previewed;
};

void TestReportWindows::init()
{
    store = std::make_unique<TestStore>();
    for (const QString& name : QDir(OSTREL_TEMPLATES).entryList({"*.html"}))
        QFile::copy(QDir(OSTREL_TEMPLATES).filePath(name), store->path(name));
    store->tables().cnOstrel.exec(
        "INSERT INTO tUscite (Id, Anno, Numero, Sub, Cap, Art, UEB, Descrizione, Responsabile, Importo, "
        "ImportoBak, ResAnno2, FlCop2) VALUES (1, 2014, '7', 0, 1100, 1, '1010101', 'Spesa', 'ROSSI', 0, "
        "500, 500, 1)");
    store->restart();
    previewed.reset();
}

void TestReportWindows::fundEnteredThenAttachmentShowsIt()
{
    TfStampe window(store->tables());
    window.preview = [this](std::shared_ptr<PreparedReport> r) { previewed = std::move(r); };
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* fund = window.findChild<TDBEditRev*>("DBEditRev2");
    QTest::mouseClick(fund, Qt::LeftButton);
    QTest::keyClicks(fund, "1000,5");
    QTest::mouseClick(window.findChild<QPushButton*>("bAll52"), Qt::LeftButton);
    QVERIFY2(store->boxes().shown().isEmpty(), qPrintable(store->boxes().texts().join('\n')));
    QCOMPARE(store->scalar("SELECT FondoAl FROM tFondiVincoli").toDouble(), 1000.5);
    QVERIFY(previewed);
    QVERIFY(previewed->pageCount() >= 1);
    QVERIFY(previewed->findPage("1.000,50") >= 0);
    QCOMPARE(fund->text(), QStringLiteral("€ 1.000,50"));
}

void TestReportWindows::reimputedChoiceFollowsTheKind()
{
    TfDettaglio window(store->tables());
    window.show();
    QVERIFY(!window.RadioGroup3Box->isVisible());
    QTest::mouseClick(window.RadioButton2, Qt::LeftButton);
    QVERIFY(window.RadioGroup3Box->isVisible());
    window.RadioGroup3->button(1)->click();
    QTest::mouseClick(window.RadioButton1, Qt::LeftButton);
    QVERIFY(!window.RadioGroup3Box->isVisible());
    QTest::mouseClick(window.RadioButton2, Qt::LeftButton);
    QCOMPARE(window.RadioGroup3->checkedId(), 0);
}

void TestReportWindows::detailPrintPreviewsTheListing()
{
    TfDettaglio window(store->tables());
    window.preview = [this](std::shared_ptr<PreparedReport> r) { previewed = std::move(r); };
    window.show();
    QTest::mouseClick(window.RadioButton2, Qt::LeftButton);
    window.RadioButton5->setChecked(true);
    window.bbStampaClick();
    QVERIFY2(store->boxes().shown().isEmpty(), qPrintable(store->boxes().texts().join('\n')));
    QVERIFY(previewed);
    QCOMPARE(previewed->title(), QStringLiteral("STAMPA DETTAGLIO USCITE - SENZA ELIMINATI"));
    QVERIFY(previewed->findPage("Spesa") >= 0);
}

void TestReportWindows::previewNavigatesAndFinds()
{
    Report report;
    QString html = "<html><head><title>Prova</title></head><body>";
    for (int i = 0; i < 200; ++i)
        html += QStringLiteral("<p>riga %1</p>").arg(i);
    report.setTemplateText(html + "<p>FINE</p></body></html>");
    ReportPreview preview(report.prepare());
    QVERIFY(preview.findChild<QWidget*>() != nullptr);
    QCOMPARE(preview.currentPage(), 0);
    QVERIFY(preview.find("FINE"));
    QVERIFY(preview.currentPage() > 0);
    preview.showPage(0);
    preview.setZoom(2.0);
    QCOMPARE(preview.zoom(), 2.0);
    QVERIFY(!preview.find("assente"));
}

QTEST_MAIN(TestReportWindows)
#include "tst_reportwindows.moc"
