#include "Field.h"

#include "DataSet.h"
#include "Errors.h"
#include "ItalianNumbers.h"

#include <QLocale>
#include <cmath>

namespace ostrel {

namespace {

QString rangeText(FieldType type)
{
    return type == FieldType::Int2 ? QStringLiteral("da -32768 a 32767")
                                   : QStringLiteral("da -2147483648 a 2147483647");
}

bool inRange(FieldType type, qint64 v)
{
    if (type == FieldType::Int2)
        return v >= -32768 && v <= 32767;
    return v >= INT32_MIN && v <= INT32_MAX;
}

} // namespace

QString formatCurrency(double value)
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    const double rounded = std::round(std::abs(value) * 100.0) / 100.0;
    const QString digits = italian.toString(rounded, 'f', 2);
    return (value < 0 && rounded != 0.0 ? QStringLiteral("-€ ") : QStringLiteral("€ ")) + digits;
}

Field::Field(DataSet& owner, QString name, FieldType type, int size, bool calculated)
    : m_owner(owner), m_name(std::move(name)), m_type(type), m_size(size),
      m_calculated(calculated)
{
}

QVariant Field::value() const
{
    return m_owner.fieldValue(*this);
}

QVariant Field::checked(const QVariant& value) const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (m_type) {
    case FieldType::Int2:
    case FieldType::Int4: {
        bool ok = false;
        const qint64 v = value.toLongLong(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' non è un valore intero valido per il campo '%2'")
                                    .arg(value.toString(), m_name));
        if (!inRange(m_type, v))
            throw EConvertError(
                QStringLiteral("Il valore %1 del campo '%2' è fuori dall'intervallo ammesso (%3)")
                    .arg(QString::number(v), m_name, rangeText(m_type)));
        return QVariant(qint32(v));
    }
    case FieldType::Real: {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            throw EConvertError(QStringLiteral("'%1' non è un numero valido per il campo '%2'")
                                    .arg(value.toString(), m_name));
        return QVariant(v);
    }
    case FieldType::Bool:
        return QVariant(value.toBool());
    case FieldType::Text: {
        QString text = value.toString();
        // A computed label is cut to its capacity; stored texts are never shortened.
        if (m_calculated && m_size > 0 && text.size() > m_size)
            text.truncate(m_size);
        return QVariant(text);
    }
    }
    return value;
}

void Field::setValue(const QVariant& value)
{
    m_owner.setFieldValue(*this, checked(value));
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid())
        return QString();
    switch (m_type) {
    case FieldType::Int2:
    case FieldType::Int4:
        return QString::number(v.toInt());
    case FieldType::Real:
        return ItalianNumbers::realToText(v.toDouble());
    case FieldType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Text:
        return v.toString();
    }
    return v.toString();
}

void Field::setAsString(const QString& text)
{
    if (m_type == FieldType::Text) {
        setValue(text);
        return;
    }
    if (text.isEmpty()) {
        setValue(QVariant());
        return;
    }
    switch (m_type) {
    case FieldType::Int2:
    case FieldType::Int4: {
        const auto v = ItalianNumbers::parseInteger(text);
        if (!v)
            throw EConvertError(QStringLiteral("'%1' non è un valore intero valido per il campo '%2'")
                                    .arg(text, m_name));
        if (!inRange(m_type, *v))
            throw EConvertError(
                QStringLiteral("Il valore %1 del campo '%2' è fuori dall'intervallo ammesso (%3)")
                    .arg(text, m_name, rangeText(m_type)));
        setValue(QVariant(qint32(*v)));
        return;
    }
    case FieldType::Real: {
        const auto v = ItalianNumbers::parseReal(text);
        if (!v)
            throw EConvertError(
                QStringLiteral("'%1' non è un numero valido per il campo '%2': si scrive con la "
                               "virgola per i decimali e senza separatore delle migliaia")
                    .arg(text, m_name));
        setValue(QVariant(*v));
        return;
    }
    case FieldType::Bool: {
        const QString t = text.trimmed().toLower();
        if (t == u"true" || t == u"1" || t == u"si" || t == u"sì" || t == u"-1")
            setValue(true);
        else if (t == u"false" || t == u"0" || t == u"no")
            setValue(false);
        else
            throw EConvertError(
                QStringLiteral("'%1' non è un valore Sì/No valido per il campo '%2'").arg(text, m_name));
        return;
    }
    case FieldType::Text:
        break;
    }
}

qint32 Field::asInteger() const
{
    const QVariant v = value();
    return v.isValid() ? qint32(v.toLongLong()) : 0;
}

double Field::asFloat() const
{
    const QVariant v = value();
    return v.isValid() ? v.toDouble() : 0.0;
}

bool Field::asBoolean() const
{
    const QVariant v = value();
    return v.isValid() && v.toBool();
}

QString Field::displayText() const
{
    if (m_getText)
        return m_getText(*this, true);
    if (m_currency && m_type == FieldType::Real)
        return isNull() ? QString() : formatCurrency(asFloat());
    return asString();
}

QString Field::editText() const
{
    if (m_getText)
        return m_getText(*this, false);
    if (m_currency && m_type == FieldType::Real) {
        if (isNull())
            return QString();
        QString text = QString::number(asFloat(), 'f', 2);
        return text.replace(u'.', u',');
    }
    return asString();
}

int Field::displayWidth() const
{
    if (m_displayWidth > 0)
        return m_displayWidth;
    switch (m_type) {
    case FieldType::Int2:
        return 6;
    case FieldType::Int4:
        return 11;
    case FieldType::Real:
        return 10;
    case FieldType::Bool:
        return 5;
    case FieldType::Text:
        return m_size > 0 ? m_size : 20;
    }
    return 10;
}

} // namespace ostrel
