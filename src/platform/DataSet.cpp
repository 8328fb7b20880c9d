#include "DataSet.h"

#include "DataSource.h"
#include "Errors.h"
#include "LocalStore.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <memory>
#include <optional>
#include <sqlite3.h>

namespace ostrel {

// Rows are kept column by column in typed vectors: a hundred thousand
// residues take a few tens of megabytes instead of a variant per cell. The
// texts of a column go into a few large blocks: a string each would cost an
// allocation per cell, and one growing buffer its copies; either took most
// of the time of an opening.
struct DataSet::Column {
    static constexpr qsizetype kBlockChars = 1 << 16;

    FieldType type;
    std::vector<qint32> ints;
    std::vector<double> reals;
    std::vector<std::unique_ptr<char16_t[]>> blocks;
    qsizetype blockUsed = 0;
    qsizetype blockSize = 0;
    std::vector<qint32> blockOf;
    std::vector<qint32> offsets;
    std::vector<qint32> lengths;
    std::vector<char> nulls;

    explicit Column(FieldType t) : type(t) {}

    void reserve(size_t n)
    {
        nulls.reserve(n);
        switch (type) {
        case FieldType::Real:
            reals.reserve(n);
            break;
        case FieldType::Text:
            blockOf.reserve(n);
            offsets.reserve(n);
            lengths.reserve(n);
            break;
        default:
            ints.reserve(n);
        }
    }

    // Room for a text of that length; its first unit.
    char16_t* place(qsizetype length)
    {
        if (blocks.empty() || blockUsed + length > blockSize) {
            // Doubling up to the full size keeps the columns of short queries small.
            blockSize = std::max(std::min(kBlockChars, std::max<qsizetype>(256, 2 * blockSize)), length);
            blocks.emplace_back(new char16_t[size_t(blockSize)]);
            blockUsed = 0;
        }
        blockOf.push_back(qint32(blocks.size() - 1));
        offsets.push_back(qint32(blockUsed));
        lengths.push_back(qint32(length));
        char16_t* at = blocks.back().get() + blockUsed;
        blockUsed += length;
        return at;
    }

    void appendText(const QChar* text, qsizetype length)
    {
        std::copy_n(reinterpret_cast<const char16_t*>(text), length, place(length));
    }

    // A text cell straight from SQLite's UTF-8, widened in place when plain ASCII.
    void appendUtf8(const char* text, int bytes)
    {
        int i = 0;
        while (i < bytes && static_cast<unsigned char>(text[i]) < 0x80)
            ++i;
        if (i < bytes) {
            const QString decoded = QString::fromUtf8(text, bytes);
            appendText(decoded.constData(), decoded.size());
            return;
        }
        std::copy_n(text, bytes, place(bytes));
    }

    QString text(size_t row) const
    {
        return QString(reinterpret_cast<const QChar*>(blocks[size_t(blockOf[row])].get() + offsets[row]),
                       lengths[row]);
    }

    void append(const QVariant& v)
    {
        const bool isNull = !v.isValid() || v.isNull();
        nulls.push_back(isNull);
        switch (type) {
        case FieldType::Real:
            reals.push_back(isNull ? 0.0 : v.toDouble());
            break;
        case FieldType::Text: {
            const QString t = isNull ? QString() : v.toString();
            appendText(t.constData(), t.size());
            break;
        }
        case FieldType::Bool:
            ints.push_back(isNull ? 0 : (v.toInt() != 0 || v.toString() == u"true"));
            break;
        default:
            ints.push_back(isNull ? 0 : qint32(v.toLongLong()));
        }
    }

    QVariant get(size_t row) const
    {
        if (nulls[row])
            return QVariant();
        switch (type) {
        case FieldType::Real:
            return QVariant(reals[row]);
        case FieldType::Text:
            return QVariant(text(row));
        case FieldType::Bool:
            return QVariant(ints[row] != 0);
        default:
            return QVariant(ints[row]);
        }
    }

