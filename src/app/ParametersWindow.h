#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace ostrel {

class TdTabelle;

// Where the accounting database is and which schema is the authority's:
// host, port and user, the installations the administrative schema lists, a
// connection test. What it shows when it closes is written to the settings file.
class TfParam : public QDialog {
    Q_OBJECT
public:
    // settingsFile: the settings file, written back on close.
    TfParam(TdTabelle& tables, QString settingsFile, QWidget* parent = nullptr);

    // Picks a network computer: returns "\\" + its name, empty when cancelled.
    std::function<QString(const QString& title, const QString& initialFolder)> BrowseDialog;

    QTableView* DBGrid1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QLabel* StaticText1 = nullptr;

    void FormShow();
    void SpeedButton1Click();
    void DBGrid1DblClick();
    void browseClick();
    static void Test(QLabel* C, bool connected);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the installations of the administrative schema into the list;
    // throws when the server does not answer.
    void openZarn();
    bool FormClose();
    void stepPort(int delta);

    TdTabelle& m_tables;
    QString m_settingsFile;
    QStandardItemModel* m_zarn;
};

// A small dialog listing the computers this system knows (the hosts file),
// with a field to type a name; the stand-in for the shell's network browser.
QString browseNetworkComputer(QWidget* parent, const QString& title, const QString& initialFolder);

} // namespace ostrel
