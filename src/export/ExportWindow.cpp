#include "ExportWindow.h"

#include "DatabaseExport.h"
#include "ExportFeedback.h"
#include "TextExport.h"

#include "app/DataModule.h"
#include "app/ParametersWindow.h"
#include "platform/Glyphs.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowFont.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QToolButton>

namespace ostrel {

namespace {

// The hourglass, a progress dialog counting the residues, and the
// parameters window when the session cannot be opened.
class WindowFeedback : public ExportFeedback {
public:
    WindowFeedback(QWidget* window, TfParam* parameters) : m_window(window), m_parameters(parameters) {}
    ~WindowFeedback() override
    {
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }

    void setBusy(bool busy) override
    {
        if (busy == m_busy)
            return;
        m_busy = busy;
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
            m_progress.reset();
        }
    }
    void progress(const QString& table, int done, int total) override
    {
        if (!m_progress) {
            m_progress = std::make_unique<QProgressDialog>(m_window);
            m_progress->setWindowTitle(QStringLiteral("Esportazione"));
            m_progress->setCancelButton(nullptr);
            m_progress->setMinimumDuration(300);
            m_progress->setWindowModality(Qt::WindowModal);
        }
        m_progress->setLabelText(QStringLiteral("%1: residuo %2 di %3").arg(table).arg(done).arg(total));
        m_progress->setMaximum(qMax(total, 1));
        m_progress->setValue(qMin(done, qMax(total, 1)));
        if (done >= total)
            m_progress.reset();
    }
    void showParameters() override
    {
        if (m_parameters)
            m_parameters->exec();
    }

private:
    QWidget* m_window;
    TfParam* m_parameters;
    bool m_busy = false;
    std::unique_ptr<QProgressDialog> m_progress;
};

QToolButton* pictureButton(QWidget* parent, const char* name, Glyph glyph, const QString& caption,
                           const QString& hint, const QRect& rect)
{
    auto* button = new QToolButton(parent);
    button->setIcon(glyphIcon(glyph, 48));
    button->setText(caption);
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
    button->setObjectName(QString::fromLatin1(name));
    button->setIconSize(QSize(48, 48));
    button->setToolTip(hint);
    button->setGeometry(rect);
    return button;
}

} // namespace

TfExport::TfExport(TdTabelle& tables, TfParam& parameters, QString settingsBaseName, QWidget* parent)
    : QDialog(parent), m_tables(tables), m_parameters(parameters),
      m_settingsBaseName(std::move(settingsBaseName))
{
    setObjectName(QStringLiteral("fExport"));
    setWindowTitle(QStringLiteral("[fExport]"));
    setFont(windowFont(11)); // 8 points
    setFixedSize(506, 126);
    QToolButton* file = pictureButton(this, "bbExportFile", Glyph::TextFile, QString(),
                                      QStringLiteral("Esportazione dati verso programma kemo (dovenia)"),
                                      QRect(8, 24, 69, 79));
    QToolButton* quit = pictureButton(this, "bbEsci", Glyph::Exit, QStringLiteral("&Esci"), QString(),
                                      QRect(369, 24, 129, 79));
    QToolButton* db = pictureButton(this, "bbExportDb", Glyph::Database, QStringLiteral("Brenvale"),
                                    QStringLiteral("Esportazione dati verso programma Brenvale (Kestra)"),
                                    QRect(91, 24, 69, 79));
    setTabOrder(file, quit);
    setTabOrder(quit, db);
    connect(file, &QToolButton::clicked, this, guard([this] { bbExportFileClick(); }));
    connect(db, &QToolButton::clicked, this, guard([this] { bbExportDbClick(); }));
    connect(quit, &QToolButton::clicked, this, &QDialog::reject);
}

void TfExport::bbExportFileClick()
{
    WindowFeedback feedback(this, nullptr);
    TextExport(m_tables.cnOstrel).bbExportFileClick(feedback);
}

void TfExport::bbExportDbClick()
{
    WindowFeedback feedback(this, &m_parameters);
    DatabaseExport(m_tables, m_settingsBaseName).bbExportDbClick(feedback);
}

} // namespace ostrel
