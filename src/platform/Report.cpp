#include "Report.h"

#include "Errors.h"
#include "RtfWriter.h"
#include "TableBorders.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <functional>
#include <QScreen>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <unordered_map>
#include <kainjow/mustache.hpp>

namespace ostrel {

namespace mu = kainjow::mustache;

namespace {

// Room for the page header (title, date) and the footer (page number).
constexpr qreal kHeaderPoints = 26;
constexpr qreal kFooterPoints = 20;
constexpr qsizetype kChunkRows = 40;

qreal layoutDpi()
{
    // A text document without a paint device lays out at the screen's dpi.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInchY();
    return 96;
}

std::string utf8(const QString& text)
{
    return text.toStdString();
}

QString formatted(const QVariant& value, ReportKind kind)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (kind) {
    case ReportKind::Amount:
        return formatReportAmount(value.toDouble());
    case ReportKind::Flag:
        // False prints as nothing, so that a section on a flag works.
        return value.toBool() ? QStringLiteral("Sì") : QString();
    case ReportKind::Integer:
        return QString::number(value.toLongLong());
    default:
        return value.toString();
    }
}

QString rawText(const QVariant& value, ReportKind kind)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (kind) {
    case ReportKind::Amount:
        return QString::number(value.toDouble(), 'f', 2);
    case ReportKind::Flag:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return value.toString();
    }
}

// An empty value is false: it prints as nothing, and a section on it is
// skipped instead of looking the name up in the enclosing data.
mu::data text(const QString& value)
{
    if (value.isEmpty())
        return mu::data(false);
    return mu::data(utf8(value));
}

bool isNumeric(ReportKind kind)
{
    return kind == ReportKind::Amount || kind == ReportKind::Integer;
}

// Sums of the numeric columns over rows [from, to); null where no row has a value.
QVariantList totalsOf(const ReportDataSet::Snapshot& s, qsizetype from, qsizetype to)
{
    QVariantList totals;
    for (qsizetype c = 0; c < s.columns.size(); ++c) {
        const ReportKind kind = s.columns[c].kind;
        if (!isNumeric(kind)) {
            totals.append(QVariant());
            continue;
        }
        double sum = 0;
        qint64 isum = 0;
        bool any = false;
        for (qsizetype r = from; r < to; ++r) {
            const QVariant& v = s.rows[r][c];
            if (!v.isValid() || v.isNull())
                continue;
            any = true;
            if (kind == ReportKind::Amount)
                sum += v.toDouble();
            else
                isum += v.toLongLong();
        }
        totals.append(!any ? QVariant() : kind == ReportKind::Amount ? QVariant(sum) : QVariant(isum));
    }
    return totals;
}

// The words of a template: a column whose name is none of them cannot be
// printed, so its values need not be formatted for every row.
using Words = QSet<QString>;

Words wordsOf(const QString& templateText)
{
    static const QRegularExpression word(QStringLiteral("\\w+"));
    Words words;
    for (const auto& match : word.globalMatch(templateText))
        words.insert(match.captured());
    return words;
}

mu::data totalsData(const ReportDataSet::Snapshot& s, const QVariantList& totals, const QList<bool>& used)
{
    mu::data object{mu::data::type::object};
    mu::data raw{mu::data::type::object};
    for (qsizetype c = 0; c < s.columns.size(); ++c) {
        if (!isNumeric(s.columns[c].kind) || !used[c])
            continue;
        const std::string name = utf8(s.columns[c].name);
        object[name] = text(formatted(totals[c], s.columns[c].kind));
        raw[name] = text(rawText(totals[c], s.columns[c].kind));
    }
    object["raw"] = std::move(raw);
    return object;
}

void append(mu::data& list, mu::data&& item)
{
    // kainjow's push_back copies; the list is ours, so move into it.
    const_cast<mu::list&>(list.list_value()).push_back(std::move(item));
}

