#include "ReportPreview.h"

#include "Glyphs.h"
#include "MessageBoxes.h"
#include "Report.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QToolBar>
#include <QVBoxLayout>

namespace ostrel {

// One page, painted by the report itself at the preview's zoom.
class ReportPreview::PageView : public QWidget {
public:
    explicit PageView(ReportPreview& preview) : m_preview(preview) {}
    void updateSize()
    {
        const QSizeF points = m_preview.m_report->pageLayout().fullRect(QPageLayout::Point).size();
        // 96 pixels an inch on screen at 100 %.
        const double scale = m_preview.m_zoom * 96.0 / 72.0;
        setFixedSize(int(points.width() * scale), int(points.height() * scale));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        const double scale = m_preview.m_zoom * 96.0 / 72.0;
        painter.scale(scale, scale);
        if (m_preview.m_report->pageCount() > 0)
            m_preview.m_report->paintPage(painter, m_preview.m_page);
    }

private:
    ReportPreview& m_preview;
};

ReportPreview::ReportPreview(std::shared_ptr<PreparedReport> report, QWidget* parent)
    : QDialog(parent), m_report(std::move(report)), m_printer(std::make_unique<QPrinter>())
{
    m_printer->setPageLayout(m_report->pageLayout());
    setObjectName(QStringLiteral("frxPreview"));
    setWindowTitle(QStringLiteral("Anteprima - ") + m_report->title());
    setWindowState(Qt::WindowMaximized);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    layout->addWidget(bar);
    auto add = [&](Glyph glyph, const QString& text, auto slot) {
        QAction* action = bar->addAction(glyphIcon(glyph, 24), text);
        connect(action, &QAction::triggered, this, guard(slot));
        return action;
    };
    add(Glyph::Print, QStringLiteral("Stampa"), [this] { print(); });
    add(Glyph::Edit, QStringLiteral("Imposta pagina"), [this] { pageSetup(); });
    add(Glyph::Export, QStringLiteral("Esporta PDF"), [this] { exportPdf(); });
    add(Glyph::TextFile, QStringLiteral("Esporta RTF"), [this] { exportRtf(); });
    bar->addSeparator();
    bar->addAction(QStringLiteral("Zoom -"), this, [this] { setZoom(m_zoom / 1.25); });
    bar->addAction(QStringLiteral("100 %"), this, [this] { setZoom(1.0); });
    bar->addAction(QStringLiteral("Zoom +"), this, [this] { setZoom(m_zoom * 1.25); });
    bar->addSeparator();
    add(Glyph::First, QStringLiteral("Prima pagina"), [this] { showPage(0); });
    add(Glyph::Prior, QStringLiteral("Pagina precedente"), [this] { showPage(m_page - 1); });
    m_pageLabel = new QLabel(this);
    bar->addWidget(m_pageLabel);
    add(Glyph::Next, QStringLiteral("Pagina successiva"), [this] { showPage(m_page + 1); });
    add(Glyph::Last, QStringLiteral("Ultima pagina"), [this] { showPage(m_report->pageCount() - 1); });
    bar->addSeparator();
    add(Glyph::Search, QStringLiteral("Trova"), [this] {
        bool ok = false;
        const QString text = QInputDialog::getText(this, QStringLiteral("Trova"), QStringLiteral("Testo da cercare:"),
                                                   QLineEdit::Normal, QString(), &ok);
        if (ok && !text.isEmpty() && !find(text))
            messages().information(QStringLiteral("Testo non trovato: ") + text);
    });
    add(Glyph::Close, QStringLiteral("Chiudi"), [this] { accept(); });

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(*this);
    m_scroll->setWidget(m_view);
    layout->addWidget(m_scroll);
    m_view->updateSize();
    showPage(0);
}

void ReportPreview::showPage(int index)
{
    const int count = m_report->pageCount();
    m_page = std::clamp(index, 0, qMax(0, count - 1));
    m_pageLabel->setText(QStringLiteral(" Pagina %1 di %2 ").arg(count ? m_page + 1 : 0).arg(count));
    m_view->update();
}

void ReportPreview::setZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 0.25, 4.0);
    m_view->updateSize();
}

bool ReportPreview::find(const QString& text)
{
    int page = m_report->findPage(text, m_page + 1);
    if (page < 0)
        page = m_report->findPage(text, 0);
    if (page < 0)
        return false;
    showPage(page);
    return true;
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::print()
{
    QPrintDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int from = m_printer->fromPage() > 0 ? m_printer->fromPage() - 1 : 0;
    const int to = m_printer->toPage() > 0 ? m_printer->toPage() - 1 : -1;
    m_report->paintAll(*m_printer, from, to);
}

void ReportPreview::pageSetup()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

void ReportPreview::exportPdf()
{
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Esporta in PDF"),
                                                      m_report->title() + QStringLiteral(".pdf"),
                                                      QStringLiteral("PDF (*.pdf)"));
    if (!file.isEmpty())
        m_report->writePdf(file);
}

void ReportPreview::exportRtf()
{
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Esporta in RTF"),
                                                      m_report->title() + QStringLiteral(".rtf"),
                                                      QStringLiteral("RTF (*.rtf)"));
    if (!file.isEmpty())
        m_report->writeRtf(file);
}

} // namespace ostrel
