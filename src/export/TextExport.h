#pragma once

#include "platform/DataSet.h"
#include "platform/FieldType.h"

#include <QString>

class QIODevice;

namespace ostrel {

class ExportFeedback;
class LocalStore;

// The export of the whole reassessment into the two fixed-width files of the
// second accounting product: one line per residue, Windows-1252, CR LF.
class TextExport {
public:
    explicit TextExport(LocalStore& cnOstrel);

    // The export button's run: the question, the hourglass, both files, the
    // closing message, then any error in the standard error box. Returns true
    // when both files were written.
    bool bbExportFileClick(ExportFeedback& feedback);

    // Writes the file of tTabella ("entrate.txt" for qEntrate, else
    // "uscite.txt") in the work folder. The file is written beside its name
    // and moved over it only when complete. Throws EInOutError, EConvertError.
    void Esporta(DataSet& tTabella);
    // Writes the lines to a device already open. On an error the device may
    // hold part of the output.
    void Esporta(DataSet& tTabella, QIODevice& fTesto);

    // A value's text in a column of `width` characters. `fits` is set to
    // false when the value needs more room than the column has; the text
    // returned is then cut (integers) or wider than the column (amounts).
    static QString ScriviFixDim(const QString& value, FieldType type, int width,
                                bool* fits = nullptr);

    static QString fileFor(const QString& queryName);

    DataSet qEntrate;
    DataSet qUscite;
};

} // namespace ostrel
