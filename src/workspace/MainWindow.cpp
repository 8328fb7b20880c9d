#include "MainWindow.h"

#include "DBEditRev.h"

#include "app/DataModule.h"
#include "app/Version.h"
#include "import/ResidueImport.h"
#include "platform/DBText.h"
#include "platform/Glyphs.h"
#include "platform/MessageBoxes.h"
#include "platform/PageControl.h"
#include "platform/WindowFont.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace ostrel {

using Reassessment::Kind;

namespace {

const char kZeroText[] = "€ ,00";

QToolButton* glyphButton(QWidget* parent, const char* name, Glyph glyph, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(glyphIcon(glyph, 40));
    button->setIconSize(QSize(40, 40));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption, const QRect& rect)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(rect);
    return box;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& rect,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, const char* name = nullptr)
{
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(rect);
    l->setAlignment(alignment);
    return l;
}

DBText* dbText(QWidget* parent, const char* name, DataSource* source, const QString& field,
               const QRect& rect)
{
    auto* t = new DBText(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setDataSource(source);
    t->setDataField(field);
    t->setGeometry(rect);
    return t;
}

TDBEditRev* dbEdit(QWidget* parent, const char* name, DataSource* source, const QString& field,
                   const QRect& rect, bool amount)
{
    auto* e = new TDBEditRev(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setDataSource(source);
    e->setDataField(field);
    e->setGeometry(rect);
    if (amount)
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else
        e->setUpperCase();
    return e;
}

// A light-blue panel with rounded corners, as the residue's description and
// remainder are shown.
QFrame* roundedPanel(QWidget* parent, const QRect& rect)
{
    auto* frame = new QFrame(parent);
    frame->setGeometry(rect);
    frame->setObjectName(QStringLiteral("roundedPanel"));
    frame->setStyleSheet(QStringLiteral(
        "QFrame#roundedPanel { background: #dcebfa; border: 1px solid #8fb0d6; border-radius: 8px; }"));
    return frame;
}

// The three causes under the split boxes, full width, capitals only.
void causeEdits(QWidget* page, DataSource* source, int top, const char* const names[3])
{
    const QString captions[3] = {QStringLiteral("Causale eliminazione"),
                                 QStringLiteral("Causale reimputazione"),
                                 QStringLiteral("Causale conservazione")};
    for (int i = 0; i < 3; ++i) {
        label(page, captions[i], QRect(12, top + i * 50, 400, 18));
        dbEdit(page, names[i], source, Reassessment::causes()[i], QRect(12, top + 19 + i * 50, 896, 26),
               false);
    }
}

// The residue's identification, the same on both tabs.
struct HeaderNames {
    const char* box;
    QString caption;
    const char* label;     // clAccertamento / clImpegno
    const char* labelField;
    const char* description;
    const char* chapter;
    const char* ueb;
    const char* modify;
    const char* save;
    const char* original;
    const char* remainder;
    const char* amountEditor;
    const char* chapterBox;
    const char* chapterDescription;
    const char* responsibleCode;
    const char* responsible;
};

void residueHeader(QWidget* page, DataSource* source, const HeaderNames& n)
{
    QGroupBox* box = groupBox(page, n.box, n.caption, QRect(6, 4, 908, 272));
    box->setFont(windowFont(16, true));
    const QFont normal = windowFont(13);
    auto plain = [&](QWidget* w) {
        w->setFont(normal);
        return w;
    };

    DBText* residue = dbText(box, n.label, source, n.labelField, QRect(14, 28, 300, 26));
    residue->setFont(windowFont(18, true));

    QFrame* descriptionPanel = roundedPanel(box, QRect(14, 60, 570, 92));
    plain(descriptionPanel);
    DBText* description = dbText(descriptionPanel, n.description, source, "Descrizione",
                                 QRect(10, 6, 550, 80));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description->setFont(windowFont(14, true));

    QGroupBox* chapterBox = groupBox(box, n.chapterBox, QStringLiteral("Descrizione Capitolo:"),
                                     QRect(14, 156, 570, 60));
    plain(chapterBox);
    DBText* chapterDescription = dbText(chapterBox, n.chapterDescription, source, "Oggetto",
                                        QRect(10, 18, 550, 38));
    chapterDescription->setWordWrap(true);
    chapterDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    plain(label(box, QStringLiteral("Responsabile:"), QRect(14, 222, 110, 20)));
    DBText* code = dbText(box, n.responsibleCode, source, "CodResp", QRect(126, 222, 60, 20));
    code->setFont(windowFont(13, true));
    plain(dbText(box, n.responsible, source, "Responsabile", QRect(14, 242, 570, 20)));

    // Right column: chapter, original residue, remainder.
    QFrame* chapterFrame = new QFrame(box);
    chapterFrame->setGeometry(596, 24, 300, 56);
    chapterFrame->setFrameShape(QFrame::StyledPanel);
    plain(chapterFrame);
    label(chapterFrame, QStringLiteral("Capitolo:"), QRect(10, 6, 80, 20));
    dbText(chapterFrame, n.chapter, source, "clCapitolo", QRect(92, 6, 200, 20))->setFont(windowFont(13, true));
    label(chapterFrame, QStringLiteral("UEB:"), QRect(10, 28, 80, 20));
    dbText(chapterFrame, n.ueb, source, "UEB", QRect(92, 28, 200, 20))->setFont(windowFont(13, true));

    QFrame* originalFrame = new QFrame(box);
    originalFrame->setGeometry(596, 86, 300, 62);
    originalFrame->setFrameShape(QFrame::StyledPanel);
    plain(originalFrame);
    label(originalFrame, QStringLiteral("Residuo originario"), QRect(10, 4, 200, 18));
    DBText* original = dbText(originalFrame, n.original, source, "ImportoBak", QRect(10, 24, 230, 30));
    original->setFont(windowFont(16, true));
    original->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QToolButton* modify = glyphButton(originalFrame, n.modify, Glyph::Pencil,
                                      QStringLiteral("Modifica l'importo residuo"));
    modify->setIconSize(QSize(28, 28));
    modify->setAutoRaise(true);
    modify->setGeometry(252, 14, 40, 40);
    QToolButton* save = glyphButton(originalFrame, n.save, Glyph::Save,
                                    QStringLiteral("Registra l'importo residuo"));
    save->setIconSize(QSize(28, 28));
    save->setAutoRaise(true);
    save->setGeometry(252, 14, 40, 40);
    save->hide();

    QFrame* remainderPanel = roundedPanel(box, QRect(596, 154, 300, 108));
    plain(remainderPanel);
    label(remainderPanel, QStringLiteral("Residuo"), QRect(12, 8, 200, 20))->setFont(windowFont(14, true));
    DBText* remainder = dbText(remainderPanel, n.remainder, source, "Importo", QRect(12, 40, 276, 44));
    remainder->setFont(windowFont(26, true));
    remainder->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TDBEditRev* editor = dbEdit(remainderPanel, n.amountEditor, source, "Importo",
                                QRect(12, 44, 276, 36), true);
    editor->setFont(windowFont(20, true));
    editor->hide();
}

// One column of amounts: caption above, edit below.
TDBEditRev* amountColumn(QGroupBox* box, const QString& caption, const char* name, DataSource* source,
                         const QString& field, int left, int width, const char* captionName = nullptr)
{
    label(box, caption, QRect(left, 22, width, 18), Qt::AlignCenter, captionName);
    return dbEdit(box, name, source, field, QRect(left, 42, width, 26), true);
}

} // namespace

template <typename T>
T* TfMain::child(const char* name) const
{
    T* widget = findChild<T*>(QString::fromLatin1(name));
    Q_ASSERT(widget);
    return widget;
}

TfMain::TfMain(TdTabelle& tables, bool importResidues, const QDate& today, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      qEntrate(QStringLiteral("qEntrate"), &tables.cnOstrel),
      qUscite(QStringLiteral("qUscite"), &tables.cnOstrel), m_tables(tables)
{
    setObjectName(QStringLiteral("fMain"));
    setFont(windowFont(13));
    setFixedSize(928, 723);
    Reassessment::defineQuery(qEntrate, Kind::Revenue);
    Reassessment::defineQuery(qUscite, Kind::Expenditure);
    dsEntrate.autoEdit = false;
    dsUscite.autoEdit = false;
    dsEntrate.setDataSet(&qEntrate);
    dsUscite.setDataSet(&qUscite);

    createToolbar();
    PageControl1 = new PageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(4, 109, 920, 610);
    PageControl1->addTab(createRevenuePage(), QStringLiteral("Entrate"));
    PageControl1->addTab(createExpenditurePage(), QStringLiteral("Uscite"));
    DBText3 = child<DBText>("DBText3");
    DBText10 = child<DBText>("DBText10");
    sbModificaE = child<QToolButton>("sbModificaE");
    sbModificaU = child<QToolButton>("sbModificaU");
    connectHandlers();
    guarded([&] { FormCreate(importResidues, today); });
    enableBrowseControls(true);
}

TfMain::~TfMain() = default;

void TfMain::createToolbar()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 928, 105);
    static_cast<QFrame*>(Panel1)->setFrameShape(QFrame::StyledPanel);
    DBNavigator1 = new DBNavigator(Panel1);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setGeometry(8, 28, 8 * 44 + 6, 50);
    DBNavigator1->setDataSource(&dsEntrate);
    int left = 380;
    auto place = [&](QToolButton* b) {
        b->setGeometry(left, 20, 64, 64);
        left += 72;
        return b;
    };
    bbReset = place(glyphButton(Panel1, "bbReset", Glyph::Reset,
                                QStringLiteral("Resetta l'accertamento/impegno riportandolo allo stato originario")));
    bbExport = place(glyphButton(Panel1, "bbExport", Glyph::Export, QStringLiteral("Esportazione dati")));
    bbCerca = place(glyphButton(Panel1, "bbCerca", Glyph::Search,
                                QStringLiteral("Effettura ricerche e consente di raggruppare in dati in modi diversi")));
    bbStampe = place(glyphButton(Panel1, "bbStampe", Glyph::Print, QStringLiteral("Stampe")));
    bbLegenda = place(glyphButton(Panel1, "bbLegenda", Glyph::Legend, QStringLiteral("Legenda")));
    bbEsci = new QPushButton(glyphIcon(Glyph::Exit, 32), QStringLiteral("&Esci"), Panel1);
    bbEsci->setObjectName(QStringLiteral("bbEsci"));
    bbEsci->setIconSize(QSize(32, 32));
    bbEsci->setGeometry(928 - 8 - 110, 24, 110, 56);
    bbEsci->setFocusPolicy(Qt::NoFocus);
}

