// The Windows-1252 codec both ways. Bytes decode and encode back unchanged
// (the five undefined bytes travel as the C1 control of the same value);
// any text encodes one byte per character, "?" for those the code page lacks.

#include "FuzzSupport.h"

#include "platform/AnsiCodec.h"

#include <QHash>
#include <QRegularExpression>

using namespace ostrel;
using namespace ostrel::fuzz;

namespace {

// Character -> byte, from the decoder's side.
const QHash<char32_t, char>& byteOf()
{
    static const QHash<char32_t, char> table = [] {
        QHash<char32_t, char> t;
        for (int b = 0; b < 256; ++b) {
            const QString c = Ansi::decode(QByteArray(1, char(b)));
            FUZZ_CHECK(c.size() == 1, QStringLiteral("byte %1 decodes to %2").arg(b).arg(show(c)));
            FUZZ_CHECK(!t.contains(c[0].unicode()), QStringLiteral("two bytes decode to %1").arg(show(c)));
            t.insert(c[0].unicode(), char(b));
        }
        return t;
    }();
    return table;
}

QStringList referenceLines(const QString& text)
{
    static const QRegularExpression end(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(end);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startQt();
    byteOf();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString decoded = Ansi::decode(bytes);
    FUZZ_CHECK(decoded.size() == bytes.size(), show(decoded));
    FUZZ_CHECK(Ansi::encode(decoded) == bytes, show(decoded));
    FUZZ_CHECK(Ansi::splitLines(decoded) == referenceLines(decoded), show(decoded));

    // The same bytes as UTF-16 code units: any text at all, lone surrogates included.
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | data[i + 1] << 8));
    const QByteArray encoded = Ansi::encode(text);
    QByteArray expected;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        expected.append(byteOf().value(c, '?'));
    }
    FUZZ_CHECK(encoded == expected, show(text));
    return 0;
}