    void set(size_t row, const QVariant& v)
    {
        const bool isNull = !v.isValid() || v.isNull();
        nulls[row] = isNull;
        switch (type) {
        case FieldType::Real:
            reals[row] = isNull ? 0.0 : v.toDouble();
            break;
        case FieldType::Text: {
            // The old text stays in its block until the next opening.
            const QString t = isNull ? QString() : v.toString();
            appendText(t.constData(), t.size());
            for (auto* cells : {&blockOf, &offsets, &lengths}) {
                (*cells)[row] = cells->back();
                cells->pop_back();
            }
            break;
        }
        case FieldType::Bool:
            ints[row] = isNull ? 0 : v.toBool();
            break;
        default:
            ints[row] = isNull ? 0 : qint32(v.toLongLong());
        }
    }

    void erase(size_t row)
    {
        nulls.erase(nulls.begin() + row);
        switch (type) {
        case FieldType::Real:
            reals.erase(reals.begin() + row);
            break;
        case FieldType::Text:
            for (auto* cells : {&blockOf, &offsets, &lengths})
                cells->erase(cells->begin() + qsizetype(row));
            break;
        default:
            ints.erase(ints.begin() + row);
        }
    }
};

namespace {

// A result column without a declared type (an expression) takes the type of
// its first value.
FieldType typeOfValue(sqlite3_stmt* statement, int column, bool haveRow)
{
    if (!haveRow)
        return FieldType::Text;
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return FieldType::Int4;
    case SQLITE_FLOAT:
        return FieldType::Real;
    default:
        return FieldType::Text;
    }
}

QVariant bindable(const Field& field, const QVariant& v)
{
    if (!v.isValid()) {
        switch (field.type()) {
        case FieldType::Real:
            return QVariant(QMetaType::fromType<double>());
        case FieldType::Text:
            return QVariant(QMetaType::fromType<QString>());
        default:
            return QVariant(QMetaType::fromType<int>());
        }
    }
    if (field.type() == FieldType::Bool)
        return QVariant(v.toBool() ? 1 : 0);
    return v;
}

QString quoted(const QString& identifier)
{
    return u'"' + identifier + u'"';
}

} // namespace

DataSet::DataSet(QString name, LocalStore* store) : m_name(std::move(name)), m_store(store) {}

DataSet::~DataSet()
{
    for (DataSource* source : std::vector<DataSource*>(m_sources))
        source->setDataSet(nullptr);
}

void DataSet::setSql(const QStringList& lines)
{
    if (lines == m_sql)
        return;
    close();
    m_sql = lines;
    m_sqlTableKnown = false;
}

void DataSet::setSqlLine(qsizetype index, const QString& line)
{
    if (index < 0 || index >= m_sql.size())
        throw EDatabaseError(QStringLiteral("La riga %1 del testo della query %2 non esiste")
                                 .arg(index)
                                 .arg(m_name));
    if (m_sql[index] == line)
        return;
    close();
    m_sql[index] = line;
    m_sqlTableKnown = false;
}

void DataSet::addSqlLine(const QString& line)
{
    close();
    m_sql.append(line);
    m_sqlTableKnown = false;
}

Field& DataSet::createField(const QString& name, FieldType type, int size, bool calculated)
{
    auto field = std::make_unique<Field>(*this, name, type, size, calculated);
    Field& ref = *field;
    m_fieldsByName.insert(name.toLower(), &ref);
    m_fields.push_back(std::move(field));
    return ref;
}

Field& DataSet::addField(const QString& name, FieldType type, int size)
{
    if (isActive())
        throw EDatabaseError(QStringLiteral("Impossibile aggiungere il campo %1 alla query %2 aperta")
                                 .arg(name, m_name));
    m_declaredDataFields = true;
    return createField(name, type, size, false);
}

Field& DataSet::addCalculatedField(const QString& name, FieldType type, int size)
{
    if (isActive())
        throw EDatabaseError(QStringLiteral("Impossibile aggiungere il campo %1 alla query %2 aperta")
                                 .arg(name, m_name));
    return createField(name, type, size, true);
}

Field* DataSet::findField(const QString& name) const
{
    return m_fieldsByName.value(name.toLower(), nullptr);
}

Field& DataSet::fieldByName(const QString& name) const
{
    if (Field* field = findField(name))
        return *field;
    throw EDatabaseError(QStringLiteral("%1: campo '%2' non trovato").arg(m_name, name));
}

