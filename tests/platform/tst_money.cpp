#include "platform/Errors.h"
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
    void beyondFixedPointIsRefused();
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
    QTest::newRow("rounding carries into a new digit") << 999.995 << "€ 1.000,00";
    QTest::newRow("more cents than 64 bits hold") << 1e20 << "€ 100.000.000.000.000.000.000,00";
    QTest::newRow("more cents than 64 bits hold, negative") << -123456789012345678.0
                                                            << "-€ 123.456.789.012.345.680,00";
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

void TestMoney::beyondFixedPointIsRefused()
{
    // Four decimals in 64 bits end near 922 thousand billion: past that a
    // split would silently compute with 0.
    QCOMPARE(Amount::fromDouble(9e14).units(), qint64(9000000000000000000));
    for (const double value : {1e15, -1e15, 1e300}) {
        try {
            Amount::fromDouble(value);
            QFAIL(qPrintable(QString::number(value) + " was taken"));
        } catch (const EConvertError& e) {
            QVERIFY2(e.message().contains("supera il massimo"), qPrintable(e.message()));
        }
    }
    const Amount top = Amount::fromUnits(INT64_MAX);
    const Amount bottom = Amount::fromUnits(INT64_MIN);
    const Amount one = Amount::fromUnits(1);
    QVERIFY_THROWS_EXCEPTION(EConvertError, top + one);
    QVERIFY_THROWS_EXCEPTION(EConvertError, bottom - one);
    QVERIFY_THROWS_EXCEPTION(EConvertError, top - bottom);
    QCOMPARE((top - one + one).units(), INT64_MAX);
    QCOMPARE((bottom + top).units(), qint64(-1));
}

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
