#include "ReportDesigner.h"

#include "Errors.h"
#include "MessageBoxes.h"
#include "Report.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace ostrel {

ReportDesigner::ReportDesigner(Report& report, QWidget* parent)
    : QDialog(parent), m_report(report), m_editor(new QPlainTextEdit), m_preview(new QLabel),
      m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frxDesigner"));
    setWindowTitle(QStringLiteral("Modello - ") + (report.fileName().isEmpty() ? QStringLiteral("nuovo")
                                                                               : report.fileName()));
    setWindowState(Qt::WindowMaximized);
    auto* layout = new QVBoxLayout(this);
    auto* split = new QHBoxLayout;
    m_editor->setPlainText(report.templateText());
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    split->addWidget(m_editor, 1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_preview);
    scroll->setWidgetResizable(false);
    split->addWidget(scroll, 1);
    layout->addLayout(split);
    auto* save = new QPushButton(QStringLiteral("&Salva"));
    auto* close = new QPushButton(QStringLiteral("&Chiudi"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    m_timer->setSingleShot(true);
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, guard([this] { refresh(); }));
    connect(m_editor, &QPlainTextEdit::textChanged, m_timer, qOverload<>(&QTimer::start));
    connect(save, &QPushButton::clicked, this, guard([this] {
                QString file = m_report.fileName();
                if (file.isEmpty())
                    file = QFileDialog::getSaveFileName(this, QStringLiteral("Salva il modello"), QString(),
                                                        QStringLiteral("Modelli (*.html)"));
                if (!file.isEmpty()) {
                    m_report.setTemplateText(m_editor->toPlainText());
                    m_report.saveToFile(file);
                }
            }));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

void ReportDesigner::refresh()
{
    const QString saved = m_report.templateText();
    m_report.setTemplateText(m_editor->toPlainText());
    try {
        const auto prepared = m_report.prepare();
        const QSizeF points = prepared->pageLayout().fullRect(QPageLayout::Point).size();
        QPixmap page(int(points.width() * 96 / 72), int(points.height() * 96 / 72));
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.scale(96.0 / 72.0, 96.0 / 72.0);
        if (prepared->pageCount() > 0)
            prepared->paintPage(painter, 0);
        painter.end();
        m_preview->setPixmap(page);
        m_preview->resize(page.size());
    } catch (const Error& e) {
        m_preview->setText(e.message());
        m_preview->adjustSize();
    }
    m_report.setTemplateText(saved);
}

} // namespace ostrel
