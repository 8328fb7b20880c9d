#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPrinter;
class QScrollArea;

namespace ostrel {

class PreparedReport;

// The modal preview of a prepared report: print (the system's dialog),
// page setup, zoom, page navigation, find, export to PDF and RTF. It opens
// maximised at 100 %.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(std::shared_ptr<PreparedReport> report, QWidget* parent = nullptr);
    ~ReportPreview() override;

    int currentPage() const { return m_page; }
    double zoom() const { return m_zoom; }
    void showPage(int index);
    void setZoom(double zoom);
    // Moves to the next page holding the text; false when none does.
    bool find(const QString& text);

    void print();
    void pageSetup();
    void exportPdf();
    void exportRtf();

private:
    class PageView;
    std::shared_ptr<PreparedReport> m_report;
    PageView* m_view;
    QScrollArea* m_scroll;
    QLabel* m_pageLabel;
    std::unique_ptr<QPrinter> m_printer; // keeps the page setup for printing
    int m_page = 0;
    double m_zoom = 1.0;
};

} // namespace ostrel
