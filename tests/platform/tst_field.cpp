#include "TestStore.h"

#include "app/DataModule.h"
#include "platform/DataSet.h"
#include "platform/Errors.h"
#include "platform/Field.h"
#include "platform/ItalianNumbers.h"

#include <QTest>
#include <map>

using namespace ostrel;

Q_DECLARE_METATYPE(ostrel::FieldType)

class TestField : public QObject {
    Q_OBJECT
private slots:
    void setAsString_data();
    void setAsString();
    void asString_data();
    void asString();
    void currencyTexts_data();
    void currencyTexts();
    void calculatedTextIsCut();
};

void TestField::setAsString_data()
{
    QTest::addColumn<FieldType>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value"); // invalid: null
    QTest::addColumn<QString>("error");  // part of the conversion error, or empty

    QTest::newRow("int2 empty is null") << FieldType::Int2 << "" << QVariant() << "";
    QTest::newRow("int2 signed") << FieldType::Int2 << "-12" << QVariant(-12) << "";
    QTest::newRow("int2 plus sign") << FieldType::Int2 << "+7" << QVariant(7) << "";
    QTest::newRow("int2 upper bound") << FieldType::Int2 << "32767" << QVariant(32767) << "";
    QTest::newRow("int2 over range") << FieldType::Int2 << "32768" << QVariant()
                                     << "fuori dall'intervallo ammesso (da -32768 a 32767)";
    QTest::newRow("int2 under range") << FieldType::Int2 << "-32769" << QVariant() << "fuori";
    QTest::newRow("int2 letters") << FieldType::Int2 << "12a" << QVariant()
                                  << "'12a' non è un valore intero valido per il campo 'campo'";
    QTest::newRow("int2 decimal") << FieldType::Int2 << "1,5" << QVariant() << "non è un valore intero";
    QTest::newRow("int2 blank inside") << FieldType::Int2 << "1 2" << QVariant() << "non è un valore intero";
    QTest::newRow("int4 large") << FieldType::Int4 << "2147483647" << QVariant(2147483647) << "";
    QTest::newRow("int4 over range") << FieldType::Int4 << "2147483648" << QVariant()
                                     << "da -2147483648 a 2147483647";
    QTest::newRow("int4 huge") << FieldType::Int4 << "99999999999999999999999" << QVariant()
                               << "non è un valore intero";
    QTest::newRow("real decimal comma") << FieldType::Real << "1234,56" << QVariant(1234.56) << "";
    QTest::newRow("real integer") << FieldType::Real << "-12" << QVariant(-12.0) << "";
    QTest::newRow("real leading comma") << FieldType::Real << ",5" << QVariant(0.5) << "";
    QTest::newRow("real exponent") << FieldType::Real << "1,5E3" << QVariant(1500.0) << "";
    QTest::newRow("real empty is null") << FieldType::Real << "" << QVariant() << "";
    QTest::newRow("real decimal point") << FieldType::Real << "12.50" << QVariant()
                                        << "'12.50' non è un numero valido per il campo 'campo'";
    QTest::newRow("real thousands point") << FieldType::Real << "1.234,50" << QVariant() << "non è un numero";
    QTest::newRow("real euro sign") << FieldType::Real << "€ 12" << QVariant() << "non è un numero";
    QTest::newRow("real only comma") << FieldType::Real << "," << QVariant() << "non è un numero";
    QTest::newRow("real infinity") << FieldType::Real << "1E999" << QVariant() << "non è un numero";
    QTest::newRow("text kept as it is") << FieldType::Text << " a'b " << QVariant(" a'b ") << "";
    QTest::newRow("text empty stays empty") << FieldType::Text << "" << QVariant("") << "";
}

void TestField::setAsString()
{
    QFETCH(FieldType, type);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    QFETCH(QString, error);
    const std::map<FieldType, QString> columnOf = {{FieldType::Int2, "Sub"},
                                                   {FieldType::Int4, "Cap"},
                                                   {FieldType::Real, "Importo"},
                                                   {FieldType::Text, "Descrizione"}};
    TestStore store;
    DataSet& t = store.tables().tEntrate;
    t.append();
    Field& f = t.fieldByName(columnOf.at(type));
    QCOMPARE(f.type(), type);
    try {
        f.setAsString(text);
        QVERIFY2(error.isEmpty(), "a conversion error was expected");
        QCOMPARE(f.value(), value);
    } catch (const EConvertError& e) {
        QVERIFY2(!error.isEmpty(), qPrintable(e.message()));
        error.replace("'campo'", "'" + f.name() + "'");
        QVERIFY2(e.message().contains(error), qPrintable(e.message()));
        QVERIFY2(e.message().contains(f.name()), qPrintable(e.message()));
    }
}

void TestField::asString_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("decimal comma") << 1234.5 << "1234,5";
    QTest::newRow("integer value") << 1000.0 << "1000";
    QTest::newRow("negative") << -0.004 << "-0,004";
    QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0,3";
}

void TestField::asString()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(ItalianNumbers::realToText(value), text);
}

void TestField::currencyTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("display");
    QTest::newRow("thousands") << 1234.5 << "€ 1.234,50";
    QTest::newRow("zero") << 0.0 << "€ 0,00";
    QTest::newRow("negative") << -12.0 << "-€ 12,00";
    QTest::newRow("negative rounding to zero") << -0.004 << "€ 0,00";
}

void TestField::currencyTexts()
{
    QFETCH(double, value);
    QFETCH(QString, display);
    QCOMPARE(formatCurrency(value), display);
}

void TestField::calculatedTextIsCut()
{
    TestStore store;
    DataSet q(QStringLiteral("q"), &store.tables().cnOstrel);
    q.setSql({QStringLiteral("SELECT 1 AS Id")});
    Field& label = q.addCalculatedField(QStringLiteral("clCapitolo"), FieldType::Text, 10);
    q.calcFields = [&](DataSet&) { label.setValue(QStringLiteral("123456 / 12")); };
    q.open();
    QCOMPARE(label.asString(), QStringLiteral("123456 / 1"));
}

QTEST_GUILESS_MAIN(TestField)
#include "tst_field.moc"
