#pragma once

#include <QDialog>

namespace ostrel {

// Which budget titles make up the current part and the capital account.
class TfLegenda : public QDialog {
    Q_OBJECT
public:
    explicit TfLegenda(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace ostrel
