// The detail listing's query text: for any filters typed, built once and then
// rebuilt from the previous text as each opening does, the statement has the
// shape of the listing's own and compares exactly the typed texts (trimmed
// where the window trims them); the listing then opens on it.

#include "FuzzSupport.h"
#include "QueryCheck.h"
#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/Errors.h"
#include "reports/DetailListing.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace ostrel;
using namespace ostrel::fuzz;

namespace {

TestStore* g_store = nullptr;

QString typed(FuzzedDataProvider& input)
{
    const std::string text = input.ConsumeRandomLengthString(40);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

DetailChoices choices(FuzzedDataProvider& input)
{
    using C = DetailChoices;
    C c;
    c.kind = input.ConsumeBool() ? C::Kind::Uscite : C::Kind::Entrate;
    c.amounts = C::Amounts(input.ConsumeIntegralInRange(0, 2));
    c.reimputed = C::Reimputed(input.ConsumeIntegralInRange(0, 2));
    c.order = C::Order(input.ConsumeIntegralInRange(0, 3));
    c.year = typed(input);
    c.number = typed(input);
    c.chapter = typed(input);
    c.ueb = typed(input);
    c.responsible = typed(input);
    return c;
}

bool hasNull(const DetailChoices& c)
{
    for (const QString* text : {&c.year, &c.number, &c.chapter, &c.ueb, &c.responsible})
        if (text->contains(QChar(u'\0')))
            return true;
    return false;
}

// Builds on a copy, as each opening does; false when refused, which must be
// for a null character and say so.
bool build(QStringList& lines, const DetailChoices& c)
{
    QStringList copy = lines;
    try {
        DetailListing::buildQuery(copy, c.kind, c);
    } catch (const EConvertError& e) {
        FUZZ_CHECK(hasNull(c) && e.message().contains(QStringLiteral("carattere nullo")), e.message());
        return false;
    }
    FUZZ_CHECK(!hasNull(c), show(copy.join(u'\n')));
    lines = copy;
    return true;
}

// Markers for the five typed texts in the model statement.
QString marker(int i)
{
    return QString(QChar(char16_t(1 + i)));
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
    FuzzedDataProvider input(data, size);
    const DetailChoices first = choices(input);
    DetailChoices second = choices(input);
    second.kind = first.kind;
    LocalStore& store = g_store->tables().cnOstrel;

    // Each opening rebuilds the previous text, in a copy that a refusal leaves unused.
    QStringList lines = DetailListing::initialSql(first.kind);
    const bool refusedFirst = !build(lines, first);
    const bool refusedSecond = !build(lines, second);
    DetailChoices placeholders = second;
    placeholders.year = marker(0);
    placeholders.number = marker(1);
    placeholders.chapter = marker(2);
    placeholders.ueb = marker(3);
    placeholders.responsible = marker(4);
    QStringList model = DetailListing::initialSql(second.kind);
    DetailListing::buildQuery(model, second.kind, placeholders);
    const QStringList texts = {second.year.trimmed(), second.number, second.chapter.trimmed(),
                               second.ueb.trimmed(), second.responsible.trimmed()};
    QStringList expected;
    for (const QString& value : scanSql(model.join(u'\n')).values) {
        QString literal;
        for (const QChar c : value)
            literal += c.unicode() >= 1 && c.unicode() <= 5 ? texts[c.unicode() - 1] : QString(c);
        expected.append(literal);
    }
    if (!refusedSecond)
        checkSameQuery(store, lines.join(u'\n'), model.join(u'\n'), expected);

    // The listing itself, opened with the first choices and then the second.
    DetailListing listing(&store);
    DataSet& query = listing.query(first.kind);
    for (const auto& [c, refused] : {std::pair{first, refusedFirst}, std::pair{second, refusedSecond}}) {
        listing.choices = c;
        query.close();
        try {
            query.open();
            FUZZ_CHECK(!refused, show(query.sqlText()));
        } catch (const EConvertError& e) {
            FUZZ_CHECK(refused, e.message());
        } catch (const std::exception& e) {
            fail("the listing does not open", QString::fromUtf8(e.what()) + u'\n' + show(query.sqlText()));
        }
    }
    return 0;
}