QWidget* TfMain::createRevenuePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    residueHeader(page, &dsEntrate,
                  {"GroupBox1",
                   QStringLiteral("Residuo attivo al 31/12/2014 determinato con le vecchie regole - Accertamento:"),
                   "DBText1", "clAccertamento", "DBText4", "DBText5", "DBText7", "sbModificaE",
                   "sbRegistraE", "DBText6", "DBText3", "DBEditRev22", "GroupBox9", "DBText17", "DBText8",
                   "DBText2"});
    const int top = 282;
    QGroupBox* elimination = groupBox(page, "GroupBox6", QStringLiteral("Eliminazione"), QRect(6, top, 200, 82));
    amountColumn(elimination, QStringLiteral("Residuo attivo elminato"), "DBEditRev1", &dsEntrate,
                 "ResEliminato", 10, 180);
    QGroupBox* reimputation = groupBox(page, "GroupBox2", QStringLiteral("Reimputazione: residuo reimputato"),
                                       QRect(212, top, 496, 82));
    const char* names[4] = {"DBEditRev3", "DBEditRev4", "DBEditRev5", "DBEditRev6"};
    const char* captions[4] = {"stAnno1", "stAnno2", "stAnno3", "stAnnoO"};
    for (int i = 0; i < 4; ++i)
        amountColumn(reimputation, i == 3 ? QStringLiteral(" Oltre ") : QString(), names[i], &dsEntrate,
                     Reassessment::destinations(Kind::Revenue)[1 + i], 10 + i * 120, 114, captions[i]);
    QGroupBox* conservation = groupBox(page, "GroupBox7", QStringLiteral("Conservazione"), QRect(714, top, 200, 82));
    amountColumn(conservation, QStringLiteral("Mantenuto a residuo"), "DBEditRev2", &dsEntrate, "ResMantenuto",
                 10, 180);
    const char* const causes[3] = {"DBEditRev7", "DBEditRev8", "DBEditRev9"};
    causeEdits(page, &dsEntrate, top + 110, causes);
    return page;
}