QString DataSet::updateTable() const
{
    if (!m_updateTable.isEmpty())
        return m_updateTable;
    if (m_sqlTableKnown)
        return m_sqlTable;
    static const QRegularExpression from(QStringLiteral("\\bFROM\\s+\"?(\\w+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = from.match(sqlText());
    m_sqlTable = match.hasMatch() ? match.captured(1) : QString();
    m_sqlTableKnown = true;
    return m_sqlTable;
}

bool DataSet::isModified() const
{
    return isEditing() && std::any_of(m_modified.begin(), m_modified.end(), [](char c) { return c; });
}

void DataSet::checkActive() const
{
    if (!isActive())
        throw EDatabaseError(QStringLiteral("%1: operazione non ammessa su una query chiusa").arg(m_name));
}

void DataSet::bindFields(const std::vector<ResultColumn>& result)
{
    // Reopened on a result of the same shape (the id query runs once per
    // imported row): the fields stay as they are.
    if (!m_declaredDataFields && result == m_lastResult && !m_fields.empty()) {
        m_columns.clear();
        for (auto& f : m_fields)
            if (!f->isCalculated())
                m_columns.emplace_back(f->type());
        return;
    }
    m_lastResult = result;
    if (!m_declaredDataFields) {
        // Rebuild the data fields from the result, keeping those whose name
        // and type did not change so that handlers bound to them survive.
        QList<ColumnDef> tableColumns;
        const QString table = updateTable();
        if (!table.isEmpty() && m_store)
            tableColumns = m_store->tableColumns(table);
        std::vector<std::unique_ptr<Field>> oldData;
        std::vector<std::unique_ptr<Field>> calculated;
        for (auto& f : m_fields)
            (f->isCalculated() ? calculated : oldData).push_back(std::move(f));
        m_fields.clear();
        m_fieldsByName.clear();
        for (const ResultColumn& column : result) {
            const QString& name = column.name;
            FieldType type = column.type;
            int size = 0;
            for (const ColumnDef& def : tableColumns) {
                if (def.name.compare(name, Qt::CaseInsensitive) == 0) {
                    type = def.type;
                    size = def.size;
                    break;
                }
            }
            auto reuse = std::find_if(oldData.begin(), oldData.end(), [&](const auto& f) {
                return f && f->name() == name && f->type() == type && f->size() == size;
            });
            if (reuse != oldData.end()) {
                m_fieldsByName.insert(name.toLower(), reuse->get());
                m_fields.push_back(std::move(*reuse));
            } else {
                createField(name, type, size, false);
            }
        }
        for (auto& f : calculated) {
            m_fieldsByName.insert(f->name().toLower(), f.get());
            m_fields.push_back(std::move(f));
        }
    }
    m_resultColumns.clear();
    m_columns.clear();
    m_writable.clear();
    m_writeSql.clear();
    int dataSlot = 0;
    int calcSlot = 0;
    for (auto& f : m_fields) {
        if (f->isCalculated()) {
            f->m_slot = calcSlot++;
            continue;
        }
        const auto found = std::find_if(result.begin(), result.end(), [&](const ResultColumn& c) {
            return c.name.compare(f->name(), Qt::CaseInsensitive) == 0;
        });
        const int column = found == result.end() ? -1 : int(found - result.begin());
        if (column < 0)
            throw EDatabaseError(QStringLiteral("%1: la colonna '%2' manca nel risultato della query")
                                     .arg(m_name, f->name()));
        m_resultColumns.push_back(column);
        m_columns.emplace_back(f->type());
        f->m_slot = dataSlot++;
    }
    m_dataFieldCount = dataSlot;
    m_calcFieldCount = calcSlot;
}

void DataSet::open()
{
    if (isActive())
        return;
    if (!m_store)
        throw EDatabaseError(QStringLiteral("%1: nessuna connessione").arg(m_name));
    if (beforeOpen)
        beforeOpen(*this);
    // Read straight through the connection's SQLite handle: the generic Qt
    // SQL result converts every cell through UTF-16 and a variant, several
    // times slower for a hundred thousand rows.
    sqlite3* db = m_store->handle();
    sqlite3_stmt* statement =
        m_store->prepared(sqlText(), QStringLiteral("Impossibile aprire la query %1").arg(m_name));
    // The statement stays prepared for the next opening; reset, it holds no lock.
    auto fail = [&](const QString& what) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_reset(statement);
        throw EDatabaseError(LocalStore::describeError(what.arg(m_name), error));
    };
    int step = sqlite3_step(statement);
    if (step != SQLITE_ROW && step != SQLITE_DONE)
        fail(QStringLiteral("Impossibile aprire la query %1"));
    std::vector<ResultColumn> result;
    for (int i = 0, n = sqlite3_column_count(statement); i < n; ++i) {
        const char* declared = sqlite3_column_decltype(statement, i);
        const QString name = QString::fromUtf8(sqlite3_column_name(statement, i));
        result.push_back({name, declared ? columnFromDeclaration(name, QString::fromUtf8(declared)).type
                                         : typeOfValue(statement, i, step == SQLITE_ROW)});
    }
    try {
        bindFields(result);
    } catch (...) {
        sqlite3_reset(statement);
        throw;
    }
    size_t rows = 0;
    while (step == SQLITE_ROW) {
        for (int i = 0; i < m_dataFieldCount; ++i) {
            Column& column = m_columns[i];
            const int c = m_resultColumns[i];
            const bool isNull = sqlite3_column_type(statement, c) == SQLITE_NULL;
            column.nulls.push_back(isNull);
            switch (column.type) {
            case FieldType::Real:
                column.reals.push_back(isNull ? 0.0 : sqlite3_column_double(statement, c));
                break;
            case FieldType::Text:
                column.appendUtf8(isNull ? nullptr : reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                  isNull ? 0 : sqlite3_column_bytes(statement, c));
                break;
            case FieldType::Bool:
                column.ints.push_back(isNull ? 0 : sqlite3_column_int64(statement, c) != 0);
                break;
            default:
                column.ints.push_back(isNull ? 0 : qint32(sqlite3_column_int64(statement, c)));
            }
        }
        ++rows;
        step = sqlite3_step(statement);
    }
    if (step != SQLITE_DONE) {
        m_columns.clear();
        fail(QStringLiteral("Errore nella lettura della query %1"));
    }
    sqlite3_reset(statement);
    m_rowCount = rows;
    m_calc.assign(m_calcFieldCount, QVariant());
    m_buffer.clear();
    m_modified.clear();
    m_state = State::Browse;
    m_current = rows ? 0 : -1;
    m_bof = true;
    m_eof = rows == 0;
    computeCalculatedFields();
    notify(Notice::Active);
    if (afterOpen)
        afterOpen(*this);
    if (rows && afterScroll)
        afterScroll(*this);
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_state = State::Inactive;
    m_columns.clear();
    m_rowCount = 0;
    m_buffer.clear();
    m_modified.clear();
    m_calc.assign(m_calcFieldCount, QVariant());
    m_current = -1;
    m_bof = m_eof = true;
    notify(Notice::Active);
}

QVariant DataSet::fieldValue(const Field& field) const
{
    if (field.m_slot < 0)
        return QVariant();
    if (field.isCalculated())
        return size_t(field.m_slot) < m_calc.size() ? m_calc[field.m_slot] : QVariant();
    if (isEditing())
        return m_buffer[field.m_slot];
    if (m_current < 0 || !isActive())
        return QVariant();
    return m_columns[field.m_slot].get(size_t(m_current));
}

QVariant DataSet::valueAt(int row, const Field& field) const
{
    if (field.isCalculated() || field.m_slot < 0 || row < 0 || size_t(row) >= m_rowCount)
        return QVariant();
    if (isEditing() && row == m_current)
        return m_buffer[field.m_slot];
    return m_columns[field.m_slot].get(size_t(row));
}

void DataSet::setFieldValue(Field& field, const QVariant& value)
{
    if (field.isCalculated()) {
        if (size_t(field.m_slot) < m_calc.size())
            m_calc[field.m_slot] = value;
        if (!m_inCalc)
            notify(Notice::Record, &field);
        return;
    }
    if (!isEditing())
        throw EDatabaseError(
            QStringLiteral("%1: il record non è in modifica, impossibile cambiare il campo %2")
                .arg(m_name, field.name()));
    if (field.isReadOnly())
        throw EDatabaseError(
            QStringLiteral("%1: il campo %2 è di sola lettura").arg(m_name, field.name()));
    m_buffer[field.m_slot] = value;
    m_modified[field.m_slot] = 1;
    computeCalculatedFields();
    notify(Notice::Record, &field);
    for (auto& f : m_fields)
        if (f->isCalculated())
            notify(Notice::Record, f.get());
    if (field.onChange)
        field.onChange(field);
}

void DataSet::computeCalculatedFields()
{
    if (m_calcFieldCount == 0)
        return;
    m_calc.assign(m_calcFieldCount, QVariant());
    if (!calcFields || (m_current < 0 && !isEditing()))
        return;
    m_inCalc = true;
    try {
        calcFields(*this);
    } catch (...) {
        m_inCalc = false;
        throw;
    }
    m_inCalc = false;
}

void DataSet::notify(Notice notice, Field* field)
{
    for (DataSource* source : std::vector<DataSource*>(m_sources)) {
        switch (notice) {
        case Notice::Active:
            source->activeChanged();
            break;
        case Notice::DataSet:
            source->dataSetChanged();
            break;
        case Notice::Record:
            source->recordChanged(field);
            break;
        case Notice::State:
            source->editingChanged();
            break;
        case Notice::UpdateData:
            source->updateData();
            break;
        }
    }
}

void DataSet::attach(DataSource* source)
{
    if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
        m_sources.push_back(source);
}

void DataSet::detach(DataSource* source)
{
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), source), m_sources.end());
}

