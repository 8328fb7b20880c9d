#pragma once

#include "DetailListing.h"

#include "platform/Report.h"

#include <QDialog>
#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ostrel {

class TdTabelle;

// The detail listing window: kind, filters, order and amount choices, then
// the preview of the listing laid out by its template.
class TfDettaglio : public QDialog {
    Q_OBJECT
public:
    TfDettaglio(TdTabelle& tables, QWidget* parent = nullptr);

    DetailListing listing;
    Report frxReport1;
    std::function<void(std::shared_ptr<PreparedReport>)> preview;

    QRadioButton* RadioButton1 = nullptr; // Entrate
    QRadioButton* RadioButton2 = nullptr; // Uscite
    QButtonGroup* RadioGroup1 = nullptr;  // order
    QCheckBox* CheckBox1 = nullptr;
    QButtonGroup* RadioGroup2 = nullptr;  // Tipo stampa
    QLineEdit* MaskEdit1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* MaskEdit2 = nullptr;
    QLineEdit* MaskEdit3 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QGroupBox* RadioGroup3Box = nullptr;
    QButtonGroup* RadioGroup3 = nullptr;  // Importi reimputati
    QPushButton* Button1 = nullptr;       // Report

    // The controls' values as the listing reads them.
    DetailChoices choices() const;
    void bbStampaClick();
    void Button2Click();
    void RadioButton1Click();
    void RadioButton2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
};

} // namespace ostrel
