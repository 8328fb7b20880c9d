#pragma once

#include "FieldType.h"

#include <QString>
#include <QVariant>
#include <functional>

namespace ostrel {

class DataSet;

// One column of a data set's current record. A null value is an invalid
// QVariant. Values typed as text go through setAsString, which applies the
// Italian number rules and the column's range.
class Field {
public:
    // Formats the value for display (displayText true) or for editing.
    using TextHook = std::function<QString(const Field&, bool displayText)>;

    Field(DataSet& owner, QString name, FieldType type, int size, bool calculated);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    const QString& name() const { return m_name; }
    FieldType type() const { return m_type; }
    int size() const { return m_size; }
    bool isCalculated() const { return m_calculated; }
    DataSet& dataSet() const { return m_owner; }

    bool isNull() const { return !value().isValid(); }
    QVariant value() const;
    // Checks the type and range; throws EConvertError.
    void setValue(const QVariant& value);
    void clear() { setValue(QVariant()); }

    // The plain text of the value (integers in decimal, reals with a decimal
    // comma, booleans as "True"/"False"); empty when null.
    QString asString() const;
    void setAsString(const QString& text);
    qint32 asInteger() const;
    double asFloat() const;
    bool asBoolean() const;

    QString displayText() const;
    QString editText() const;
    void setOnGetText(TextHook hook) { m_getText = std::move(hook); }
    // Shown in the locale's currency format, edited with its decimals.
    void setCurrency(bool currency) { m_currency = currency; }
    bool isCurrency() const { return m_currency; }

    // Column width of the value in fixed-width output.
    int displayWidth() const;
    void setDisplayWidth(int width) { m_displayWidth = width; }

    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // Runs after every change of the value.
    std::function<void(Field&)> onChange;

    // Checks a value against the field's type; returns it normalised.
    QVariant checked(const QVariant& value) const;

private:
    friend class DataSet;

    DataSet& m_owner;
    QString m_name;
    FieldType m_type;
    int m_size;
    bool m_calculated;
    bool m_currency = false;
    bool m_readOnly = false;
    int m_displayWidth = 0;
    int m_slot = -1; // index into the data set's columns or calculated values
    TextHook m_getText;
};

// The Italian regional currency format, "€ 1.234,50" / "-€ 1.234,50".
QString formatCurrency(double value);

} // namespace ostrel