mu::data dataSetData(const ReportDataSet& binding, mu::data& root, const Words& words)
{
    const ReportDataSet::Snapshot s = binding.read();
    const qsizetype n = s.rows.size();
    QList<bool> used;
    QList<std::string> names;
    for (const ReportDataSet::Column& column : s.columns) {
        used.append(words.contains(column.name));
        names.append(utf8(column.name));
    }
    QList<int> groupColumns;
    for (const QString& name : binding.groupBy())
        for (qsizetype c = 0; c < s.columns.size(); ++c)
            if (s.columns[c].name.compare(name, Qt::CaseInsensitive) == 0)
                groupColumns.append(int(c));
    const bool grouped = !groupColumns.isEmpty();
    auto keyOf = [&](qsizetype r) {
        QVariantList key;
        for (int c : groupColumns) {
            const QVariant& v = s.rows[r][c];
            key.append(v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v);
        }
        return key;
    };

    // Group boundaries first: the last row of a group carries its totals.
    QList<qsizetype> starts;
    if (grouped) {
        QVariantList previous;
        for (qsizetype r = 0; r < n; ++r) {
            QVariantList key = keyOf(r);
            if (r == 0 || key != previous)
                starts.append(r);
            previous = std::move(key);
        }
    }
    starts.append(n);

    mu::data rows{mu::data::type::list};
    qsizetype group = 0;
    mu::data current{false};
    for (qsizetype r = 0; r < n; ++r) {
        mu::data row{mu::data::type::object};
        mu::data raw{mu::data::type::object};
        const QVariantList& values = s.rows[r];
        for (qsizetype c = 0; c < s.columns.size(); ++c) {
            if (!used[c])
                continue;
            row[names[c]] = text(formatted(values[c], s.columns[c].kind));
            raw[names[c]] = text(rawText(values[c], s.columns[c].kind));
        }
        row["raw"] = std::move(raw);
        // Qt lays out and draws one table in time proportional to all its
        // rows for every page: templates close and reopen it here.
        row["chunk_start"] = mu::data(r > 0 && r % kChunkRows == 0);
        if (grouped) {
            const bool first = r == starts[group];
            const bool last = r + 1 == starts[group + 1];
            if (first) {
                const qsizetype end = starts[group + 1];
                mu::data g{mu::data::type::object};
                g["label"] = text(binding.groupLabel(keyOf(r)));
                g["count"] = mu::data(std::to_string(end - r));
                g["totals"] = totalsData(s, totalsOf(s, r, end), used);
                current = std::move(g);
            }
            row["group_start"] = first ? current : mu::data(false);
            row["group_end"] = last ? current : mu::data(false);
            if (last)
                ++group;
        } else {
            row["group_start"] = mu::data(false);
            row["group_end"] = mu::data(false);
        }
        append(rows, std::move(row));
    }
    const std::string name = utf8(binding.name());
    root[name + "_count"] = mu::data(std::to_string(n));
    root[name + "_totals"] = totalsData(s, totalsOf(s, 0, n), used);
    root[name + "_grouped"] = mu::data(grouped);
    return rows;
}

// {{#calc}}ResAnno1 + ResAnno2 - totals.raw.X{{/calc}}: sums and differences
// of raw values in the current context, formatted as an amount. A bare name
// is a field of the current row; an empty value counts as 0.
std::string calculate(const std::string& text, const mu::renderer& render)
{
    // The same few expressions come back for every row: parsed once, and
    // their values fetched with one render instead of one a name.
    struct Parsed {
        QList<double> signs;
        std::string values; // "{{a}}", "{{b}}"... apart by a unit separator
    };
    static thread_local std::unordered_map<std::string, Parsed> parsed;
    auto it = parsed.find(text);
    if (it == parsed.end()) {
        static const QRegularExpression token(QStringLiteral("([+-])|([A-Za-z_][\\w.]*)"));
        Parsed p;
        double sign = 1;
        for (const auto& match : token.globalMatch(QString::fromStdString(text))) {
            if (!match.captured(1).isEmpty()) {
                sign = match.captured(1) == u"-" ? -1 : 1;
                continue;
            }
            QString path = match.captured(2);
            if (!path.contains(u'.'))
                path.prepend(QStringLiteral("raw."));
            p.values += (p.signs.isEmpty() ? "{{" : "\x1f{{") + utf8(path) + "}}";
            p.signs.append(sign);
            sign = 1;
        }
        it = parsed.emplace(text, std::move(p)).first;
    }
    const Parsed& p = it->second;
    double result = 0;
    if (!p.signs.isEmpty()) {
        const QStringList values = QString::fromStdString(render(p.values)).split(QChar(0x1f));
        for (qsizetype i = 0; i < p.signs.size() && i < values.size(); ++i)
            result += p.signs[i] * values[i].trimmed().toDouble();
    }
    return utf8(formatReportAmount(result));
}

