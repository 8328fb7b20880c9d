#include "TextExport.h"

#include "ExportFeedback.h"

#include "app/WorkFolder.h"
#include "platform/AnsiCodec.h"
#include "platform/Errors.h"
#include "platform/LocalStore.h"
#include "platform/MessageBoxes.h"

#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace ostrel {

namespace {

const QString kQuestion = QStringLiteral(
    "Attenzione, si stanno per esportare i riaccertamenti straordinari nel programma Dovenia "
    "(Kemo). Continuo?");
const QString kDone = QStringLiteral("-> Kemo: Esportazione terminata.");

constexpr int kAmountWidth = 13;
// Past 18 digits the amount leaves the fixed-point range (and any column).
constexpr int kMaxDigits = 18;

struct FixedPoint {
    qint64 units = 0; // ten-thousandths
    bool overflow = false;
};

// The text of an amount read back with four decimals, rounding half away
// from zero on the decimal digits themselves, so 0,125 stays 0,1250 and
// prints as 0,13. Unreadable text gives 0.
FixedPoint readFixedPoint(const QString& text)
{
    FixedPoint result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const QChar* c = text.constData();
    bool negative = false;
    if (i < n && (c[i] == u'-' || c[i] == u'+'))
        negative = c[i++] == u'-';
    // Significant digits only; a text of ours never has more than 17.
    char digits[40];
    int count = 0;
    int decimals = 0;
    bool anyDigit = false;
    auto isDigit = [&](qsizetype k) { return k < n && c[k] >= u'0' && c[k] <= u'9'; };
    auto take = [&](QChar d) {
        anyDigit = true;
        if (count == 0 && d == u'0')
            return true;
        if (count == int(sizeof digits))
            return false;
        digits[count++] = char(d.unicode());
        return true;
    };
    for (; isDigit(i); ++i)
        if (!take(c[i])) {
            result.overflow = true;
            return result;
        }
    if (i < n && c[i] == u',') {
        for (++i; isDigit(i); ++i, ++decimals)
            if (!take(c[i])) {
                result.overflow = true;
                return result;
            }
    }
    int exponent = 0;
    if (anyDigit && i < n && (c[i] == u'E' || c[i] == u'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (c[i] == u'-' || c[i] == u'+'))
            negativeExponent = c[i++] == u'-';
        if (!isDigit(i))
            return result;
        for (; isDigit(i); ++i)
            exponent = std::min(exponent * 10 + (c[i].unicode() - u'0'), 10000);
        if (negativeExponent)
            exponent = -exponent;
    }
    if (!anyDigit || i != n || count == 0)
        return result;
    const int shift = exponent - decimals + 4;
    const int keep = count + std::min(shift, 0);
    if ((shift >= 0 ? count + shift : keep) > kMaxDigits) {
        result.overflow = true;
        return result;
    }
    qint64 units = 0;
    for (int k = 0; k < keep; ++k)
        units = units * 10 + (digits[k] - '0');
    for (int k = 0; k < shift; ++k)
        units *= 10;
    if (keep >= 0 && keep < count && digits[keep] >= '5')
        ++units;
    result.units = negative ? -units : units;
    return result;
}

QString amountColumn(const QString& value, bool* fits)
{
    const FixedPoint fixed = readFixedPoint(value);
    if (fixed.overflow) {
        *fits = false;
        return value;
    }
    qint64 cents = (fixed.units < 0 ? -fixed.units : fixed.units);
    const qint64 rest = cents % 100;
    cents = cents / 100 + (rest >= 50 ? 1 : 0);
    // Right to left into a buffer: this runs seven times per residue.
    char16_t buffer[32];
    int start = 32;
    buffer[--start] = char16_t(u'0' + cents % 10);
    buffer[--start] = char16_t(u'0' + cents / 10 % 10);
    buffer[--start] = u',';
    qint64 whole = cents / 100;
    do {
        buffer[--start] = char16_t(u'0' + whole % 10);
        whole /= 10;
    } while (whole);
    if (fixed.units < 0 && cents != 0)
        buffer[--start] = u'-';
    const int length = 32 - start;
    if (length > kAmountWidth) {
        *fits = false;
        return QString(reinterpret_cast<const QChar*>(buffer + start), length);
    }
    while (32 - start < kAmountWidth)
        buffer[--start] = u' ';
    return QString(reinterpret_cast<const QChar*>(buffer + start), kAmountWidth);
}

QString textColumn(const QString& value, int width)
{
    QString text = value;
    // One character is one byte in the file: the encoder writes a pair of
    // surrogates as one "?", so count it as one.
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate())
            text.replace(i, 2, QStringLiteral("?"));
    if (text.size() > width)
        text.truncate(width);
    return text.leftJustified(width, u' ');
}

void openForWriting(QSaveFile& file)
{
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Impossibile creare il file '%1': %2")
                              .arg(file.fileName(), file.errorString()));
}

