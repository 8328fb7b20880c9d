#include "MainWindow.h"

#include "app/DataModule.h"
#include "app/Version.h"
#include "import/ResidueImport.h"
#include "platform/MessageBoxes.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace ostrel {

TfMain::TfMain(TdTabelle& tables, bool importResidues, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      m_tables(tables)
{
    setObjectName(QStringLiteral("fMain"));
    setFixedSize(928, 723);
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(new QWidget, QStringLiteral("Entrate"));
    PageControl1->addTab(new QWidget, QStringLiteral("Uscite"));
    layout->addWidget(PageControl1);
    guarded([&] { FormCreate(importResidues); });
}

QString TfMain::LeggiVersione()
{
    return QStringLiteral("%1.%2.%3")
        .arg(OSTREL_VERSION_MAJOR)
        .arg(OSTREL_VERSION_MINOR)
        .arg(OSTREL_VERSION_PATCH);
}

void TfMain::FormCreate(bool importResidues)
{
    move(10, 10);
    setWindowTitle(QStringLiteral("[fMain] Ostrel v") + LeggiVersione());
    PageControl1->setCurrentIndex(0);
    if (importResidues) {
        ResidueImport import(m_tables);
        import.Importa(m_tables.tEntrate);
        import.Importa(m_tables.tUscite);
    }
}

} // namespace ostrel
