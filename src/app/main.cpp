#include "DataModule.h"
#include "ItalianSettings.h"
#include "SettingsFile.h"

#include "platform/Errors.h"
#include "platform/MessageBoxes.h"
#include "platform/WidgetMessageBoxes.h"
#include "ParametersWindow.h"

#include "export/ExportWindow.h"
#include "reports/AttachmentsWindow.h"
#include "reports/DetailWindow.h"
#include "workspace/LegendWindow.h"
#include "workspace/MainWindow.h"
#include "workspace/SearchWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

using namespace ostrel;

namespace {

// Handlers catch their own errors; this only keeps a stray one from ending
// the program.
class OstrelApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            reportException(e);
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    OstrelApplication app(argc, argv);
    useItalianSettings();
    WidgetMessageBoxes boxes;
    setMessages(&boxes);

    const QString executable = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    TdTabelle tables(SettingsFile::fileName(executable));
    // The wait runs inside the statement, so only the cursor can tell it.
    tables.cnOstrel.onWaitForLock = [](const QString&) {
        if (QApplication::overrideCursor())
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QTimer::singleShot(0, [] { QApplication::restoreOverrideCursor(); });
    };
    tables.DataModuleCreate();
    TfMain fMain(tables, argc > 1);
    TfCerca fCerca(tables, &fMain);
    TfStampe fStampe(tables, &fMain);
    TfDettaglio fDettaglio(tables, &fMain);
    TfLegenda fLegenda(&fMain);
    TfParam fParam(tables, SettingsFile::fileName(executable), &fMain);
    TfExport fExport(tables, fParam, SettingsFile::baseName(executable), &fMain);
    fMain.showSearch = [&] { fCerca.showFor(*fMain.DBNavigator1->dataSet()); };
    fMain.showLegend = [&] { fLegenda.exec(); };
    fMain.showExport = [&] { fExport.exec(); };
    fMain.showReports = [&] { fStampe.exec(); };
    fStampe.showDetail = [&] { fDettaglio.exec(); };
    fMain.show();
    const int status = app.exec();
    setMessages(nullptr);
    return status;
}