void DataSet::checkBrowseMode()
{
    checkActive();
    if (!isEditing())
        return;
    if (isModified())
        post();
    else
        cancel();
}

void DataSet::scrolled(int row)
{
    m_current = row;
    computeCalculatedFields();
    notify(Notice::Record, nullptr);
    if (afterScroll)
        afterScroll(*this);
}

void DataSet::moveTo(int row)
{
    checkBrowseMode();
    if (m_rowCount == 0)
        return;
    row = std::clamp(row, 0, int(m_rowCount) - 1);
    m_bof = m_eof = false;
    if (row != m_current)
        scrolled(row);
}

void DataSet::first()
{
    moveTo(0);
    m_bof = true;
    notify(Notice::State);
}

void DataSet::last()
{
    moveTo(int(m_rowCount) - 1);
    m_eof = true;
    notify(Notice::State);
}

void DataSet::next()
{
    checkBrowseMode();
    if (m_current + 1 >= int(m_rowCount)) {
        m_eof = true;
    } else {
        m_bof = false;
        m_eof = false;
        scrolled(m_current + 1);
    }
    notify(Notice::State);
}

void DataSet::prior()
{
    checkBrowseMode();
    if (m_current <= 0) {
        m_bof = true;
    } else {
        m_bof = false;
        m_eof = false;
        scrolled(m_current - 1);
    }
    notify(Notice::State);
}