QPageLayout layoutOf(const QString& templateText)
{
    // <meta name="page" content="A4 landscape">: the only page setting.
    static const QRegularExpression meta(
        QStringLiteral("<meta\\s+name=\"page\"\\s+content=\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    const QString content = meta.match(templateText).captured(1).toLower();
    const auto orientation =
        content.contains(u"landscape") ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(15, 12, 15, 12),
                       QPageLayout::Millimeter);
}

QString titleOf(const QString& html)
{
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption
                                              | QRegularExpression::DotMatchesEverythingOption);
    QTextDocument decode;
    decode.setHtml(title.match(html).captured(1));
    return decode.toPlainText().simplified();
}

// The file is replaced only once the whole report is in it.
void writeWhole(const QString& fileName, const std::function<void(QIODevice&)>& write)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Impossibile scrivere il file '%1': %2")
                              .arg(fileName, file.errorString()));
    write(file);
    if (!file.commit())
        throw EInOutError(QStringLiteral("Impossibile scrivere il file '%1': %2")
                              .arg(fileName, file.errorString()));
}

} // namespace

// PreparedReport

PreparedReport::PreparedReport(std::unique_ptr<QTextDocument> body, QString title, QDate date,
                               QPageLayout layout, QString pageHeaderHtml)
    : m_body(std::move(body)), m_title(std::move(title)), m_date(date), m_layout(layout),
      m_dpi(layoutDpi()), m_pageHeaderHtml(std::move(pageHeaderHtml))
{
    // Before anything lays the body out.
    m_bodyBorders = std::make_unique<TableBorders>(*m_body);
    const qreal width = m_layout.paintRect(QPageLayout::Point).width() * m_dpi / 72.0;
    const QString font = QStringLiteral("font-family:'DejaVu Sans'; font-size:8pt;");
    m_header = std::make_unique<QTextDocument>();
    m_header->setDocumentMargin(0);
    m_header->setTextWidth(width);
    m_header->setHtml(QStringLiteral("<table width=\"100%\" style=\"%1\"><tr><td><b>%2</b></td>"
                                     "<td align=\"right\">%3</td></tr></table><hr>")
                          .arg(font, m_title.toHtmlEscaped(), m_date.toString(u"dd/MM/yyyy")));
    if (!m_pageHeaderHtml.isEmpty()) {
        m_columns = std::make_unique<QTextDocument>();
        m_columns->setDocumentMargin(0);
        m_columns->setUseDesignMetrics(true);
        m_columns->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        m_columns->setHtml(m_pageHeaderHtml);
        m_columnsBorders = std::make_unique<TableBorders>(*m_columns);
        m_columns->setTextWidth(width);
        m_pageHeaderPoints = m_columns->size().height() * 72.0 / m_dpi;
    }
    m_body->setDocumentMargin(0);
    m_body->setUseDesignMetrics(true);
    const QSizeF points = bodySizePoints();
    m_body->setPageSize(QSizeF(points.width() * m_dpi / 72.0, points.height() * m_dpi / 72.0));
}

PreparedReport::~PreparedReport() = default;

QSizeF PreparedReport::bodySizePoints() const
{
    const QRectF paint = m_layout.paintRect(QPageLayout::Point);
    return QSizeF(paint.width(),
                  paint.height() - kHeaderPoints - m_pageHeaderPoints - kFooterPoints);
}

int PreparedReport::pageCount() const
{
    return std::max(1, m_body->pageCount());
}

QString PreparedReport::footerText(int index) const
{
    return QStringLiteral("Pagina %1 di %2").arg(index + 1).arg(pageCount());
}

void PreparedReport::paintDocument(QPainter& painter, const QTextDocument& doc,
                                   const QRectF& target, qreal offsetY,
                                   const TableBorders* borders) const
{
    // The document is laid out in pixels at m_dpi; the painter counts points.
    const qreal scale = 72.0 / m_dpi;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    const QRectF clip(0, 0, target.width() / scale, target.height() / scale);
    // A row split across two pages is cut at the page's edge.
    painter.setClipRect(clip);
    painter.translate(0, -offsetY);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip.translated(0, offsetY);
    context.palette.setColor(QPalette::Text, Qt::black);
    doc.documentLayout()->draw(&painter, context);
    if (borders)
        borders->paint(painter, context.clip);
    painter.restore();
}

