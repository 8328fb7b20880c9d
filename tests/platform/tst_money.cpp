#include "platform/Money.h"

#include <QTest>

using namespace ostrel;

class TestMoney : public QObject {
    Q_OBJECT
private slots:
    void formatAmount_data();
    void formatAmount();
    void fromDouble_data();
    void fromDouble();
    void splitArithmeticIsExact();
};

void TestMoney::formatAmount_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("thousands") << 1234.5 << "€ 1.234,50";
    QTest::newRow("below one") << 0.5 << "€ ,50";
    QTest::newRow("zero") << 0.0 << "€ ,00";
    QTest::newRow("tiny negative rounds to zero, no sign") << -0.004 << "€ ,00";
    QTest::newRow("half a cent negative") << -0.005 << "-€ ,01";
    QTest::newRow("negative whole") << -12.0 << "-€ 12,00";
    QTest::newRow("one cent") << 0.01 << "€ ,01";
    QTest::newRow("decimal half, binary below half") << 1.005 << "€ 1,01";
    QTest::newRow("millions") << 1234567.891 << "€ 1.234.567,89";
    QTest::newRow("exactly a thousand") << 1000.0 << "€ 1.000,00";
    QTest::newRow("negative zero") << -0.0 << "€ ,00";
    QTest::newRow("just under half a cent") << 0.0049999 << "€ ,00";
}

void TestMoney::formatAmount()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(ostrel::formatAmount(value), text);
}

void TestMoney::fromDouble_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("units");
    QTest::newRow("four decimals kept") << 1000.0040 << qint64(10000040);
    QTest::newRow("fifth decimal rounds up") << 0.00005 << qint64(1);
    QTest::newRow("fifth decimal rounds down") << 0.00004 << qint64(0);
    QTest::newRow("negative rounds away from zero") << -0.00005 << qint64(-1);
    QTest::newRow("binary noise") << 0.1 + 0.2 << qint64(3000);
}

void TestMoney::fromDouble()
{
    QFETCH(double, value);
    QFETCH(qint64, units);
    QCOMPARE(Amount::fromDouble(value).units(), units);
}

void TestMoney::splitArithmeticIsExact()
{
    // 1000 - 200 - 300 - 500,004 in doubles is not exactly -0,004.
    const Amount rest = Amount::fromDouble(1000) - Amount::fromDouble(200) - Amount::fromDouble(300)
        - Amount::fromDouble(500.004);
    QCOMPARE(rest.units(), qint64(-40));
    QCOMPARE(rest.toDouble(), -0.004);
    QCOMPARE(Amount::fromVariant(QVariant()).units(), qint64(0));
}

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
