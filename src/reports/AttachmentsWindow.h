#pragma once

#include "Attachments.h"

#include "platform/DataSource.h"
#include "platform/Report.h"

#include <QDialog>
#include <functional>
#include <memory>

class QPushButton;

namespace ostrel {

class TdTabelle;
class TDBEditRev;

// The attachments window: attachments 5/1 and 5/2, the nine fund amounts of
// 5/2 (stored as each edit is left) and the way to the detail listing.
class TfStampe : public QDialog {
    Q_OBJECT
public:
    TfStampe(TdTabelle& tables, QWidget* parent = nullptr);

    Attachments attachments;
    DataSource dsFondiVincoli;
    Report frxReport1;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    // The detail listing, shown modally by "Dettaglio".
    std::function<void()> showDetail;
    // Shows a prepared report; the modal preview unless a test replaces it.
    std::function<void(std::shared_ptr<PreparedReport>)> preview;

    void bAll51Click();
    void bAll52Click();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void design(const QString& name);
    TdTabelle& m_tables;
};

} // namespace ostrel