void commitFile(QSaveFile& file)
{
    if (!file.commit())
        throw EInOutError(QStringLiteral("Impossibile scrivere il file '%1': %2")
                              .arg(file.fileName(), file.errorString()));
}

void declareFields(DataSet& query, bool expenditures)
{
    auto width = [&](const QString& name, FieldType type, int w, int size = 0) {
        query.addField(name, type, size).setDisplayWidth(w);
    };
    width(QStringLiteral("Tipo"), FieldType::Text, 1, 1);
    width(QStringLiteral("Numero"), FieldType::Text, 8, 8);
    width(QStringLiteral("Sub"), FieldType::Int2, 2);
    width(QStringLiteral("Anno"), FieldType::Int2, 4);
    for (const char* amount : {"ImportoBak", "ResEliminato", "ResAnno1", "ResAnno2", "ResAnno3",
                               "ResOltre", "ResMantenuto"})
        width(QString::fromLatin1(amount), FieldType::Real, kAmountWidth);
    width(QStringLiteral("Cap"), FieldType::Int4, 5);
    width(QStringLiteral("Art"), FieldType::Int2, 2);
    width(QStringLiteral("Descrizione"), FieldType::Text, 255, 255);
    if (expenditures)
        width(QStringLiteral("FlCop"), FieldType::Text, 1, 1);
}

} // namespace

TextExport::TextExport(LocalStore& cnOstrel)
    : qEntrate(QStringLiteral("qEntrate"), &cnOstrel), qUscite(QStringLiteral("qUscite"), &cnOstrel)
{
    qEntrate.setSql({QStringLiteral(
        "SELECT 'E' AS Tipo, Numero, Sub, Anno, ImportoBak, ResEliminato, ResAnno1, ResAnno2, "
        "ResAnno3, ResOltre, ResMantenuto, Cap, Art, IIF(Descrizione IS NULL, Oggetto, "
        "Descrizione) AS Descrizione FROM tEntrate ORDER BY Anno, Numero, Sub")});
    // The store keeps a set flag as 1, not -1.
    qUscite.setSql({QStringLiteral(
        "SELECT 'U' AS Tipo, Numero, Sub, Anno, ImportoBak, IIF(AvLibero IS NULL, 0, AvLibero) + "
        "IIF(AvAccantonato IS NULL, 0, AvAccantonato) + IIF(AvVincolato IS NULL, 0, AvVincolato) + "
        "IIF(AvDestinato IS NULL, 0, AvDestinato) AS ResEliminato, ResAnno1, ResAnno2, ResAnno3, "
        "ResOltre, ResMantenuto, Cap, Art, IIF(Descrizione IS NULL, Oggetto, Descrizione) AS "
        "Descrizione, IIF(ResAnno1 > 0 AND FlCop1 = 1, 'C', ' ') AS FlCop FROM tUscite ORDER BY "
        "Anno, Numero, Sub")});
    for (DataSet* query : {&qEntrate, &qUscite})
        query->setReadOnly(true);
    declareFields(qEntrate, false);
    declareFields(qUscite, true);
}