bool DataSet::locate(const QString& fieldName, const QVariant& value)
{
    checkBrowseMode();
    const Field& field = fieldByName(fieldName);
    if (field.isCalculated())
        return false;
    const QVariant wanted = value.isValid() ? field.checked(value) : QVariant();
    const Column& column = m_columns[field.m_slot];
    for (size_t row = 0; row < m_rowCount; ++row) {
        if (column.get(row) == wanted) {
            m_bof = m_eof = false;
            if (int(row) != m_current)
                scrolled(int(row));
            notify(Notice::State);
            return true;
        }
    }
    return false;
}

void DataSet::edit()
{
    checkActive();
    if (isEditing())
        return;
    if (m_readOnly)
        throw EDatabaseError(QStringLiteral("%1: la query è di sola lettura").arg(m_name));
    if (m_current < 0)
        throw EDatabaseError(QStringLiteral("%1: nessun record da modificare").arg(m_name));
    m_buffer.resize(m_dataFieldCount);
    for (int i = 0; i < m_dataFieldCount; ++i)
        m_buffer[i] = m_columns[i].get(size_t(m_current));
    m_modified.assign(m_dataFieldCount, 0);
    m_state = State::Edit;
    notify(Notice::State);
}

void DataSet::append()
{
    checkBrowseMode();
    if (m_readOnly)
        throw EDatabaseError(QStringLiteral("%1: la query è di sola lettura").arg(m_name));
    m_buffer.assign(m_dataFieldCount, QVariant());
    m_modified.assign(m_dataFieldCount, 0);
    m_state = State::Insert;
    computeCalculatedFields();
    notify(Notice::State);
    notify(Notice::Record, nullptr);
}

