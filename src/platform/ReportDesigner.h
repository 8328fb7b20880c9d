#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace ostrel {

class Report;

// The modal designer: the template's text in an editor, its first page
// previewed live, and saving back to the template's file.
class ReportDesigner : public QDialog {
    Q_OBJECT
public:
    explicit ReportDesigner(Report& report, QWidget* parent = nullptr);

private:
    void refresh();

    Report& m_report;
    QPlainTextEdit* m_editor;
    QLabel* m_preview;
    QTimer* m_timer;
};

} // namespace ostrel
