#pragma once

#include "platform/DataSet.h"
#include "platform/DataSource.h"

#include <QDialog>
#include <array>

class QLineEdit;

namespace ostrel {

class DBGrid;
class TdTabelle;

// The search window: the active tab's residues in a list, filtered by one
// column at a time and sorted by a title click; the main window follows the
// selected residue and takes over the order when the window closes.
class TfCerca : public QDialog {
    Q_OBJECT
public:
    TfCerca(TdTabelle& tables, QWidget* parent = nullptr);

    // What the main window's search button does: the table line, the tag,
    // then the modal showing. mainQuery is the data set its navigator drives.
    void showFor(DataSet& mainQuery);
    // The same preparation without showing (tests show it themselves).
    void prepare(DataSet& mainQuery);

    DataSet qCerca;
    DataSource dsCerca;
    DBGrid* DBGrid1 = nullptr;
    std::array<QLineEdit*, 7> edits{};
    int OldColumn = -1; // none until the first opening
    int tag = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void EditEnter(int edit);
    void Edit1Change();
    void qCercaBeforeOpen();
    void qCercaAfterScroll();
    void DBGrid1TitleClick(int column);
    void reopen();
    int editTag(int edit) const;

    DataSet* m_main = nullptr;
    std::array<int, 7> m_editTags{};
};

} // namespace ostrel
