#pragma once

#include "platform/DataSet.h"
#include "platform/ReportData.h"

#include <QString>
#include <QStringList>

namespace ostrel {

class LocalStore;
class Report;

// The choices of the detail listing window, as its controls hold them.
struct DetailChoices {
    enum class Kind { Entrate, Uscite };
    enum class Amounts { Tutti, SoloEliminati, SenzaEliminati };
    enum class Reimputed { Tutti, Coperti, NonCoperti };
    enum class Order { AnnoNumero, CapArt, Ueb, Responsabile };

    Kind kind = Kind::Entrate;
    QString year;        // MaskEdit1, up to 4 digits
    QString number;      // Edit1, as typed
    QString chapter;     // MaskEdit2
    QString ueb;         // MaskEdit3
    QString responsible; // Edit2, upper case
    Amounts amounts = Amounts::Tutti;
    Reimputed reimputed = Reimputed::Tutti;
    Order order = Order::AnnoNumero;
    bool details = false; // "Con dettagli"
    int type = 0;         // "Tipo stampa": 0 is "Tipo 1", any other "Tipo 2"

    // "Resetta filtri": the filters, the amount and re-imputed choices.
    void resetFilters();
};

// The listing queries and everything of the detail listing that does not
// draw; fDettaglio calls these from its handlers.
class DetailListing {
public:
    explicit DetailListing(LocalStore* store);

    DataSet qDettaglioE;
    DataSet qDettaglioU;
    DetailChoices choices;

    // The query text as stored before the first opening.
    static QStringList initialSql(DetailChoices::Kind kind);
    // Rewrites the filter lines after "WHERE" and the line after "ORDER BY".
    static void buildQuery(QStringList& lines, DetailChoices::Kind kind, const DetailChoices& c);
    void qDettaglioBeforeOpen(DataSet& DataSet);
    void qDettaglioCalcFields(DataSet& DataSet);
    // "titolo" and "dettaglio"; any other name leaves Value as it is.
    static void frxReport1GetValue(const DetailChoices& c, const QString& VarName, QVariant& Value);

    // Template name by kind and "Tipo stampa" ("dettaglioE.html", ...).
    static QString templateName(const DetailChoices& c);
    // The report data set of a query: "frxDBDettaglioE" or "frxDBDettaglioU",
    // grouped by the order chosen.
    ReportDataSet reportDataSet(DetailChoices::Kind kind);

    // bbStampaClick up to the preview: closes both queries, opens the one of
    // the kind, loads the template by the lookup rule and binds data and
    // variables. The window then prepares and previews the report.
    void bbStampaClick(Report& report);
    // Button1Click: the same template, for the designer.
    void loadTemplate(Report& report) const;
    void FormClose();

    DataSet& query(DetailChoices::Kind kind)
    {
        return kind == DetailChoices::Kind::Entrate ? qDettaglioE : qDettaglioU;
    }

private:
    void declareFields(DataSet& ds, DetailChoices::Kind kind);
};

} // namespace ostrel