void DataSet::cancel()
{
    if (!isEditing())
        return;
    m_state = State::Browse;
    m_buffer.clear();
    m_modified.clear();
    computeCalculatedFields();
    notify(Notice::State);
    notify(Notice::Record, nullptr);
    if (afterCancel)
        afterCancel(*this);
}

void DataSet::post()
{
    if (!isEditing())
        return;
    notify(Notice::UpdateData);
    // A key that beforePost derives from the rows already there must be read
    // and used under one write lock, or another copy could take it between.
    std::optional<StoreTransaction> transaction;
    if (m_state == State::Insert && beforePost && !m_store->inTransaction())
        transaction.emplace(*m_store);
    if (beforePost)
        beforePost(*this);
    writeThrough();
    if (transaction)
        transaction->commit();
    if (m_state == State::Insert) {
        for (int i = 0; i < m_dataFieldCount; ++i)
            m_columns[i].append(m_buffer[i]);
        ++m_rowCount;
        m_current = int(m_rowCount) - 1;
    } else {
        for (int i = 0; i < m_dataFieldCount; ++i)
            if (m_modified[i])
                m_columns[i].set(size_t(m_current), m_buffer[i]);
    }
    m_bof = m_eof = false;
    m_state = State::Browse;
    m_buffer.clear();
    m_modified.clear();
    computeCalculatedFields();
    notify(Notice::State);
    notify(Notice::Record, nullptr);
    if (afterPost)
        afterPost(*this);
}

void DataSet::writeThrough()
{
    const QString table = updateTable();
    if (table.isEmpty())
        throw EDatabaseError(QStringLiteral("%1: la query non indica la tabella da aggiornare").arg(m_name));
    if (m_writable.empty()) {
        // Which fields are columns of the table: computed once per opening.
        const QList<ColumnDef> tableColumns = m_store->tableColumns(table);
        m_writable.assign(m_dataFieldCount, 0);
        for (auto& f : m_fields)
            if (!f->isCalculated())
                m_writable[f->m_slot] = std::any_of(
                    tableColumns.begin(), tableColumns.end(), [&](const ColumnDef& c) {
                        return c.name.compare(f->name(), Qt::CaseInsensitive) == 0;
                    });
    }
    QByteArray shape(1, m_state == State::Insert ? 'I' : 'U');
    QStringList names;
    QVariantList values;
    for (auto& f : m_fields) {
        if (f->isCalculated() || !m_modified[f->m_slot] || !m_writable[f->m_slot])
            continue;
        const QVariant& v = m_buffer[f->m_slot];
        if (f->type() == FieldType::Text && f->size() > 0 && v.isValid()
            && v.toString().size() > f->size())
            throw EDatabaseError(
                QStringLiteral("Il campo %1 accetta al massimo %2 caratteri: il testo indicato ne "
                               "ha %3")
                    .arg(f->name())
                    .arg(f->size())
                    .arg(v.toString().size()));
        shape.append(char(f->m_slot));
        names.append(f->name());
        values.append(bindable(*f, v));
    }
    Field* key = findField(m_keyField);
    // An edit overwrites a column only while it still holds what was read:
    // what another copy registered there meanwhile is not lost unseen. Other
    // columns are not written, so their changes stay anyway.
    QStringList unchanged;
    if (m_state == State::Edit) {
        if (names.isEmpty())
            return;
        if (!key)
            throw EDatabaseError(
                QStringLiteral("%1: manca il campo chiave %2").arg(m_name, m_keyField));
        values.append(m_columns[key->m_slot].get(size_t(m_current)));
        for (auto& f : m_fields) {
            if (f.get() == key || f->isCalculated() || !m_modified[f->m_slot]
                || !m_writable[f->m_slot])
                continue;
            unchanged.append(quoted(f->name()) + QStringLiteral(" IS ?"));
            values.append(bindable(*f, m_columns[f->m_slot].get(size_t(m_current))));
        }
    }
    QString& sql = m_writeSql[shape];
    if (sql.isEmpty()) {
        QStringList columns;
        for (const QString& n : names)
            columns.append(quoted(n));
        if (m_state == State::Insert && names.isEmpty())
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table));
        else if (m_state == State::Insert)
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(table), columns.join(u", "),
                           QStringList(names.size(), QStringLiteral("?")).join(u", "));
        else
            sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                      .arg(quoted(table), columns.join(QStringLiteral(" = ?, ")) + QStringLiteral(" = ?"),
                           (QStringList{quoted(m_keyField) + QStringLiteral(" = ?")} + unchanged)
                               .join(QStringLiteral(" AND ")));
    }
    qint64 insertedRowId = 0;
    const int changed = m_store->run(sql, values, &insertedRowId,
                                     QStringLiteral("L'archivio non ha accettato la registrazione"));
    if (m_state == State::Edit && changed == 0) {
        if (!rereadCurrentRow(table, *key))
            throw EDatabaseError(QStringLiteral(
                "Il record da registrare non è più nell'archivio: forse è stato eliminato da "
                "un'altra copia del programma."));
        throw EDatabaseError(QStringLiteral(
            "Un'altra copia del programma ha modificato questo record dopo che era stato letto: "
            "ora sono mostrati i suoi valori attuali, con quelli appena scritti. Controllarli e "
            "registrare di nuovo."));
    }
    if (m_state == State::Insert && key && !m_buffer[key->m_slot].isValid())
        m_buffer[key->m_slot] = QVariant(qint32(insertedRowId));
}

