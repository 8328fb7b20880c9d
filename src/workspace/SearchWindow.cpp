#include "SearchWindow.h"

#include "SearchQuery.h"

#include "app/DataModule.h"
#include "platform/CapitalsInput.h"
#include "platform/DBGrid.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowFont.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace ostrel {

namespace {

const QColor kMaroon(128, 0, 0);

QList<DBGrid::Column> gridColumns()
{
    // Titled with the field names.
    auto column = [](const char* field, Qt::Alignment alignment, int width) {
        DBGrid::Column c;
        c.field = c.title = QString::fromLatin1(field);
        c.titleAlignment = c.alignment = alignment;
        c.width = width;
        return c;
    };
    return {column("Cap", Qt::AlignRight, 60),          column("Art", Qt::AlignRight, 40),
            column("UEB", Qt::AlignLeft, 70),           column("Numero", Qt::AlignLeft, 80),
            column("Sub", Qt::AlignRight, 40),          column("Anno", Qt::AlignHCenter, 50),
            column("Descrizione", Qt::AlignLeft, 390),  column("Responsabile", Qt::AlignLeft, 160)};
}

// Grid column under each filter edit.
const int kEditColumn[7] = {0, 1, 2, 3, 5, 6, 7};

} // namespace

TfCerca::TfCerca(TdTabelle& tables, QWidget* parent)
    : QDialog(parent), qCerca(QStringLiteral("qCerca"), &tables.cnOstrel)
{
    setObjectName(QStringLiteral("fCerca"));
    setWindowTitle(QStringLiteral("[fCerca]"));
    setFont(windowFont(11));
    setFixedSize(936, 565);

    qCerca.setSql(SearchQuery::designText());
    qCerca.setReadOnly(true);
    qCerca.addField("Id", FieldType::Int4);
    qCerca.addField("Cap", FieldType::Int4);
    qCerca.addField("Art", FieldType::Int2);
    qCerca.addField("UEB", FieldType::Text, 7);
    qCerca.addField("Numero", FieldType::Text, 8);
    qCerca.addField("Sub", FieldType::Int2);
    qCerca.addField("Anno", FieldType::Int2);
    qCerca.addField("Descrizione", FieldType::Text, 255);
    qCerca.addField("CodResp", FieldType::Int2);
    qCerca.addField("Responsabile", FieldType::Text, 255);
    qCerca.beforeOpen = [this](DataSet&) { qCercaBeforeOpen(); };
    qCerca.afterScroll = [this](DataSet&) { qCercaAfterScroll(); };
    dsCerca.autoEdit = false;
    dsCerca.setDataSet(&qCerca);

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(4, 34, 928, 527);
    DBGrid1->setColumns(gridColumns());
    DBGrid1->setDataSource(&dsCerca);
    DBGrid1->onTitleClick = [this](int column) { DBGrid1TitleClick(column); };
    DBGrid1->onDoubleClick = [this] { close(); };
    DBGrid1->installEventFilter(this);

    const QList<DBGrid::Column> columns = gridColumns();
    for (int i = 0; i < 7; ++i) {
        int left = 4 + 18;
        for (int c = 0; c < kEditColumn[i]; ++c)
            left += columns[c].width;
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edit->setGeometry(left, 6, columns[kEditColumn[i]].width, 24);
        edit->installEventFilter(this);
        typeInCapitals(edit);
        connect(edit, &QLineEdit::textChanged, this, guard([this] { Edit1Change(); }));
        edits[i] = edit;
    }
}

int TfCerca::editTag(int edit) const
{
    return m_editTags[edit - 1];
}

void TfCerca::prepare(DataSet& mainQuery)
{
    m_main = &mainQuery;
    qCerca.setSqlLine(0, mainQuery.name() == u"qEntrate" ? QStringLiteral("SELECT * FROM tEntrate")
                                                         : QStringLiteral("SELECT * FROM tUscite"));
    tag = 1;
}

void TfCerca::showFor(DataSet& mainQuery)
{
    prepare(mainQuery);
    exec();
}

void TfCerca::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void TfCerca::reopen()
{
    qCerca.close();
    qCerca.open();
}

void TfCerca::FormShow()
{
    const int filter = SearchQuery::filterIndex(qCerca.sql());
    qCerca.setSqlLine(filter, SearchQuery::defaultFilterLine());
    reopen();
    for (QLineEdit* edit : edits)
        edit->clear();
    edits[3]->setFocus(Qt::OtherFocusReason);
    if (OldColumn < 0)
        OldColumn = 1;
    DBGrid1TitleClick(3);
    if (m_main && m_main->isActive())
        qCerca.locate(QStringLiteral("Id"), m_main->fieldByName(QStringLiteral("Id")).value());
    tag = 0;
}

void TfCerca::EditEnter(int edit)
{
    for (int i = 1; i <= 7; ++i)
        if (i != edit)
            edits[i - 1]->clear();
    for (int i = 1; i <= 7; ++i)
        m_editTags[i - 1] = i == edit ? 1 : 0;
}

void TfCerca::Edit1Change()
{
    reopen();
}

void TfCerca::qCercaBeforeOpen()
{
    const int filter = SearchQuery::filterIndex(qCerca.sql());
    QStringList lines = qCerca.sql();
    for (int i = 1; i <= 7; ++i)
        if (editTag(i) == 1)
            lines[filter] = SearchQuery::filterLine(i, edits[i - 1]->text());
    qCerca.setSql(lines);
}

void TfCerca::qCercaAfterScroll()
{
    if (tag != 0 || !m_main || !m_main->isActive())
        return;
    m_main->locate(QStringLiteral("Id"), qCerca.fieldByName(QStringLiteral("Id")).value());
}

void TfCerca::DBGrid1TitleClick(int column)
{
    const int sortLine = SearchQuery::sortIndex(qCerca.sql());
    const QString sort = SearchQuery::sortText(column);
    if (sort.isEmpty())
        return;
    DBGrid1->setTitleStyle(OldColumn, QColor(), false);
    DBGrid1->setTitleStyle(column, kMaroon, true);
    OldColumn = column;
    qCerca.setSqlLine(sortLine, sort);
    reopen();
}

void TfCerca::done(int result)
{
    guarded([this] { FormClose(); });
    QDialog::done(result);
}

void TfCerca::FormClose()
{
    const QString sort = qCerca.sql().value(SearchQuery::sortIndex(qCerca.sql()));
    if (m_main) {
        const int mainSort = SearchQuery::sortIndex(m_main->sql());
        if (m_main->sql().value(mainSort) != sort) {
            const QVariant id = m_main->isActive() ? m_main->fieldByName(QStringLiteral("Id")).value() : QVariant();
            m_main->close();
            m_main->setSqlLine(mainSort, sort);
            m_main->open();
            if (id.isValid())
                m_main->locate(QStringLiteral("Id"), id);
        }
    }
    qCerca.close();
}

bool TfCerca::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            close();
            return true;
        }
        const auto edit = std::find(edits.begin(), edits.end(), watched);
        if (edit != edits.end() && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            guarded([&] {
                if (key->key() == Qt::Key_Up)
                    qCerca.prior();
                else
                    qCerca.next();
            });
        }
    } else if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const auto edit = std::find(edits.begin(), edits.end(), watched);
        if (edit != edits.end() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            guarded([&] { EditEnter(int(edit - edits.begin()) + 1); });
        else if (edit != edits.end() && reason == Qt::ActiveWindowFocusReason && editTag(int(edit - edits.begin()) + 1) == 0)
            guarded([&] { EditEnter(int(edit - edits.begin()) + 1); });
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ostrel
