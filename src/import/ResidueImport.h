#pragma once

#include <QString>

namespace ostrel {

class DataSet;
class TdTabelle;

// Refills a residue table from its text file, one row per line.
class ResidueImport {
public:
    explicit ResidueImport(TdTabelle& tables) : m_tables(tables) {}

    // Imports the file of tTabella (tEntrate or tUscite) and returns the rows
    // imported. The table is replaced in one transaction: on a conversion or
    // store error it keeps its old rows and the error is raised. A missing
    // file is reported here and raises EAbort.
    int Importa(DataSet& tTabella);

    // The import file of a table.
    static QString fileFor(const QString& tableName);

private:
    TdTabelle& m_tables;
};

} // namespace ostrel
