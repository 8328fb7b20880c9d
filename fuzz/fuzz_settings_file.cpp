// The settings file at start-up: the three lines are taken as they are when
// the third holds "KESTRA"; otherwise lines 2 and 3 go back to the defaults
// and the file is rewritten with them. A control character other than line
// ends and tabs refuses the file, left as it is. The store opens when the first line
// names it, and any other outcome is one message, never a crash.

#include "FuzzSupport.h"
#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/AnsiCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace ostrel;
using namespace ostrel::fuzz;

namespace {

TestStore* g_store = nullptr;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// The first line may name only files of the scratch folder: the store, the
// settings file itself, a missing file, the folder or its parent.
QByteArray confined(const QByteArray& bytes)
{
    qsizetype end = 0;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    const QByteArray first = bytes.left(end);
    static const QRegularExpression plain(QStringLiteral("\\A[A-Za-z0-9_. -]*\\z"));
    if (plain.match(QString::fromLatin1(first)).hasMatch())
        return bytes;
    return g_store->storePath().toUtf8() + bytes.mid(end);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startQt();
    g_store = new TestStore;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content = confined(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    g_store->writeFile(QStringLiteral("Ostrel.ini"), content);
    g_store->boxes().clear();
    const QStringList lines = Ansi::splitLines(Ansi::decode(content));

    TdTabelle tables(QStringLiteral("Ostrel.ini"));
    tables.DataModuleCreate();

    const QString detail = show(Ansi::decode(content));
    bool damaged = false;
    for (const char c : content)
        damaged = damaged || (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n' && c != '\t');
    if (damaged) {
        FUZZ_CHECK(readAll(g_store->iniPath()) == content, detail);
        FUZZ_CHECK(!tables.tEntrate.isActive() && tables.DataSource.isEmpty() && tables.Host.isEmpty(), detail);
        FUZZ_CHECK(g_store->boxes().shown().size() == 1
                       && g_store->boxes().texts().first().contains(QStringLiteral("caratteri che un file di testo non contiene")),
                   detail + u'\n' + g_store->boxes().texts().join(u'\n'));
        return 0;
    }
    const bool kept = lines.value(2).contains(QStringLiteral("KESTRA"));
    FUZZ_CHECK(tables.DataSource == lines.value(0), detail);
    if (kept) {
        FUZZ_CHECK(tables.Host == lines.value(1) && tables.CodIstat == lines.value(2), detail);
        FUZZ_CHECK(readAll(g_store->iniPath()) == content, detail);
    } else {
        FUZZ_CHECK(tables.Host == TdTabelle::DefaultHost && tables.CodIstat == TdTabelle::DefaultCodIstat,
                   detail);
        FUZZ_CHECK(readAll(g_store->iniPath())
                       == Ansi::encode(lines.value(0)) + "\r\n" + Ansi::encode(TdTabelle::DefaultHost)
                           + "\r\n" + Ansi::encode(TdTabelle::DefaultCodIstat) + "\r\n",
                   detail);
    }
    const QString storeFile = QFileInfo(g_store->storePath()).canonicalFilePath();
    const bool isStore = !lines.value(0).isEmpty()
        && QFileInfo(lines.value(0)).canonicalFilePath() == storeFile;
    FUZZ_CHECK(tables.tEntrate.isActive() == isStore, detail);
    FUZZ_CHECK(tables.tUscite.isActive() == isStore && tables.tFondiVincoli.isActive() == isStore, detail);
    FUZZ_CHECK(g_store->boxes().shown().size() == (isStore ? 0 : 1),
               detail + u'\n' + g_store->boxes().texts().join(u'\n'));
    return 0;
}
