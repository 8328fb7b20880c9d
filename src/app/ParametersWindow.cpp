#include "ParametersWindow.h"

#include "DataModule.h"
#include "SettingsFile.h"

#include "platform/AnsiCodec.h"
#include "platform/CapitalsInput.h"
#include "platform/Glyphs.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowFont.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace ostrel {

namespace {

QLineEdit* capitalsEdit(QWidget* parent, const char* name, const QString& text, const QRect& rect)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(rect);
    edit->setFont(windowFont(16, true));
    typeInCapitals(edit);
    return edit;
}

// Computer names from the hosts file, without addresses, comments or localhost aliases twice.
QStringList knownComputers()
{
    QStringList names;
#ifdef Q_OS_WIN
    const QString hosts = qEnvironmentVariable("SystemRoot") + QStringLiteral("/System32/drivers/etc/hosts");
#else
    const QString hosts = QStringLiteral("/etc/hosts");
#endif
    QFile file(hosts);
    if (file.open(QIODevice::ReadOnly)) {
        for (QString line : QString::fromLocal8Bit(file.readAll()).split(u'\n')) {
            line = line.section(u'#', 0, 0).simplified();
            const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
            for (const QString& name : parts.mid(1))
                if (!names.contains(name.toUpper()))
                    names.append(name.toUpper());
        }
    }
    return names;
}

} // namespace

QString browseNetworkComputer(QWidget* parent, const QString& title, const QString& initialFolder)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Computer della rete conosciuti da questo sistema:")));
    auto* list = new QListWidget;
    list->addItems(knownComputers());
    layout->addWidget(list);
    layout->addWidget(new QLabel(QStringLiteral("Nome del computer:")));
    auto* name = new QLineEdit;
    layout->addWidget(name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    layout->addWidget(buttons);
    QObject::connect(list, &QListWidget::currentTextChanged, name, &QLineEdit::setText);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    Q_UNUSED(initialFolder); // the list always starts at the network's root
    if (dialog.exec() != QDialog::Accepted || name->text().trimmed().isEmpty())
        return QString();
    return QStringLiteral("\\\\") + name->text().trimmed();
}