void PreparedReport::paintPage(QPainter& painter, int index) const
{
    const QRectF paint = m_layout.paintRect(QPageLayout::Point);
    const qreal width = paint.width();
    const QString font = QStringLiteral("font-family:'DejaVu Sans'; font-size:8pt;");

    paintDocument(painter, *m_header, QRectF(paint.left(), paint.top(), width, kHeaderPoints), 0);
    if (m_columns)
        paintDocument(painter, *m_columns,
                      QRectF(paint.left(), paint.top() + kHeaderPoints, width, m_pageHeaderPoints), 0,
                      m_columnsBorders.get());
    const QSizeF body = bodySizePoints();
    paintDocument(painter, *m_body,
                  QRectF(paint.left(), paint.top() + kHeaderPoints + m_pageHeaderPoints,
                         body.width(), body.height()),
                  index * m_body->pageSize().height(), m_bodyBorders.get());

    QTextDocument footer;
    footer.setDocumentMargin(0);
    footer.setTextWidth(width * m_dpi / 72.0);
    footer.setHtml(QStringLiteral("<p align=\"center\" style=\"%1\">%2</p>")
                       .arg(font, footerText(index)));
    paintDocument(painter, footer,
                  QRectF(paint.left(), paint.bottom() - kFooterPoints + 6, width, kFooterPoints),
                  0);
}

int PreparedReport::findPage(const QString& text, int from) const
{
    if (text.isEmpty())
        return -1;
    const qreal pageHeight = m_body->pageSize().height();
    QTextCursor cursor(m_body.get());
    while (true) {
        cursor = m_body->find(text, cursor);
        if (cursor.isNull())
            return -1;
        const QTextBlock block = cursor.block();
        const QRectF rect = m_body->documentLayout()->blockBoundingRect(block);
        // A block inside a table reports its place in the table's frame.
        QPointF position = rect.topLeft();
        for (QTextFrame* frame = cursor.currentFrame(); frame && frame != m_body->rootFrame();
             frame = frame->parentFrame())
            position += m_body->documentLayout()->frameBoundingRect(frame).topLeft();
        const int page = int(position.y() / pageHeight);
        if (page >= from)
            return page;
    }
}

void PreparedReport::paintAll(QPagedPaintDevice& device, int fromPage, int toPage) const
{
    device.setPageLayout(m_layout);
    if (toPage < 0 || toPage >= pageCount())
        toPage = pageCount() - 1;
    QPainter painter(&device);
    const qreal scale = device.logicalDpiX() / 72.0;
    // The paint rectangle is measured from the page's corner, the device's
    // origin is the corner of its paint rectangle.
    const QRectF paint = m_layout.paintRect(QPageLayout::Point);
    for (int i = std::max(0, fromPage); i <= toPage; ++i) {
        if (i > fromPage)
            device.newPage();
        painter.save();
        painter.scale(scale, scale);
        painter.translate(-paint.left(), -paint.top());
        paintPage(painter, i);
        painter.restore();
    }
    painter.end();
}

void PreparedReport::writePdf(QIODevice& device) const
{
    QPdfWriter writer(&device);
    writer.setTitle(m_title);
    writer.setCreator(QStringLiteral("Ostrel"));
    paintAll(writer);
}

void PreparedReport::writePdf(const QString& fileName) const
{
    writeWhole(fileName, [this](QIODevice& file) { writePdf(file); });
}

void PreparedReport::writeRtf(QIODevice& device) const
{
    RtfWriter writer(*m_body, m_title, m_date, m_layout);
    writer.write(device);
}

void PreparedReport::writeRtf(const QString& fileName) const
{
    writeWhole(fileName, [this](QIODevice& file) { writeRtf(file); });
}

// Report

