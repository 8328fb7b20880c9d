#include "platform/AnsiCodec.h"

#include <QTest>

using namespace ostrel;

class TestAnsiCodec : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void unrepresentableBecomesQuestionMark_data();
    void unrepresentableBecomesQuestionMark();
    void splitLines_data();
    void splitLines();
};

void TestAnsiCodec::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("Canoni d'affitto") << QStringLiteral("Canoni d'affitto");
    QTest::newRow("accented letters") << QByteArray("citt\xe0 \xe8 \xc0 N\xcc" "COL\xd2")
                                      << QStringLiteral("città è À NÌCOLÒ");
    QTest::newRow("euro and quotes") << QByteArray("\x80 \x93x\x94 \x96")
                                     << QStringLiteral("€ “x” –");
    QTest::newRow("undefined byte keeps its value") << QByteArray("\x81") << QString(QChar(0x81));
}

void TestAnsiCodec::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Ansi::decode(bytes), text);
    QCOMPARE(Ansi::encode(text), bytes);
}

void TestAnsiCodec::unrepresentableBecomesQuestionMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("greek") << QStringLiteral("αβ") << QByteArray("??");
    QTest::newRow("emoji is one character") << QStringLiteral("a😀b") << QByteArray("a?b");
}

void TestAnsiCodec::unrepresentableBecomesQuestionMark()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Ansi::encode(text), bytes);
}

void TestAnsiCodec::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("no final line end") << QStringLiteral("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("lf and cr") << QStringLiteral("a\nb\rc") << QStringList{"a", "b", "c"};
    QTest::newRow("empty line kept") << QStringLiteral("a\r\n\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("empty text") << QString() << QStringList{};
}

void TestAnsiCodec::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(Ansi::splitLines(text), lines);
}

QTEST_GUILESS_MAIN(TestAnsiCodec)
#include "tst_ansicodec.moc"
