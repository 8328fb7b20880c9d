#pragma once

#include "AccountingStatements.h"

#include "platform/DataSet.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ostrel {

class ExportFeedback;
class TdTabelle;

// The export into the main accounting product's database: every quota
// re-imputed to 2016, 2017 and later becomes a new accertamento or impegno
// of its year, on a chapter created or topped up for it, all in the one
// transaction of the accounting session that the user confirms at the end.
class DatabaseExport {
public:
    enum class Outcome { NotConnected, Declined, Committed, Discarded, Failed };

    // A commitment created by the run.
    struct Commitment {
        bool revenue;
        QString id;
        QString year;
        QString number;
        QString idCapitolo;
        QString amount;
        QString subject;
    };
    // A chapter row the run created or added a quota to.
    struct Chapter {
        bool created;
        QString idCapitolo;
        QString tipo;
        QString year;
        QString capitolo;
        QString articolo;
        QString flCop;
        QString amount;
    };

    // settingsBaseName: the settings file's name without ".ini", for the
    // message shown when the session cannot be opened.
    DatabaseExport(TdTabelle& tables, QString settingsBaseName);
    ~DatabaseExport();
    DatabaseExport(const DatabaseExport&) = delete;
    DatabaseExport& operator=(const DatabaseExport&) = delete;

    // The export button's run, messages and all; no error leaves it.
    Outcome bbExportDbClick(ExportFeedback& feedback);

    // The pieces of a run; they need the session open and qTemp created.
    void Esporta(DataSet& tTabella, ExportFeedback* feedback = nullptr);
    void CreaAcc(const QString& Importo);
    void CreaImp(const QString& Importo);
    void CreaCapitolo(const QString& Importo);
    void AggiornaCapitolo(const QString& Importo);
    void oqCFCAPITOLIPEGBeforeOpen(AccountingLookup& DataSet);

    // The quota as the statements write it: plain decimal notation, at most
    // 15 significant digits, a point, no trailing zeros.
    static QString amountText(double value);
    // In single quotes, inner quotes doubled.
    static QString quoted(const QString& text);

    DataSet qEntrateM;
    DataSet qUsciteM;
    AccountingLookup oqCFCAPITOLIPEG;

    // Working fields, set for every quota.
    QString Tipo;
    QString Anno;
    QString Capitolo;
    QString Articolo;
    QString FlCop;

    // Run values.
    QString IdCapitolo;
    QString IdAcc;
    QString NumAcc;
    QString IdImp;
    QString NumImp;
    std::unique_ptr<AccountingStatement> qTemp;

    // "Today", for the dates of the new commitments.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    // What the last run sent and created; kept until the next run starts.
    const StatementLog& log() const { return m_log; }
    const std::vector<Commitment>& commitments() const { return m_commitments; }
    const std::vector<Chapter>& chapters() const { return m_chapters; }

private:
    void startRun();
    void creaImpegno(bool revenue, const QString& Importo);
    QString sourceText(const char* field) const;
    QString dateText() const;
    QString subject() const;

    TdTabelle& m_tables;
    QString m_settingsBaseName;
    DataSet* m_tTabella = nullptr;
    StatementLog m_log;
    std::vector<Commitment> m_commitments;
    std::vector<Chapter> m_chapters;
};

} // namespace ostrel