QWidget* TfMain::createExpenditurePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    residueHeader(page, &dsUscite,
                  {"GroupBox3",
                   QStringLiteral("Residuo passivo al 31/12/2014 determinato con le vecchie regole - Impegno:"),
                   "DBText9", "clImpegno", "DBText11", "DBText12", "DBText13", "sbModificaU", "sbRegistraU",
                   "DBText15", "DBText10", "DBEditRev23", "GroupBox10", "DBText18", "DBText16", "DBText14"});
    const int top = 282;
    QGroupBox* elimination = groupBox(page, "GroupBox5",
                                      QStringLiteral("Eliminazione: residuo passivo mandato in economia. Avanzo:"),
                                      QRect(6, top, 372, 128));
    QFont titleFont = windowFont(13);
    titleFont.setPixelSize(12);
    elimination->setFont(titleFont);
    const char* eliminated[4] = {"DBEditRev10", "DBEditRev19", "DBEditRev20", "DBEditRev21"};
    const QString eliminatedCaptions[4] = {QStringLiteral("Libero"), QStringLiteral(" Accanton."),
                                           QStringLiteral(" Vincolato"), QStringLiteral(" Destinato")};
    for (int i = 0; i < 4; ++i)
        amountColumn(elimination, eliminatedCaptions[i], eliminated[i], &dsUscite,
                     Reassessment::destinations(Kind::Expenditure)[i], 8 + i * 90, 86)->setFont(windowFont(13));
    QGroupBox* reimputation = groupBox(page, "GroupBox4", QStringLiteral("Reimputazione: residuo reimputato"),
                                       QRect(384, top, 376, 128));
    const char* reimputed[4] = {"DBEditRev11", "DBEditRev12", "DBEditRev13", "DBEditRev14"};
    const char* checks[4] = {"DBCheckBox2", "DBCheckBox3", "DBCheckBox4", "DBCheckBox5"};
    const QString years[4] = {QStringLiteral(" 2015 "), QStringLiteral(" 2016 "), QStringLiteral(" 2017 "),
                              QStringLiteral(" Oltre ")};
    for (int i = 0; i < 4; ++i) {
        const int left = 8 + i * 91;
        amountColumn(reimputation, years[i], reimputed[i], &dsUscite,
                     Reassessment::destinations(Kind::Expenditure)[4 + i], left, 86);
        // The caption wraps on two lines beside the box, as the column is narrow.
        auto* check = new DBCheckBox(QString(), reimputation);
        check->setObjectName(QString::fromLatin1(checks[i]));
        check->setToolTip(QStringLiteral("Coperto da fondo"));
        check->setAccessibleName(QStringLiteral("Coperto da fondo"));
        check->setDataSource(&dsUscite);
        check->setDataField(Reassessment::expenditureFlags()[1 + i]);
        check->setGeometry(left, 72, 20, 30);
        QLabel* caption = label(reimputation, QStringLiteral("Coperto da fondo"), QRect(left + 20, 70, 66, 34));
        caption->setWordWrap(true);
        caption->setToolTip(QStringLiteral("Coperto da fondo"));
    }
    auto* gara = new DBCheckBox(QStringLiteral("Gare formalmente indette"), reimputation);
    gara->setObjectName(QStringLiteral("DBCheckBox1"));
    gara->setToolTip(QStringLiteral("Da usare per impegni cancellati in assenza di obbligazione"));
    gara->setDataSource(&dsUscite);
    gara->setDataField(QStringLiteral("Gara"));
    gara->setGeometry(8, 102, 360, 22);
    QGroupBox* conservation = groupBox(page, "GroupBox8", QStringLiteral("Conservazione"), QRect(766, top, 148, 128));
    amountColumn(conservation, QStringLiteral("Mantenuto a residuo"), "DBEditRev15", &dsUscite, "ResMantenuto",
                 6, 136);
    const char* const causes[3] = {"DBEditRev16", "DBEditRev17", "DBEditRev18"};
    causeEdits(page, &dsUscite, top + 134, causes);
    return page;
}