QString TextExport::fileFor(const QString& queryName)
{
    return WorkFolder::file(queryName == u"qEntrate" ? QStringLiteral("entrate.txt")
                                                     : QStringLiteral("uscite.txt"));
}

QString TextExport::ScriviFixDim(const QString& value, FieldType type, int width, bool* fits)
{
    bool fitted = true;
    QString text;
    switch (type) {
    case FieldType::Int2:
    case FieldType::Int4:
        if (value.size() > width) {
            fitted = false;
            text = value.left(width);
        } else {
            text = value.rightJustified(width, u'0');
        }
        break;
    case FieldType::Real:
        text = amountColumn(value, &fitted);
        break;
    case FieldType::Text:
    case FieldType::Bool:
        text = textColumn(value, width);
        break;
    }
    if (fits)
        *fits = fitted;
    return text;
}

void TextExport::Esporta(DataSet& tTabella, QIODevice& fTesto)
{
    tTabella.close();
    tTabella.open();
    const Field& numero = tTabella.fieldByName(QStringLiteral("Numero"));
    const Field& anno = tTabella.fieldByName(QStringLiteral("Anno"));
    const Field& sub = tTabella.fieldByName(QStringLiteral("Sub"));
    const QString fileName = QFileInfo(fileFor(tTabella.name())).fileName();
    QByteArray buffer;
    auto flush = [&] {
        if (fTesto.write(buffer) != buffer.size())
            throw EInOutError(QStringLiteral("Errore di scrittura del file %1: %2")
                                  .arg(fileName, fTesto.errorString()));
        buffer.clear();
    };
    QString line;
    for (tTabella.first(); !tTabella.eof(); tTabella.next()) {
        line.clear();
        for (const auto& field : tTabella.fields()) {
            bool fits = true;
            line += ScriviFixDim(field->asString(), field->type(), field->displayWidth(), &fits);
            if (!fits) {
                // The receiving product reads by position: a cut or wider
                // value would give it a wrong chapter or shifted fields.
                throw EConvertError(
                    QStringLiteral("Il residuo %1/%2 sub %3 non può essere esportato nel file %4: "
                                   "il valore %5 del campo %6 non entra nelle %7 posizioni della "
                                   "colonna. Nessun file è stato scritto.")
                        .arg(numero.asString(), anno.asString(), sub.asString(), fileName,
                             field->asString(), field->name())
                        .arg(field->displayWidth()));
            }
        }
        buffer += Ansi::encode(line);
        buffer += "\r\n";
        if (buffer.size() >= 1 << 16)
            flush();
    }
    if (!buffer.isEmpty())
        flush();
    tTabella.close();
}

void TextExport::Esporta(DataSet& tTabella)
{
    QSaveFile fTesto(fileFor(tTabella.name()));
    openForWriting(fTesto);
    Esporta(tTabella, fTesto);
    commitFile(fTesto);
}

bool TextExport::bbExportFileClick(ExportFeedback& feedback)
{
    if (!messages().confirm(kQuestion))
        return false;
    feedback.setBusy(true);
    std::exception_ptr error;
    try {
        // Both files are moved into place only when both are complete, so a
        // refused value leaves the previous pair untouched.
        QSaveFile entrate(fileFor(qEntrate.name()));
        openForWriting(entrate);
        Esporta(qEntrate, entrate);
        QSaveFile uscite(fileFor(qUscite.name()));
        openForWriting(uscite);
        Esporta(qUscite, uscite);
        commitFile(entrate);
        commitFile(uscite);
    } catch (...) {
        error = std::current_exception();
    }
    feedback.setBusy(false);
    messages().information(kDone);
    if (!error)
        return true;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        reportException(e);
    } catch (...) {
        messages().standardError(QStringLiteral("Errore sconosciuto"));
    }
    return false;
}

} // namespace ostrel
