#include "DataModule.h"

#include "SettingsFile.h"
#include "StoreSchema.h"
#include "WorkFolder.h"

#include "platform/AnsiCodec.h"
#include "platform/Errors.h"
#include "platform/MessageBoxes.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace ostrel {

TdTabelle* dTabelle = nullptr;

const QString TdTabelle::DefaultHost = QStringLiteral("LOCALHOST:1521");
const QString TdTabelle::DefaultCodIstat = QStringLiteral("KESTRA481307");

namespace {

// The administrative schema's password is fixed; no setting holds it.
const QString kZarnUser = QStringLiteral("ZARN");
const QString kZarnPassword = QStringLiteral("ZARN2015");

QString uniqueName(const QString& base)
{
    return base + u'-' + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

QString TdTabelle::defaultDataSource()
{
    return WorkFolder::file(QStringLiteral("dbOstrel.db"));
}

TdTabelle::TdTabelle(QString iniFileName)
    : cnOstrel(uniqueName(QStringLiteral("cnOstrel"))),
      tEntrate(QStringLiteral("tEntrate"), &cnOstrel),
      tUscite(QStringLiteral("tUscite"), &cnOstrel),
      qLastId(QStringLiteral("qLastId"), &cnOstrel),
      qCancella(&cnOstrel),
      tFondiVincoli(QStringLiteral("tFondiVincoli"), &cnOstrel),
      qAggiorna(&cnOstrel),
      acKestra(uniqueName(QStringLiteral("acKestra"))),
      acZarn(uniqueName(QStringLiteral("acZarn"))),
      m_iniFileName(std::move(iniFileName))
{
    tEntrate.setSql({QStringLiteral("SELECT * FROM tEntrate")});
    tUscite.setSql({QStringLiteral("SELECT * FROM tUscite")});
    // The table has no Id: rows are told apart by the store's own rowid.
    tFondiVincoli.setSql({QStringLiteral("SELECT rowid, * FROM tFondiVincoli")});
    tFondiVincoli.setKeyField(QStringLiteral("rowid"));
    qLastId.setReadOnly(true);
    tEntrate.beforePost = [this](DataSet& ds) { tTableBeforePost(ds); };
    tUscite.beforePost = [this](DataSet& ds) { tTableBeforePost(ds); };
    acZarn.setUsername(kZarnUser);
    acZarn.setPassword(kZarnPassword);
    dTabelle = this;
}

TdTabelle::~TdTabelle()
{
    if (dTabelle == this)
        dTabelle = nullptr;
}

void TdTabelle::readSettings()
{
    QFile file(m_iniFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        // Missing or unreadable: a new file with the defaults.
        SettingsFile::write(m_iniFileName, defaultDataSource(), DefaultHost, DefaultCodIstat);
        Host = DefaultHost;
        CodIstat = DefaultCodIstat;
        DataSource = defaultDataSource();
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EInOutError(QStringLiteral("Errore di lettura del file delle impostazioni '%1': %2")
                              .arg(m_iniFileName, file.errorString()));
    file.close();
    // A control character means this is not the settings file (or it is
    // damaged): the rule below would rewrite it and the store path would be
    // cut at a NUL, so nothing is guessed and the file is left as it is.
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n' && c != '\t')
            throw EInOutError(
                QStringLiteral("Il file delle impostazioni '%1' contiene caratteri che un file di "
                               "testo non contiene (codice %2): correggerlo o cancellarlo, il "
                               "programma ne creerà uno nuovo.")
                    .arg(QFileInfo(m_iniFileName).absoluteFilePath())
                    .arg(int(static_cast<unsigned char>(c))));
    const QStringList lines = Ansi::splitLines(Ansi::decode(bytes));
    DataSource = lines.value(0);
    Host = lines.value(1);
    CodIstat = lines.value(2);
    if (!CodIstat.contains(QStringLiteral("KESTRA"))) {
        // Rewrite first: when the file cannot be written the values read stay.
        SettingsFile::write(m_iniFileName, DataSource, DefaultHost, DefaultCodIstat);
        Host = DefaultHost;
        CodIstat = DefaultCodIstat;
    }
}

void TdTabelle::DataModuleCreate()
{
    try {
        readSettings();
        cnOstrel.setDataSource(DataSource);
        Aggiorna();
        for (const QString& table :
             {QStringLiteral("tEntrate"), QStringLiteral("tUscite"), QStringLiteral("tFondiVincoli")})
            StoreSchema::checkColumns(cnOstrel, table);
        tEntrate.open();
        tUscite.open();
        tFondiVincoli.open();
    } catch (const std::exception& e) {
        reportException(e);
    }
}

void TdTabelle::Aggiorna()
{
    for (const QString& table : {QStringLiteral("tEntrate"), QStringLiteral("tUscite")}) {
        const QList<QStringList> rebuild = StoreSchema::capUpgrade(cnOstrel, table);
        if (rebuild.isEmpty())
            continue;
        StoreTransaction transaction(cnOstrel);
        for (const QStringList& statement : rebuild) {
            qAggiorna.setSql(statement);
            qAggiorna.execute();
        }
        transaction.commit();
        cnOstrel.forgetTableColumns();
    }
}

qint32 TdTabelle::LastId(DataSet& T)
{
    qLastId.clearSql();
    qLastId.addSqlLine(QStringLiteral("SELECT MAX(Id) FROM ") + T.name());
    qLastId.open();
    return qLastId.fields().front()->asInteger();
}

void TdTabelle::tTableBeforePost(DataSet& DataSet)
{
    if (DataSet.state() == DataSet::State::Insert)
        DataSet.fieldByName(QStringLiteral("Id")).setValue(LastId(DataSet) + 1);
}

bool TdTabelle::ApriKestra(const QString& Host)
{
    bool result = false;
    acKestra.close();
    const QString Utente = CodIstat;
    acKestra.setServer(Host);
    acKestra.setUsername(Utente);
    acKestra.setPassword(Utente);
    if (!Host.trimmed().isEmpty() && !CodIstat.isEmpty()) {
        try {
            acKestra.open();
            result = true;
        } catch (const std::exception&) {
            // The caller shows its own message and the parameters window.
        }
    }
    return result;
}

QString TdTabelle::LeggeCampo(const QString& S, int Num)
{
    qsizetype position = 0;
    const qsizetype n = S.size();
    QStringView result;
    int count = 0;
    do {
        while (position < n && S[position] == u'|')
            ++position;
        const qsizetype start = position;
        while (position < n && S[position] != u'|')
            ++position;
        result = QStringView(S).mid(start, position - start);
        ++count;
    } while (count < Num);
    qsizetype first = 0;
    qsizetype last = result.size();
    while (first < last && result[first].unicode() <= 32)
        ++first;
    while (last > first && result[last - 1].unicode() <= 32)
        --last;
    return result.mid(first, last - first).toString();
}

int TdTabelle::Cerca(const QString& Sub, const QStringList& S)
{
    for (int i = 0; i < S.size(); ++i)
        if (S[i].contains(Sub, Qt::CaseSensitive))
            return i;
    return -1;
}

int TdTabelle::CercaRiga(const QString& Line, const QStringList& S)
{
    for (int i = 0; i < S.size(); ++i)
        if (S[i].trimmed() == Line)
            return i;
    return -1;
}

} // namespace ostrel