void TfMain::connectHandlers()
{
    DBNavigator1->beforeAction = [this](DBNavigator::Button b, bool& abandon) {
        DBNavigator1BeforeAction(b, abandon);
    };
    DBNavigator1->onClick = [this](DBNavigator::Button b) { DBNavigator1Click(b); };
    PageControl1->onChanging = [this] { return PageControl1Changing(); };
    connect(PageControl1, &QTabWidget::currentChanged, this, guard([this] { PageControl1Change(); }));

    auto recompute = guard([this] { DBEditRev1Change(); });
    for (const char* name : {"DBEditRev1", "DBEditRev2", "DBEditRev3", "DBEditRev4", "DBEditRev5", "DBEditRev6"}) {
        TDBEditRev* edit = child<TDBEditRev>(name);
        connect(edit, &QLineEdit::textChanged, this, recompute);
        edit->onExit = [this] { DBEditRev1Change(); };
    }
    for (const char* name : {"DBEditRev7", "DBEditRev8", "DBEditRev9", "DBEditRev10", "DBEditRev11",
                             "DBEditRev12", "DBEditRev13", "DBEditRev14", "DBEditRev15", "DBEditRev16",
                             "DBEditRev17", "DBEditRev18", "DBEditRev19", "DBEditRev20", "DBEditRev21"})
        connect(child<TDBEditRev>(name), &QLineEdit::textChanged, this, recompute);

    qEntrate.fieldByName("Importo").onChange = [this](Field& f) { qEntrateImportoChange(f); };
    qUscite.fieldByName("Importo").onChange = [this](Field& f) { qEntrateImportoChange(f); };

    connect(child<QToolButton>("sbModificaE"), &QToolButton::clicked, this,
            guard([this] { sbModificaClick(Kind::Revenue); }));
    connect(child<QToolButton>("sbModificaU"), &QToolButton::clicked, this,
            guard([this] { sbModificaClick(Kind::Expenditure); }));
    connect(child<QToolButton>("sbRegistraE"), &QToolButton::clicked, this,
            guard([this] { sbRegistraClick(Kind::Revenue); }));
    connect(child<QToolButton>("sbRegistraU"), &QToolButton::clicked, this,
            guard([this] { sbRegistraClick(Kind::Expenditure); }));
    connect(bbReset, &QToolButton::clicked, this, guard([this] { bbResetClick(); }));
    connect(bbEsci, &QPushButton::clicked, this, guard([this] { bbEsciClick(); }));
    const std::pair<QToolButton*, std::function<void()>*> windows[] = {
        {bbExport, &showExport}, {bbCerca, &showSearch}, {bbStampe, &showReports}, {bbLegenda, &showLegend}};
    for (const auto& [button, show] : windows)
        connect(button, &QToolButton::clicked, this, guard([show = show] {
                    if (*show)
                        (*show)();
                }));
}