bool Report::loadFromFile(const QString& fileName)
{
    clear();
    m_fileName = fileName;
    QFile file(fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    m_template = QString::fromUtf8(file.readAll());
    return true;
}

void Report::clear()
{
    m_fileName.clear();
    m_template.clear();
}

void Report::saveToFile(const QString& fileName) const
{
    QSaveFile file(fileName);
    const QByteArray bytes = m_template.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EInOutError(QStringLiteral("Impossibile salvare il modello '%1': %2")
                              .arg(fileName, file.errorString()));
}

void Report::addDataSet(const ReportDataSet& dataSet)
{
    for (ReportDataSet& existing : m_dataSets) {
        if (existing.name() == dataSet.name()) {
            existing = dataSet;
            return;
        }
    }
    m_dataSets.append(dataSet);
}

void Report::declareVariable(const QString& name)
{
    if (!m_declared.contains(name, Qt::CaseInsensitive))
        m_declared.append(name);
}

QStringList Report::variableNames() const
{
    QStringList names = m_declared;
    static const QRegularExpression used(QStringLiteral("\\{\\{[#^/&{]?\\s*var\\.(\\w+)"));
    for (const auto& match : used.globalMatch(m_template)) {
        const QString name = match.captured(1);
        if (!names.contains(name, Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

QVariantMap Report::variables() const
{
    QVariantMap values;
    for (const QString& name : variableNames()) {
        QVariant value;
        if (getValue)
            getValue(name, value);
        values.insert(name, value);
    }
    return values;
}

QString Report::renderHtml() const
{
    mu::mustache tmpl(utf8(m_template));
    if (!tmpl.is_valid())
        throw EReportError(QStringLiteral("Modello '%1' non valido: %2")
                               .arg(m_fileName, QString::fromStdString(tmpl.error_message())));
    auto data = [this] {
        mu::data root{mu::data::type::object};
        mu::data vars{mu::data::type::object};
        const QVariantMap values = variables();
        for (auto it = values.begin(); it != values.end(); ++it)
            vars[utf8(it.key())] = text(it.value().toString());
        root["var"] = std::move(vars);
        root["calc"] = mu::data(mu::lambda2(calculate));
        root["date"] = mu::data(utf8(date().toString(u"dd/MM/yyyy")));
        const Words words = wordsOf(m_template);
        for (const ReportDataSet& binding : m_dataSets) {
            mu::data rows = dataSetData(binding, root, words);
            root[utf8(binding.name())] = std::move(rows);
        }
        return root;
    };
    // The data of every row is gone before the text is copied.
    const std::string html = tmpl.render(data());
    if (!tmpl.is_valid())
        throw EReportError(QStringLiteral("Modello '%1' non valido: %2")
                               .arg(m_fileName, QString::fromStdString(tmpl.error_message())));
    return QString::fromStdString(html);
}

std::shared_ptr<PreparedReport> Report::prepare() const
{
    QString html = renderHtml();
    // <!--page-header-->…<!--/page-header-->: printed at the top of every page
    // (the listing's column titles) instead of once in the body.
    static const QRegularExpression pageHeader(
        QStringLiteral("<!--\\s*page-header\\s*-->(.*?)<!--\\s*/page-header\\s*-->"),
        QRegularExpression::DotMatchesEverythingOption);
    const auto match = pageHeader.match(html);
    QString headerHtml;
    if (match.hasMatch()) {
        headerHtml = match.captured(1);
        html.remove(match.capturedStart(), match.capturedLength());
    }
    QString title = titleOf(html);
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    doc->setHtml(html);
    html = QString(); // as long as the document, for a long listing
    if (title.isEmpty())
        title = QFileInfo(m_fileName).completeBaseName();
    return std::make_shared<PreparedReport>(std::move(doc), title, date(), layoutOf(m_template),
                                            headerHtml);
}

namespace {

QByteArray jsonText(const QJsonValue& value)
{
    // QJsonDocument holds arrays and objects only.
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

} // namespace

QByteArray Report::toJson() const
{
    // Written by hand: QJsonObject sorts its keys, the exposed order matters.
    QByteArray out = "{\"variables\": {";
    const QVariantMap values = this->variables();
    bool firstItem = true;
    for (const QString& name : variableNames()) {
        out += (firstItem ? "" : ", ") + jsonText(name) + ": " + jsonText(values.value(name).toString());
        firstItem = false;
    }
    out += "}, \"datasets\": {";
    bool firstSet = true;
    for (const ReportDataSet& binding : m_dataSets) {
        const ReportDataSet::Snapshot s = binding.read();
        out += (firstSet ? "\n  " : ",\n  ") + jsonText(binding.name()) + ": [";
        firstSet = false;
        bool firstRow = true;
        for (const QVariantList& row : s.rows) {
            out += firstRow ? "\n    {" : ",\n    {";
            firstRow = false;
            for (qsizetype c = 0; c < s.columns.size(); ++c) {
                const QVariant& v = row[c];
                QJsonValue json;
                if (!v.isValid() || v.isNull())
                    json = QJsonValue::Null;
                else if (s.columns[c].kind == ReportKind::Amount)
                    json = v.toDouble();
                else if (s.columns[c].kind == ReportKind::Integer)
                    json = v.toLongLong();
                else if (s.columns[c].kind == ReportKind::Flag)
                    json = v.toBool();
                else
                    json = v.toString();
                out += (c ? ", " : "") + jsonText(s.columns[c].name) + ": " + jsonText(json);
            }
            out += "}";
        }
        out += firstRow ? "]" : "\n  ]";
    }
    out += firstSet ? "}}\n" : "\n}}\n";
    return out;
}

} // namespace ostrel
