#include "DetailWindow.h"

#include "ReportRules.h"

#include "app/DataModule.h"
#include "platform/CapitalsInput.h"
#include "platform/Glyphs.h"
#include "platform/MessageBoxes.h"
#include "platform/ReportDesigner.h"
#include "platform/ReportPreview.h"
#include "platform/WindowFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace ostrel {

namespace {

QLineEdit* filterEdit(QWidget* parent, const char* name, const QString& caption, const QRect& rect, int digits)
{
    auto* label = new QLabel(caption, parent);
    label->setGeometry(rect.x(), rect.y() - 18, rect.width(), 16);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(rect);
    if (digits > 0) {
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("\\d{0,%1}").arg(digits)), edit));
        edit->setMaxLength(digits);
    }
    return edit;
}

QButtonGroup* radioGroup(QGroupBox* box, const QStringList& items, int columns)
{
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        radio->setGeometry(10 + (i % columns) * 150, 20 + (i / columns) * 22, 145, 20);
        group->addButton(radio, i);
    }
    group->button(0)->setChecked(true);
    return group;
}

} // namespace

TfDettaglio::TfDettaglio(TdTabelle& tables, QWidget* parent) : QDialog(parent), listing(&tables.cnOstrel)
{
    setObjectName(QStringLiteral("fDettaglio"));
    setWindowTitle(QStringLiteral("[fDettaglio]"));
    setFont(windowFont(11));
    setFixedSize(550, 449);
    preview = [this](std::shared_ptr<PreparedReport> report) { ReportPreview(std::move(report), this).exec(); };

    auto* kindBox = new QGroupBox(this);
    kindBox->setGeometry(10, 8, 200, 36);
    RadioButton1 = new QRadioButton(QStringLiteral("Entrate"), kindBox);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(10, 8, 90, 20);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("Uscite"), kindBox);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(105, 8, 90, 20);

    auto* orderBox = new QGroupBox(QStringLiteral("Ordino la stampa per:"), this);
    orderBox->setGeometry(10, 50, 320, 70);
    RadioGroup1 = radioGroup(orderBox, {"Anno - Acc/Imp.", "Cap/Art.", "UEB", "Responsabile"}, 2);
    CheckBox1 = new QCheckBox(QStringLiteral("Con dettagli"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(345, 60, 190, 20);
    auto* typeBox = new QGroupBox(QStringLiteral("Tipo stampa"), this);
    typeBox->setGeometry(340, 84, 200, 48);
    RadioGroup2 = new QButtonGroup(typeBox);
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(i == 0 ? QStringLiteral("Tipo 1") : QStringLiteral("Tipo 2"), typeBox);
        radio->setGeometry(10 + i * 90, 20, 85, 20);
        RadioGroup2->addButton(radio, i);
    }
    RadioGroup2->button(0)->setChecked(true);

    auto* filters = new QGroupBox(QStringLiteral("Filtri"), this);
    filters->setGeometry(10, 140, 530, 150);
    MaskEdit1 = filterEdit(filters, "MaskEdit1", QStringLiteral("Anno"), QRect(10, 40, 70, 24), 4);
    Edit1 = filterEdit(filters, "Edit1", QStringLiteral("Acc/imp."), QRect(90, 40, 110, 24), 0);
    MaskEdit2 = filterEdit(filters, "MaskEdit2", QStringLiteral("Capitolo"), QRect(210, 40, 80, 24), 5);
    MaskEdit3 = filterEdit(filters, "MaskEdit3", QStringLiteral("UEB"), QRect(300, 40, 100, 24), 7);
    Edit2 = filterEdit(filters, "Edit2", QStringLiteral("Responsabile"), QRect(10, 88, 390, 24), 0);
    typeInCapitals(Edit2);
    auto* reset = new QPushButton(QStringLiteral("Resetta filtri"), filters);
    reset->setObjectName(QStringLiteral("Button2"));
    reset->setGeometry(410, 86, 110, 28);

    auto* amountsBox = new QGroupBox(this);
    amountsBox->setGeometry(10, 296, 200, 84);
    RadioButton3 = new QRadioButton(QStringLiteral("Tutti gli importi"), amountsBox);
    RadioButton3->setGeometry(10, 6, 180, 20);
    RadioButton3->setChecked(true);
    RadioButton4 = new QRadioButton(QStringLiteral("Solo eliminati"), amountsBox);
    RadioButton4->setGeometry(10, 30, 180, 20);
    RadioButton5 = new QRadioButton(QStringLiteral("Senza eliminati"), amountsBox);
    RadioButton5->setGeometry(10, 54, 180, 20);
    RadioGroup3Box = new QGroupBox(QStringLiteral("Importi reimputati:"), this);
    RadioGroup3Box->setObjectName(QStringLiteral("RadioGroup3"));
    RadioGroup3Box->setGeometry(220, 296, 320, 70);
    RadioGroup3 = radioGroup(RadioGroup3Box, {"Tutti", "Coperti da fondo", "Non coperti da fondo"}, 2);
    RadioGroup3Box->setVisible(false);

    auto* print = new QToolButton(this);
    print->setObjectName(QStringLiteral("bbStampa"));
    print->setIcon(glyphIcon(Glyph::Print, 48));
    print->setIconSize(QSize(48, 48));
    print->setGeometry(10, 388, 64, 56);
    Button1 = new QPushButton(QStringLiteral("Report"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(90, 404, 90, 28);
    auto* quit = new QPushButton(glyphIcon(Glyph::Exit, 24), QStringLiteral("&Esci"), this);
    quit->setObjectName(QStringLiteral("bbEsci"));
    quit->setGeometry(440, 400, 100, 40);

    connect(RadioButton1, &QRadioButton::clicked, this, guard([this] { RadioButton1Click(); }));
    connect(RadioButton2, &QRadioButton::clicked, this, guard([this] { RadioButton2Click(); }));
    connect(reset, &QPushButton::clicked, this, guard([this] { Button2Click(); }));
    connect(print, &QToolButton::clicked, this, guard([this] { bbStampaClick(); }));
    connect(Button1, &QPushButton::clicked, this, guard([this] {
                listing.choices = choices();
                listing.loadTemplate(frxReport1);
                ReportDesigner(frxReport1, this).exec();
            }));
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

DetailChoices TfDettaglio::choices() const
{
    DetailChoices c;
    c.kind = RadioButton1->isChecked() ? DetailChoices::Kind::Entrate : DetailChoices::Kind::Uscite;
    c.year = MaskEdit1->text();
    c.number = Edit1->text();
    c.chapter = MaskEdit2->text();
    c.ueb = MaskEdit3->text();
    c.responsible = Edit2->text();
    c.amounts = RadioButton4->isChecked()   ? DetailChoices::Amounts::SoloEliminati
                : RadioButton5->isChecked() ? DetailChoices::Amounts::SenzaEliminati
                                            : DetailChoices::Amounts::Tutti;
    c.reimputed = DetailChoices::Reimputed(qMax(0, RadioGroup3->checkedId()));
    c.order = DetailChoices::Order(qMax(0, RadioGroup1->checkedId()));
    c.details = CheckBox1->isChecked();
    c.type = qMax(0, RadioGroup2->checkedId());
    return c;
}

void TfDettaglio::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Button1->setVisible(ReportRules::designerAllowed());
    RadioGroup3Box->setVisible(RadioButton2->isChecked());
}

void TfDettaglio::done(int result)
{
    guarded([this] { listing.FormClose(); });
    QDialog::done(result);
}

void TfDettaglio::RadioButton1Click()
{
    RadioGroup3Box->setVisible(!RadioButton1->isChecked());
    RadioGroup3->button(0)->setChecked(true);
}

void TfDettaglio::RadioButton2Click()
{
    RadioGroup3Box->setVisible(RadioButton2->isChecked());
    RadioGroup3->button(0)->setChecked(true);
}

void TfDettaglio::Button2Click()
{
    for (QLineEdit* edit : {MaskEdit1, Edit1, MaskEdit2, MaskEdit3, Edit2})
        edit->clear();
    RadioButton3->setChecked(true);
    RadioGroup3->button(0)->setChecked(true);
}

void TfDettaglio::bbStampaClick()
{
    listing.choices = choices();
    listing.bbStampaClick(frxReport1);
    preview(frxReport1.prepare());
}

} // namespace ostrel