QString TfMain::LeggiVersione()
{
    return QStringLiteral("%1.%2.%3")
        .arg(OSTREL_VERSION_MAJOR)
        .arg(OSTREL_VERSION_MINOR)
        .arg(OSTREL_VERSION_PATCH);
}

void TfMain::FormCreate(bool importResidues, const QDate& today)
{
    move(10, 10);
    setWindowTitle(QStringLiteral("[fMain] Ostrel v") + LeggiVersione());
    PageControl1->setCurrentIndex(0);
    if (importResidues) {
        ResidueImport import(m_tables);
        import.Importa(m_tables.tEntrate);
        import.Importa(m_tables.tUscite);
    }
    qEntrate.open();
    qUscite.open();
    const QStringList years = Reassessment::yearCaptions(today);
    child<QLabel>("stAnno1")->setText(years[0]);
    child<QLabel>("stAnno2")->setText(years[1]);
    child<QLabel>("stAnno3")->setText(years[2]);
    qEntrateImportoChange(qEntrate.fieldByName("Importo"));
    qEntrateImportoChange(qUscite.fieldByName("Importo"));
}

Kind TfMain::activeKind() const
{
    return DBNavigator1->dataSet() == &qEntrate ? Kind::Revenue : Kind::Expenditure;
}

bool TfMain::PageControl1Changing()
{
    const DataSet* ds = DBNavigator1->dataSet();
    return !(ds && ds->isEditing());
}

