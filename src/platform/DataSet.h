#pragma once

#include "Field.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace ostrel {

class DataSource;
class LocalStore;

// A query or table over the local store with a static cursor: the rows are
// read when it opens and scrolled in memory. Edits, inserts and deletes are
// written through to the one table the query reads, by its key (`Id`).
class DataSet {
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Event = std::function<void(DataSet&)>;

    DataSet(QString name, LocalStore* store);
    ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    const QString& name() const { return m_name; }
    LocalStore* store() const { return m_store; }

    // The query text, a list of lines joined by line breaks. Changing it
    // closes the data set.
    const QStringList& sql() const { return m_sql; }
    void setSql(const QStringList& lines);
    void setSqlLine(qsizetype index, const QString& line);
    void clearSql() { setSql({}); }
    void addSqlLine(const QString& line);
    QString sqlText() const { return m_sql.join(u'\n'); }

    // Fields declared before the first open are kept, in their order; without
    // declared data fields, they come from the result's columns at each open.
    Field& addField(const QString& name, FieldType type, int size = 0);
    Field& addCalculatedField(const QString& name, FieldType type, int size = 0);
    Field* findField(const QString& name) const;
    Field& fieldByName(const QString& name) const; // throws EDatabaseError
    const std::vector<std::unique_ptr<Field>>& fields() const { return m_fields; }

    // The table written through; taken from the first FROM of the text unless set.
    void setUpdateTable(const QString& table) { m_updateTable = table; }
    QString updateTable() const;
    void setKeyField(const QString& name) { m_keyField = name; }
    const QString& keyField() const { return m_keyField; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    void open();
    void close();
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    bool isModified() const;

    int recordCount() const { return int(m_rowCount); }
    bool isEmpty() const { return m_rowCount == 0; }
    int recNo() const { return m_current; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }

    void first();
    void prior();
    void next();
    void last();
    void moveTo(int row);
    bool locate(const QString& fieldName, const QVariant& value);

    void edit();
    void append();
    void post();
    void cancel();
    void deleteRecord();

    // Stored value of a data field in any row, without moving the cursor.
    QVariant valueAt(int row, const Field& field) const;

    Event beforeOpen;
    Event afterOpen;
    Event afterScroll;
    Event beforePost;
    Event afterPost;
    Event afterCancel;
    Event afterDelete;
    Event calcFields;

    // Used by fields and data sources.
    QVariant fieldValue(const Field& field) const;
    void setFieldValue(Field& field, const QVariant& value);
    void attach(DataSource* source);
    void detach(DataSource* source);

private:
    struct Column;

    Field& createField(const QString& name, FieldType type, int size, bool calculated);
    struct ResultColumn {
        QString name;
        FieldType type;
        bool operator==(const ResultColumn&) const = default;
    };
    void bindFields(const std::vector<ResultColumn>& result);
    void computeCalculatedFields();
    // After a refused edit: the row as the store holds it now, keeping what
    // was typed; false when the row is gone.
    bool rereadCurrentRow(const QString& table, const Field& key);
    void writeThrough();
    void checkBrowseMode();
    void checkActive() const;
    void scrolled(int row);

    enum class Notice { Active, DataSet, Record, State, UpdateData };
    void notify(Notice notice, Field* field = nullptr);

    QString m_name;
    LocalStore* m_store;
    QStringList m_sql;
    QString m_updateTable;
    mutable QString m_sqlTable; // the table after the text's first FROM
    mutable bool m_sqlTableKnown = false;
    std::vector<ResultColumn> m_lastResult;
    std::vector<int> m_resultColumns; // result column of each data field
    QString m_keyField = QStringLiteral("Id");
    bool m_readOnly = false;

    std::vector<std::unique_ptr<Field>> m_fields;
    QHash<QString, Field*> m_fieldsByName; // lower-case names
    bool m_declaredDataFields = false;
    int m_dataFieldCount = 0;
    int m_calcFieldCount = 0;

    std::vector<Column> m_columns;
    size_t m_rowCount = 0;
    std::vector<QVariant> m_buffer;
    std::vector<char> m_modified;
    std::vector<QVariant> m_calc;
    bool m_inCalc = false;

    State m_state = State::Inactive;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;

    std::vector<DataSource*> m_sources;
    std::vector<char> m_writable;          // data field is a column of the table
    QHash<QByteArray, QString> m_writeSql; // statement per set of changed fields
};

} // namespace ostrel
