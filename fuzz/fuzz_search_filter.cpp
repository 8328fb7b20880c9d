// The search window's query text through a few filter and sort changes, as
// the window applies them, and the sort handed back to the main query: every
// text typed gives one statement of the same shape, whose literal is exactly
// the typed text between its wildcards.

#include "FuzzSupport.h"
#include "QueryCheck.h"
#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/Errors.h"
#include "workspace/SearchQuery.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace ostrel;
using namespace ostrel::fuzz;

namespace {

TestStore* g_store = nullptr;

// Stands for the typed text in the model statement.
const QString kMarker = QStringLiteral("\x01");

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
    LocalStore& store = g_store->tables().cnOstrel;
    QStringList lines = SearchQuery::designText();
    QStringList mainLines = {QStringLiteral("SELECT * FROM tEntrate"), QStringLiteral("ORDER BY"),
                             QStringLiteral("  Anno, Numero, Sub")};
    QString filterModel = SearchQuery::defaultFilterLine();
    QStringList typedLiterals;
    QString sort = SearchQuery::designText().value(4);
    for (int step = 0; step < 4 && input.remaining_bytes() > 0; ++step) {
        if (input.ConsumeBool()) {
            const int column = input.ConsumeIntegralInRange(-1, 8);
            const QString text = SearchQuery::sortText(column);
            if (!text.isEmpty()) {
                lines[SearchQuery::sortIndex(lines)] = text;
                sort = text;
            }
        } else {
            const int edit = input.ConsumeIntegralInRange(0, 8);
            const std::string typed = input.ConsumeRandomLengthString(64);
            const QString text = QString::fromUtf8(typed.data(), qsizetype(typed.size()));
            QString line;
            try {
                line = SearchQuery::filterLine(edit, text);
            } catch (const EConvertError& e) {
                // Refused before anything changes, saying why.
                FUZZ_CHECK(text.contains(QChar(u'\0')) && e.message().contains(QStringLiteral("carattere nullo")),
                           show(text) + u'\n' + e.message());
                continue;
            }
            FUZZ_CHECK(!text.contains(QChar(u'\0')) || edit < 1 || edit > 7, show(text));
            lines[SearchQuery::filterIndex(lines)] = line;
            filterModel = SearchQuery::filterLine(edit, kMarker);
            typedLiterals.clear();
            for (const QString& value : scanSql(filterModel).values)
                typedLiterals.append(QString(value).replace(kMarker, text));
        }
        const QStringList model = {SearchQuery::designText().value(0), QStringLiteral("WHERE"), filterModel,
                                   QStringLiteral("ORDER BY"), sort};
        checkSameQuery(store, lines.join(u'\n'), model.join(u'\n'), typedLiterals);
    }
    // Closing the window hands its order to the main query.
    mainLines[SearchQuery::sortIndex(mainLines)] = lines.value(SearchQuery::sortIndex(lines));
    checkSameQuery(store, mainLines.join(u'\n'),
                   QStringList{mainLines[0], QStringLiteral("ORDER BY"), sort}.join(u'\n'), {});
    return 0;
}
