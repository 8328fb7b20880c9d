#pragma once

#include <QWidget>

class QTabWidget;

namespace ostrel {

class TdTabelle;

// The main window: the workspace of the reassessment.
class TfMain : public QWidget {
    Q_OBJECT
public:
    // importResidues: the program was started with a command-line argument.
    TfMain(TdTabelle& tables, bool importResidues, QWidget* parent = nullptr);

    // major.minor.release of the program.
    static QString LeggiVersione();

private:
    void FormCreate(bool importResidues);

    TdTabelle& m_tables;
    QTabWidget* PageControl1 = nullptr;
};

} // namespace ostrel
