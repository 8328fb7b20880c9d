#pragma once

#include "FuzzSupport.h"

#include "platform/LocalStore.h"

#include <QStringList>
#include <sqlite3.h>

namespace ostrel::fuzz {

// A statement cut into what lies outside its text literals, with every
// literal written '?', and the literals' values and source texts.
struct ScannedSql {
    QString skeleton;
    QStringList values;
    QStringList sources;
    bool unterminated = false;
};

inline ScannedSql scanSql(const QString& sql)
{
    ScannedSql s;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (sql[i] != u'\'') {
            s.skeleton += sql[i];
            continue;
        }
        QString value;
        qsizetype j = i + 1;
        for (;; ++j) {
            if (j >= n) {
                s.unterminated = true;
                break;
            }
            if (sql[j] == u'\'') {
                if (j + 1 < n && sql[j + 1] == u'\'') {
                    value += u'\'';
                    ++j;
                    continue;
                }
                break;
            }
            value += sql[j];
        }
        s.values.append(value);
        s.sources.append(sql.mid(i, j + 1 - i));
        s.skeleton += QStringLiteral("'?'");
        i = j;
    }
    return s;
}

// One statement the store accepts whole, nothing after it.
inline void checkPrepares(LocalStore& store, const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(store.handle(), text.constData(), int(text.size()), &statement, &tail);
    const QString error = QString::fromUtf8(sqlite3_errmsg(store.handle()));
    const QByteArray rest = rc == SQLITE_OK ? QByteArray(tail, text.constData() + text.size() - tail).trimmed()
                                            : QByteArray();
    sqlite3_finalize(statement);
    FUZZ_CHECK(rc == SQLITE_OK, show(sql) + u'\n' + error);
    FUZZ_CHECK(rest.isEmpty(), show(sql) + QStringLiteral("\nleft over: ") + QString::fromUtf8(rest));
}

// What the store reads from a literal's source text.
inline QString storeValue(LocalStore& store, const QString& source)
{
    const QByteArray text = (QStringLiteral("SELECT ") + source).toUtf8();
    sqlite3_stmt* statement = nullptr;
    QString value = QStringLiteral("<refused>");
    if (sqlite3_prepare_v2(store.handle(), text.constData(), int(text.size()), &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                                  sqlite3_column_bytes(statement, 0));
    sqlite3_finalize(statement);
    return value;
}

// `got` must be `model` with only its literals changed, each to `expected`,
// and the store must read each literal as that text.
inline void checkSameQuery(LocalStore& store, const QString& got, const QString& model,
                           const QStringList& expected)
{
    const ScannedSql g = scanSql(got);
    const ScannedSql m = scanSql(model);
    const QString detail = show(got) + QStringLiteral("\nexpected the shape of\n") + show(model);
    FUZZ_CHECK(!g.unterminated && !m.unterminated, detail);
    FUZZ_CHECK(g.skeleton == m.skeleton, detail);
    FUZZ_CHECK(g.values == expected, detail + QStringLiteral("\nliterals: ") + show(g.values.join(u'|'))
                                         + QStringLiteral(" instead of ") + show(expected.join(u'|')));
    for (qsizetype i = 0; i < g.sources.size(); ++i) {
        const QString read = storeValue(store, g.sources[i]);
        FUZZ_CHECK(read == expected[i], detail + QStringLiteral("\nthe store reads ") + show(read)
                                            + QStringLiteral(" instead of ") + show(expected[i]));
    }
    checkPrepares(store, got);
}

} // namespace ostrel::fuzz
