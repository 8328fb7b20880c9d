#include "AttachmentsWindow.h"

#include "ReportRules.h"

#include "app/DataModule.h"
#include "platform/Field.h"
#include "platform/Glyphs.h"
#include "platform/MessageBoxes.h"
#include "platform/ReportDesigner.h"
#include "platform/ReportPreview.h"
#include "platform/WindowFont.h"
#include "workspace/DBEditRev.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace ostrel {

namespace {

struct FundEdit {
    const char* name;
    const char* column;
    const char* caption;
};

const FundEdit kFunds[9] = {
    {"DBEditRev8", "Punto_a", "Risultato di amministrazione al 31 dicembre 2014"},
    {"DBEditRev1", "FondoCredito", "Fondo crediti di dubbia e difficile esazione"},
    {"DBEditRev2", "FondoAl", "Fondo al 31/12/2014"},
    {"DBEditRev3", "VincoloLeggi", "Vincoli derivanti da leggi e dai principi contabili"},
    {"DBEditRev4", "VincoloTrasf", "Vincoli derivanti da trasferimenti"},
    {"DBEditRev5", "VincoloMutui", "Vincoli derivanti dalla contrazione di mutui"},
    {"DBEditRev6", "VincoloEnte", "Vincoli formalmente attribuiti dall'ente"},
    {"DBEditRev7", "VincoloAltro", "Altri vincoli da specificare"},
    {"DBEditRev9", "Punto_m", "Totale parte destinata agli investimenti"},
};

} // namespace

TfStampe::TfStampe(TdTabelle& tables, QWidget* parent)
    : QDialog(parent), attachments(&tables.cnOstrel), m_tables(tables)
{
    setObjectName(QStringLiteral("fStampe"));
    setWindowTitle(QStringLiteral("[fStampe]"));
    setFont(windowFont(11));
    setFixedSize(670, 461);
    preview = [this](std::shared_ptr<PreparedReport> report) { ReportPreview(std::move(report), this).exec(); };

    auto* b51 = new QPushButton(QStringLiteral("Allegato 5/1"), this);
    b51->setObjectName(QStringLiteral("bAll51"));
    b51->setGeometry(10, 10, 150, 50);
    b51->setFont(windowFont(14, true));
    auto* b52 = new QPushButton(QStringLiteral("Allegato 5/2"), this);
    b52->setObjectName(QStringLiteral("bAll52"));
    b52->setGeometry(170, 10, 150, 50);
    b52->setFont(windowFont(14, true));
    auto* quit = new QPushButton(glyphIcon(Glyph::Exit, 24), QStringLiteral("&Esci"), this);
    quit->setObjectName(QStringLiteral("bbEsci"));
    quit->setGeometry(560, 10, 100, 40);
    Button1 = new QPushButton(QStringLiteral("Report"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(10, 64, 150, 24);
    Button2 = new QPushButton(QStringLiteral("Report"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(170, 64, 150, 24);

    // The fund amounts: typing starts editing (or the table's first row).
    dsFondiVincoli.setDataSet(&tables.tFondiVincoli);
    if (tables.tFondiVincoli.isActive())
        for (const QString& column : Attachments::fundColumns())
            if (Field* f = tables.tFondiVincoli.findField(column))
                f->setCurrency(true);
    auto* accantonata = new QGroupBox(
        QStringLiteral("Parte accantonata (Non comprende il fondo pluriennale vincolato)"), this);
    accantonata->setGeometry(10, 150, 650, 70);
    auto* vincolata = new QGroupBox(QStringLiteral("Parte vincolata"), this);
    vincolata->setGeometry(10, 226, 650, 178);
    for (int i = 0; i < 9; ++i) {
        QWidget* parentBox = i == 0 ? static_cast<QWidget*>(this) : i <= 2 ? accantonata : vincolata;
        QRect rect;
        if (i == 0)
            rect = QRect(10, 100, 320, 44);
        else if (i <= 2)
            rect = QRect(10 + (i - 1) * 320, 18, 310, 44);
        else
            rect = QRect(10 + ((i - 3) % 2) * 320, 18 + ((i - 3) / 2) * 52, 310, 44);
        auto* label = new QLabel(QString::fromUtf8(kFunds[i].caption), parentBox);
        label->setGeometry(rect.x(), rect.y(), rect.width(), 18);
        auto* edit = new TDBEditRev(parentBox);
        edit->setObjectName(QString::fromLatin1(kFunds[i].name));
        edit->setGeometry(rect.x(), rect.y() + 18, 200, 24);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit->setDataSource(&dsFondiVincoli);
        edit->setDataField(QString::fromLatin1(kFunds[i].column));
        edit->onExit = [this] { attachments.DBEditRev1Exit(m_tables.tFondiVincoli); };
    }
    auto* detail = new QPushButton(QStringLiteral("Dettaglio"), this);
    detail->setObjectName(QStringLiteral("Button3"));
    detail->setGeometry(510, 412, 150, 40);
    detail->setFont(windowFont(14, true));

    connect(b51, &QPushButton::clicked, this, guard([this] { bAll51Click(); }));
    connect(b52, &QPushButton::clicked, this, guard([this] { bAll52Click(); }));
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, guard([this] { design(QStringLiteral("All-51.html")); }));
    connect(Button2, &QPushButton::clicked, this, guard([this] { design(QStringLiteral("All-52.html")); }));
    connect(detail, &QPushButton::clicked, this, guard([this] {
                if (showDetail)
                    showDetail();
            }));
}

void TfStampe::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    guarded([this] {
        Button1->setVisible(ReportRules::designerAllowed());
        Button2->setVisible(Button1->isVisibleTo(this));
        attachments.FormShow();
    });
}

void TfStampe::done(int result)
{
    guarded([this] { attachments.FormClose(); });
    QDialog::done(result);
}

void TfStampe::bAll51Click()
{
    attachments.bAll51Click(frxReport1);
    preview(frxReport1.prepare());
}

void TfStampe::bAll52Click()
{
    attachments.bAll52Click(frxReport1);
    preview(frxReport1.prepare());
}

void TfStampe::design(const QString& name)
{
    frxReport1.loadFromFile(ReportRules::templatePath(name));
    ReportDesigner(frxReport1, this).exec();
}

} // namespace ostrel
