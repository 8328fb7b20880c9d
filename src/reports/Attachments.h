#pragma once

#include "platform/DataSet.h"
#include "platform/ReportData.h"

#include <QHash>
#include <QStringList>
#include <utility>

namespace ostrel {

class LocalStore;
class Report;

// The queries of attachments 5/1 and 5/2, the rows the attachments derive
// from them and the fund entry; fStampe calls these from its handlers.
class Attachments {
public:
    explicit Attachments(LocalStore* store);

    DataSet qAll51;
    DataSet qAll52;

    static QStringList qAll51Sql();
    static QStringList qAll52Sql();
    // The names the report data sets expose, in order.
    static const QStringList& frxDBAll51Names();
    static const QStringList& frxDBAll52Names();
    // The nine columns of tFondiVincoli, in the window's order.
    static const QStringList& fundColumns();

    using Figures = QList<std::pair<QString, double>>;
    // The derived rows of 5/1 (PC_3, CC_3, ... PC_20, CC_20) and of 5/2
    // (Punto_g, Punto_h, Punto_i, Punto_l, Punto_n) from the query's
    // columns; an empty column counts as 0.
    static Figures derive51(const QHash<QString, QVariant>& columns);
    static Figures derive52(const QHash<QString, QVariant>& columns);
    // (n) below zero as printed, to the cent.
    static bool isNegative(double amount);

    // FormShow: both queries computed afresh.
    void FormShow();
    void FormClose();
    // A fund edit left: a pending change of tFondiVincoli is posted and
    // qAll52 recomputed; otherwise nothing happens.
    void DBEditRev1Exit(DataSet& tFondiVincoli);

    ReportDataSet frxDBAll51();
    ReportDataSet frxDBAll52();
    // "Calcoli51" / "Calcoli52": one row of the derived figures.
    ReportDataSet calcoli51();
    ReportDataSet calcoli52();

    // bAll51Click / bAll52Click up to the preview: template by the lookup
    // rule, the attachment's data sets bound.
    void bAll51Click(Report& report);
    void bAll52Click(Report& report);

private:
    static QHash<QString, QVariant> firstRow(DataSet& ds);
};

// Stores fund amounts into the single row of tFondiVincoli, creating it when
// the table is empty. Each value is a number with decimal comma, or empty for
// none; throws EConvertError / EDatabaseError and then stores nothing.
void storeFunds(DataSet& tFondiVincoli, const QList<std::pair<QString, QString>>& values);

} // namespace ostrel
