#pragma once

#include <QDialog>

class QProgressDialog;
class QToolButton;

namespace ostrel {

class TdTabelle;
class TfParam;

// The export window: the reassessment to the fixed-width text files, or
// into the accounting database.
class TfExport : public QDialog {
    Q_OBJECT
public:
    TfExport(TdTabelle& tables, TfParam& parameters, QString settingsBaseName, QWidget* parent = nullptr);

    void bbExportFileClick();
    void bbExportDbClick();

private:
    TdTabelle& m_tables;
    TfParam& m_parameters;
    QString m_settingsBaseName;
};

} // namespace ostrel