bool DataSet::rereadCurrentRow(const QString& table, const Field& key)
{
    QStringList columns;
    std::vector<Field*> read;
    for (auto& f : m_fields)
        if (!f->isCalculated() && m_writable[f->m_slot]) {
            columns.append(quoted(f->name()));
            read.push_back(f.get());
        }
    QSqlQuery query = m_store->exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                        .arg(columns.join(u", "), quoted(table), quoted(key.name())),
                                    {m_columns[key.m_slot].get(size_t(m_current))});
    if (!query.next())
        return false;
    for (size_t i = 0; i < read.size(); ++i) {
        const int slot = read[i]->m_slot;
        m_columns[slot].set(size_t(m_current), query.value(int(i)));
        // What was typed stays; the rest shows the row as it is now.
        if (!m_modified[slot])
            m_buffer[slot] = m_columns[slot].get(size_t(m_current));
    }
    computeCalculatedFields();
    notify(Notice::Record, nullptr);
    return true;
}

void DataSet::deleteRecord()
{
    checkActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    if (m_current < 0)
        throw EDatabaseError(QStringLiteral("%1: nessun record da eliminare").arg(m_name));
    if (m_readOnly)
        throw EDatabaseError(QStringLiteral("%1: la query è di sola lettura").arg(m_name));
    Field* key = findField(m_keyField);
    if (!key)
        throw EDatabaseError(QStringLiteral("%1: manca il campo chiave %2").arg(m_name, m_keyField));
    const QString sql =
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoted(updateTable()), quoted(m_keyField));
    m_store->run(sql, {m_columns[key->m_slot].get(size_t(m_current))}, nullptr,
                 QStringLiteral("L'archivio non ha accettato l'eliminazione"));
    for (Column& column : m_columns)
        column.erase(size_t(m_current));
    --m_rowCount;
    if (m_current >= int(m_rowCount))
        m_current = int(m_rowCount) - 1;
    m_bof = m_current <= 0;
    m_eof = m_rowCount == 0;
    computeCalculatedFields();
    notify(Notice::DataSet);
    notify(Notice::Record, nullptr);
    if (afterDelete)
        afterDelete(*this);
    if (m_current >= 0 && afterScroll)
        afterScroll(*this);
}

} // namespace ostrel
