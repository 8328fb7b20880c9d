#pragma once

#include "platform/AccountingSession.h"
#include "platform/DataSet.h"
#include "platform/LocalStore.h"
#include "platform/SqlStatement.h"

#include <QString>
#include <QStringList>

namespace ostrel {

// The data module: the local store, its three tables, the sessions to the
// accounting database and the three settings, shared by every window.
class TdTabelle {
public:
    // iniFileName: the settings file, a bare name resolved in the current
    // directory (see SettingsFile::fileName).
    explicit TdTabelle(QString iniFileName);
    ~TdTabelle();
    TdTabelle(const TdTabelle&) = delete;
    TdTabelle& operator=(const TdTabelle&) = delete;

    // Reads or creates the settings file, points the store at the configured
    // file, upgrades Cap and opens the tables. An error is shown in the
    // standard error box and skips the remaining steps.
    void DataModuleCreate();
    void Aggiorna();

    qint32 LastId(DataSet& T);
    void tTableBeforePost(DataSet& DataSet);
    bool ApriKestra(const QString& Host);

    // Field Num (from 1) of a "|"-separated line; runs of "|" separate fields.
    static QString LeggeCampo(const QString& S, int Num);
    // Index of the first line containing Sub (case-sensitive), or -1.
    static int Cerca(const QString& Sub, const QStringList& S);
    // Index of the first line that is Line, blanks around it aside, or -1.
    // For the keyword lines of a query text: a filter line holding a typed
    // "ORDER BY" contains the keyword but is not its line.
    static int CercaRiga(const QString& Line, const QStringList& S);

    const QString& iniFileName() const { return m_iniFileName; }

    LocalStore cnOstrel;
    DataSet tEntrate;
    DataSet tUscite;
    DataSet qLastId;
    SqlStatement qCancella;
    DataSet tFondiVincoli;
    SqlStatement qAggiorna;
    AccountingSession acKestra;
    AccountingSession acZarn;
    QString DataSource;
    QString Host;
    QString CodIstat;

    static const QString DefaultHost;
    static const QString DefaultCodIstat;
    static QString defaultDataSource();

private:
    void readSettings();

    QString m_iniFileName;
};

// The one data module of the running program.
extern TdTabelle* dTabelle;

} // namespace ostrel
