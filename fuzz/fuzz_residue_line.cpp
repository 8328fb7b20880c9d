// A residue line through the field reader and the conversions the import
// applies to each field: every field is either stored as the file wrote it or
// refused with a message naming the field and the text.

#include "FuzzSupport.h"
#include "ResidueFields.h"
#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/AnsiCodec.h"
#include "platform/Errors.h"
#include "platform/ItalianNumbers.h"

#include <QRegularExpression>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <locale.h>
#include <optional>

using namespace ostrel;
using namespace ostrel::fuzz;

namespace {

TestStore* g_store = nullptr;

bool isInteger(const QString& t)
{
    static const QRegularExpression re(QStringLiteral("\\A[+-]?[0-9]+\\z"));
    return re.match(t).hasMatch();
}

bool isReal(const QString& t)
{
    static const QRegularExpression re(
        QStringLiteral("\\A[+-]?([0-9]+(,[0-9]*)?|,[0-9]+)([eE][+-]?[0-9]+)?\\z"));
    return re.match(t).hasMatch();
}

// The value as the C library reads it with a decimal point; nullopt when out
// of the double's range.
std::optional<double> cValue(const QString& t)
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    QByteArray bytes = t.toLatin1();
    bytes.replace(',', '.');
    errno = 0;
    char* end = nullptr;
    const double v = strtod_l(bytes.constData(), &end, c);
    if (errno == ERANGE || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<qint64> cInteger(const QString& t)
{
    QByteArray bytes = t.toLatin1();
    if (bytes.startsWith('+'))
        bytes.remove(0, 1);
    qint64 v = 0;
    const auto [end, error] = std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), v);
    if (error != std::errc() || end != bytes.constData() + bytes.size())
        return std::nullopt;
    return v;
}

void checkConversion(Field& field, const QString& text)
{
    const QString where = field.name() + QStringLiteral(" <- ") + show(text);
    bool refused = false;
    QString message;
    try {
        field.setAsString(text);
    } catch (const EConvertError& e) {
        refused = true;
        message = e.message();
    }
    if (refused) {
        FUZZ_CHECK(message.contains(u'\'' + field.name() + u'\''), where + u' ' + message);
        FUZZ_CHECK(message.contains(text), where + u' ' + message);
    }
    switch (field.type()) {
    case FieldType::Text:
        FUZZ_CHECK(!refused && field.value().toString() == text, where);
        return;
    case FieldType::Int2:
    case FieldType::Int4: {
        if (text.isEmpty()) {
            FUZZ_CHECK(!refused && field.isNull(), where);
            return;
        }
        const auto v = isInteger(text) ? cInteger(text) : std::nullopt;
        const qint64 low = field.type() == FieldType::Int2 ? -32768 : INT32_MIN;
        const qint64 high = field.type() == FieldType::Int2 ? 32767 : INT32_MAX;
        if (v && *v >= low && *v <= high)
            FUZZ_CHECK(!refused && field.value() == QVariant(qint32(*v)), where);
        else
            FUZZ_CHECK(refused, where + QStringLiteral(" accepted as ") + field.asString());
        return;
    }
    case FieldType::Real: {
        if (text.isEmpty()) {
            FUZZ_CHECK(!refused && field.isNull(), where);
            return;
        }
        const auto v = isReal(text) ? cValue(text) : std::nullopt;
        if (!refused) {
            // Accepted: exactly the value written, never a neighbour.
            FUZZ_CHECK(v.has_value(), where + QStringLiteral(" accepted as ") + field.asString());
            const double got = field.asFloat();
            FUZZ_CHECK(std::memcmp(&got, &*v, sizeof got) == 0 || (got == 0 && *v == 0),
                       where + QStringLiteral(" read as ") + QString::number(got, 'g', 17)
                           + QStringLiteral(" instead of ") + QString::number(*v, 'g', 17));
            // Its text form reads back and is stable.
            const QString shown = field.asString();
            const auto again = ItalianNumbers::parseReal(shown);
            FUZZ_CHECK(again.has_value(), where + QStringLiteral(" shown as ") + shown);
            FUZZ_CHECK(ItalianNumbers::realToText(*again) == shown, where + u' ' + shown);
        } else {
            // Refused: not such a number, or outside what a double holds.
            FUZZ_CHECK(!isReal(text) || !cValue(text) || *cValue(text) == 0
                           || std::fpclassify(*cValue(text)) == FP_SUBNORMAL,
                       where + u' ' + message);
        }
        return;
    }
    case FieldType::Bool:
        return;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startQt();
    g_store = new TestStore;
    g_store->tables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList lines =
        Ansi::splitLines(Ansi::decode(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
    TdTabelle& tables = g_store->tables();
    for (const QString& line : lines.mid(0, 4)) {
        const QStringList fields = referenceFields(line);
        for (int n = -1; n <= fields.size() + 2; ++n) {
            const QString got = TdTabelle::LeggeCampo(line, n);
            const QString expected = fields.value(std::max(n, 1) - 1);
            FUZZ_CHECK(got == expected, QStringLiteral("field %1 of %2: %3 instead of %4")
                                            .arg(n)
                                            .arg(show(line), show(got), show(expected)));
        }
        for (DataSet* table : {&tables.tEntrate, &tables.tUscite}) {
            table->append();
            for (const ImportedField& f : importedFields())
                checkConversion(table->fieldByName(QString::fromLatin1(f.column)),
                                TdTabelle::LeggeCampo(line, f.number));
            table->cancel();
        }
    }
    return 0;
}