void TfMain::PageControl1Change()
{
    DBNavigator1->setDataSource(PageControl1->currentIndex() == 0 ? &dsEntrate : &dsUscite);
    enableBrowseControls(true);
}

void TfMain::qEntrateImportoChange(Field& field)
{
    DBText* label = &field.dataSet() == &qEntrate ? DBText3 : DBText10;
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, field.asFloat() < 0 ? QColor(Qt::red)
                                                         : QApplication::palette().color(QPalette::WindowText));
    label->setPalette(p);
}

void TfMain::DBNavigator1BeforeAction(DBNavigator::Button button, bool& abandon)
{
    QWidget* Controllo = QApplication::focusWidget();
    DBNavigator1->setFocus(Qt::OtherFocusReason);
    // An edit that refused its text keeps the focus: nothing more happens.
    if (Controllo && Controllo != DBNavigator1 && window()->focusWidget() == Controllo) {
        abandon = true;
        return;
    }
    DataSet* ds = DBNavigator1->dataSet();
    auto giveBack = [&] {
        if (Controllo)
            Controllo->setFocus(Qt::OtherFocusReason);
        abandon = true;
    };
    if (ds->isEditing() && button != DBNavigator::Post && button != DBNavigator::Cancel) {
        messages().error(QStringLiteral("Occorre prima registrare o annullare la variazione."));
        giveBack();
        return;
    }
    if (button == DBNavigator::Post) {
        const DBText* remainder = ds == &qEntrate ? DBText3 : DBText10;
        if (remainder->text() != QString::fromUtf8(kZeroText)) {
            messages().error(QStringLiteral("Importo a residuo riaccertato in modo errato, non posso registrare."));
            giveBack();
            return;
        }
    }
    if (button == DBNavigator::Delete
        && !messages().confirm(QStringLiteral("Attenzione! Vuoi veramente cancellare questo record?")))
        abandon = true;
}

void TfMain::DBNavigator1Click(DBNavigator::Button button)
{
    DataSet* ds = DBNavigator1->dataSet();
    if (button == DBNavigator::Edit) {
        Importo = Amount::fromVariant(ds->fieldByName("ImportoBak").value());
        if (ds == &qEntrate)
            child<TDBEditRev>("DBEditRev1")->setFocus(Qt::OtherFocusReason);
        else
            child<TDBEditRev>("DBEditRev10")->setFocus(Qt::OtherFocusReason);
        qEntrateImportoChange(ds->fieldByName("Importo"));
        enableBrowseControls(false);
    } else {
        enableBrowseControls(true);
        qEntrateImportoChange(ds->fieldByName("Importo"));
    }
}