TfParam::TfParam(TdTabelle& tables, QString settingsFile, QWidget* parent)
    : QDialog(parent), m_tables(tables), m_settingsFile(std::move(settingsFile)),
      m_zarn(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("fParam"));
    setWindowTitle(QStringLiteral("[frParam]"));
    setFixedSize(464, 379);
    BrowseDialog = [this](const QString& title, const QString& folder) {
        return browseNetworkComputer(this, title, folder);
    };

    auto* title = new QLabel(QStringLiteral("Connessioni presenti sul server selezionato"), this);
    title->setGeometry(8, 6, 400, 18);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(8, 26, 448, 150);
    DBGrid1->setModel(m_zarn);
    DBGrid1->setToolTip(QStringLiteral("Doppio click per aggangiare la connessione"));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    m_zarn->setHorizontalHeaderLabels({QStringLiteral("Connessione")});
    connect(DBGrid1, &QTableView::doubleClicked, this, guard([this] { DBGrid1DblClick(); }));

    auto* browse = new QToolButton(this);
    browse->setObjectName(QStringLiteral("bbBrowse"));
    browse->setIcon(glyphIcon(Glyph::Network, 40));
    browse->setIconSize(QSize(40, 40));
    browse->setToolTip(QStringLiteral("Cerca computer in rete"));
    browse->setGeometry(8, 194, 56, 56);
    connect(browse, &QToolButton::clicked, this, guard([this] { browseClick(); }));

    (new QLabel(QStringLiteral("Origine dati"), this))->setGeometry(76, 186, 200, 18);
    Edit1 = capitalsEdit(this, "Edit1", QStringLiteral("LOCALHOST"), QRect(76, 204, 240, 30));
    (new QLabel(QStringLiteral("Porta"), this))->setGeometry(326, 186, 100, 18);
    Edit2 = capitalsEdit(this, "Edit2", QStringLiteral("1521"), QRect(326, 204, 104, 30));
    Edit2->installEventFilter(this);
    auto* up = new QToolButton(this);
    up->setObjectName(QStringLiteral("UpDown1Up"));
    up->setArrowType(Qt::UpArrow);
    up->setGeometry(432, 204, 22, 15);
    connect(up, &QToolButton::clicked, this, [this] { stepPort(1); });
    auto* down = new QToolButton(this);
    down->setObjectName(QStringLiteral("UpDown1Down"));
    down->setArrowType(Qt::DownArrow);
    down->setGeometry(432, 219, 22, 15);
    connect(down, &QToolButton::clicked, this, [this] { stepPort(-1); });

    (new QLabel(QStringLiteral("Utente"), this))->setGeometry(76, 242, 200, 18);
    MaskEdit1 = capitalsEdit(this, "MaskEdit1", QStringLiteral("KESTRA"), QRect(76, 260, 240, 30));
    auto* connectButton = new QToolButton(this);
    connectButton->setObjectName(QStringLiteral("SpeedButton1"));
    connectButton->setIcon(glyphIcon(Glyph::Connect, 28));
    connectButton->setIconSize(QSize(28, 28));
    connectButton->setToolTip(QStringLiteral("Connetti"));
    connectButton->setGeometry(326, 258, 40, 34);
    connect(connectButton, &QToolButton::clicked, this, guard([this] { SpeedButton1Click(); }));

    StaticText1 = new QLabel(this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(8, 302, 448, 30);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setFont(windowFont(16, true));
    Test(StaticText1, false);

    auto* close = new QPushButton(glyphIcon(Glyph::Close, 20), QStringLiteral("&Chiudi"), this);
    close->setObjectName(QStringLiteral("bbChiudi"));
    close->setGeometry(356, 340, 100, 32);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TfParam::Test(QLabel* C, bool connected)
{
    QPalette p = C->palette();
    p.setColor(QPalette::WindowText, connected ? QColor(0, 128, 0) : QColor(128, 0, 0));
    C->setPalette(p);
    C->setText(connected ? QStringLiteral(" KESTRA CONNESSA ") : QStringLiteral(" KESTRA NON CONNESSA "));
}

void TfParam::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void TfParam::FormShow()
{
    const QString& host = m_tables.Host;
    const qsizetype P = host.indexOf(u':');
    Edit1->setText(P < 0 ? QString() : host.left(P));
    Edit2->setText(host.mid(P + 1));
    MaskEdit1->setText(m_tables.CodIstat);
    Test(StaticText1, m_tables.acKestra.isConnected());
    m_tables.acZarn.setServer(Edit1->text() + u':' + Edit2->text());
    if (!m_tables.acKestra.isConnected())
        return;
    try {
        openZarn();
        for (int row = 0; row < m_zarn->rowCount(); ++row) {
            if (m_zarn->item(row, 0)->data(Qt::UserRole).toString().compare(m_tables.CodIstat, Qt::CaseInsensitive) == 0
                && m_zarn->item(row, 0)->data(Qt::UserRole + 1).toString().compare(m_tables.CodIstat, Qt::CaseInsensitive) == 0) {
                DBGrid1->selectRow(row);
                break;
            }
        }
    } catch (const std::exception&) {
        // The list stays as it was.
    }
}

void TfParam::openZarn()
{
    if (!m_tables.acZarn.isConnected())
        m_tables.acZarn.open();
    QSqlQuery query = m_tables.acZarn.query(QStringLiteral("SELECT *\nFROM CFCONNESSIONI\nWHERE CODAPPLICATIVO = 'S'\n"
                                                 "ORDER BY DESCONNESSIONE"));
    m_zarn->removeRows(0, m_zarn->rowCount());
    while (query.next()) {
        auto* item = new QStandardItem(query.value(QStringLiteral("DESCONNESSIONE")).toString());
        item->setData(query.value(QStringLiteral("USERNAME")).toString(), Qt::UserRole);
        item->setData(query.value(QStringLiteral("PWD")).toString(), Qt::UserRole + 1);
        m_zarn->appendRow(item);
    }
    if (m_zarn->rowCount() > 0)
        DBGrid1->selectRow(0);
}

void TfParam::SpeedButton1Click()
{
    if (Edit1->text().trimmed().isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_tables.acKestra.close();
    const QString Utente = MaskEdit1->text();
    m_tables.acKestra.setUsername(Utente);
    m_tables.acKestra.setPassword(Utente);
    m_tables.acKestra.setServer(Edit1->text() + u':' + Edit2->text());
    try {
        m_tables.acKestra.open();
    } catch (const std::exception&) {
        m_tables.acKestra.close();
    }
    Test(StaticText1, m_tables.acKestra.isConnected());
    m_tables.Host = Edit1->text() + u':' + Edit2->text();
    QApplication::restoreOverrideCursor();
}

void TfParam::DBGrid1DblClick()
{
    const QModelIndex current = DBGrid1->currentIndex();
    MaskEdit1->setText(current.isValid() ? m_zarn->item(current.row(), 0)->data(Qt::UserRole).toString()
                                         : QString());
    SpeedButton1Click();
}

void TfParam::browseClick()
{
    const QString OldS = Edit1->text();
    QString S = BrowseDialog(QStringLiteral("Ricerca Server Kestra"), QStringLiteral("\\\\"));
    S.remove(u'\\');
    if (S.isEmpty())
        return;
    Edit1->setText(S);
    m_tables.acZarn.setServer(Edit1->text() + u':' + Edit2->text());
    try {
        openZarn();
        DBGrid1->setFocus();
    } catch (const std::exception&) {
        messages().error(QStringLiteral("Si è verificato un problema durante la scelta del server Kestra."));
        Edit1->setText(OldS);
    }
}

void TfParam::stepPort(int delta)
{
    const int port = std::clamp(Edit2->text().toInt() + delta, 0, 999999);
    Edit2->setText(QString::number(port));
}

bool TfParam::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool digit = text.size() == 1 && text[0] >= u'0' && text[0] <= u'9';
        const bool allowed = digit || key->key() == Qt::Key_Backspace || text.isEmpty()
            || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return;
        if (!allowed)
            return true; // discarded, silently
    }
    return QDialog::eventFilter(watched, event);
}

bool TfParam::FormClose()
{
    const QString host = Edit1->text() + u':' + Edit2->text();
    try {
        SettingsFile::write(m_settingsFile, m_tables.DataSource, host, MaskEdit1->text());
    } catch (const std::exception& e) {
        reportException(e);
        return false;
    }
    m_tables.Host = host;
    m_tables.CodIstat = MaskEdit1->text();
    return true;
}

void TfParam::done(int result)
{
    if (FormClose())
        QDialog::done(result);
}

} // namespace ostrel
