#pragma once

#include "Reassessment.h"

#include "platform/DataSet.h"
#include "platform/DataSource.h"
#include "platform/DBNavigator.h"
#include "platform/Money.h"

#include <QDate>
#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace ostrel {

class DBCheckBox;
class DBText;
class PageControl;
class TDBEditRev;
class TdTabelle;

// The main window: the workspace of the reassessment. One residue at a time,
// revenues on "Entrate", expenditures on "Uscite"; the navigator's edit
// starts a split, its post registers it when the remainder is zero to the cent.
class TfMain : public QWidget {
    Q_OBJECT
public:
    // importResidues: the program was started with a command-line argument.
    TfMain(TdTabelle& tables, bool importResidues, const QDate& today = QDate::currentDate(),
           QWidget* parent = nullptr);
    ~TfMain() override;

    // major.minor.release of the program.
    static QString LeggiVersione();

    // The toolbar's other windows, shown modally by whoever creates them.
    std::function<void()> showExport;
    std::function<void()> showSearch;
    std::function<void()> showReports;
    std::function<void()> showLegend;

    DataSet qEntrate;
    DataSet qUscite;
    DataSource dsEntrate;
    DataSource dsUscite;

    QWidget* Panel1 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QToolButton* bbReset = nullptr;
    QToolButton* bbExport = nullptr;
    QToolButton* bbCerca = nullptr;
    QToolButton* bbStampe = nullptr;
    QToolButton* bbLegenda = nullptr;
    QPushButton* bbEsci = nullptr;
    PageControl* PageControl1 = nullptr;
    // Looked up once: the handlers that use them run on every keystroke.
    DBText* DBText3 = nullptr;
    DBText* DBText10 = nullptr;
    QToolButton* sbModificaE = nullptr;
    QToolButton* sbModificaU = nullptr;

    // The split base: ImportoBak of the residue when its split began.
    Amount Importo;

private:
    void createToolbar();
    QWidget* createRevenuePage();
    QWidget* createExpenditurePage();
    void connectHandlers();

    void FormCreate(bool importResidues, const QDate& today);
    bool PageControl1Changing();
    void PageControl1Change();
    void qEntrateImportoChange(Field& field);
    void DBNavigator1BeforeAction(DBNavigator::Button button, bool& abandon);
    void DBNavigator1Click(DBNavigator::Button button);
    void DBEditRev1Change();
    void showAmountCorrection(Reassessment::Kind kind, bool correcting);
    void sbModificaClick(Reassessment::Kind kind);
    void sbRegistraClick(Reassessment::Kind kind);
    void bbResetClick();
    void bbEsciClick() { close(); }

    // Enables what Browse allows; a tab without residues offers no edit.
    void enableBrowseControls(bool enabled);
    Reassessment::Kind activeKind() const;

    TdTabelle& m_tables;
    // A reset or an amount correction is changing the record: no recompute.
    bool m_changingRecord = false;

    template <typename T>
    T* child(const char* name) const;
};

} // namespace ostrel