void TfMain::enableBrowseControls(bool enabled)
{
    const DataSet* ds = DBNavigator1->dataSet();
    const bool haveResidue = ds && ds->isActive() && !ds->isEmpty();
    bbReset->setEnabled(enabled && haveResidue);
    bbCerca->setEnabled(enabled);
    bbStampe->setEnabled(enabled);
    const bool revenues = qEntrate.isActive() && !qEntrate.isEmpty();
    const bool expenditures = qUscite.isActive() && !qUscite.isEmpty();
    sbModificaE->setEnabled(enabled && revenues);
    child<QToolButton>("sbRegistraE")->setEnabled(enabled && revenues);
    sbModificaU->setEnabled(enabled && expenditures);
    child<QToolButton>("sbRegistraU")->setEnabled(enabled && expenditures);
}

void TfMain::DBEditRev1Change()
{
    if (m_changingRecord)
        return;
    if (sbModificaE->isHidden())
        return;
    if (qEntrate.isEditing())
        qEntrate.fieldByName("Importo").setValue(Reassessment::remainder(Importo, qEntrate, Kind::Revenue).toDouble());
    else if (!sbModificaU->isHidden() && qUscite.isEditing())
        qUscite.fieldByName("Importo").setValue(
            Reassessment::remainder(Importo, qUscite, Kind::Expenditure).toDouble());
}

void TfMain::showAmountCorrection(Kind kind, bool correcting)
{
    const bool revenue = kind == Kind::Revenue;
    child<TDBEditRev>(revenue ? "DBEditRev22" : "DBEditRev23")->setVisible(correcting);
    child<QToolButton>(revenue ? "sbModificaE" : "sbModificaU")->setVisible(!correcting);
    child<QToolButton>(revenue ? "sbRegistraE" : "sbRegistraU")->setVisible(correcting);
    Panel1->setEnabled(!correcting);
    static const char* const revenueParts[6] = {"GroupBox2", "GroupBox6", "GroupBox7",
                                                "DBEditRev7", "DBEditRev8", "DBEditRev9"};
    static const char* const expenditureParts[6] = {"GroupBox4", "GroupBox5", "GroupBox8",
                                                    "DBEditRev16", "DBEditRev17", "DBEditRev18"};
    for (const char* name : revenue ? revenueParts : expenditureParts)
        child<QWidget>(name)->setEnabled(!correcting);
}

void TfMain::sbModificaClick(Kind kind)
{
    DataSet& q = kind == Kind::Revenue ? qEntrate : qUscite;
    if (!q.isActive() || q.isEmpty())
        return;
    showAmountCorrection(kind, true);
    DBNavigator1->dataSet()->edit();
    child<TDBEditRev>(kind == Kind::Revenue ? "DBEditRev22" : "DBEditRev23")->setFocus(Qt::OtherFocusReason);
}

void TfMain::sbRegistraClick(Kind kind)
{
    DataSet& q = kind == Kind::Revenue ? qEntrate : qUscite;
    if (!q.isEditing())
        return;
    m_changingRecord = true;
    try {
        Reassessment::clearSplit(q, kind);
        // Posting writes the typed amount into Importo; a refused text keeps
        // the correction open.
        q.post();
        q.edit();
        q.fieldByName("ImportoBak").setValue(q.fieldByName("Importo").value());
        q.post();
        showAmountCorrection(kind, false);
    } catch (...) {
        m_changingRecord = false;
        throw;
    }
    m_changingRecord = false;
    DBNavigator1->setFocus(Qt::OtherFocusReason);
}

void TfMain::bbResetClick()
{
    DataSet* ds = DBNavigator1->dataSet();
    if (!ds || !ds->isActive() || ds->isEmpty())
        return;
    const Kind kind = activeKind();
    const QString question = kind == Kind::Revenue
        ? QStringLiteral("L'accertamento verrà riportato allo stato originario, proseguo?")
        : QStringLiteral("L'impegno verrà riportato allo stato originario, proseguo?");
    if (!messages().confirmWarning(question))
        return;
    m_changingRecord = true;
    try {
        ds->edit();
        Reassessment::clearSplit(*ds, kind);
        ds->fieldByName("Importo").setValue(ds->fieldByName("ImportoBak").value());
        ds->post();
    } catch (...) {
        ds->cancel();
        m_changingRecord = false;
        throw;
    }
    m_changingRecord = false;
}

} // namespace ostrel
