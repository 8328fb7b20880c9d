#include "TestStore.h"

#include "app/DataModule.h"
#include "app/SettingsFile.h"
#include "app/StoreSchema.h"
#include "platform/AnsiCodec.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace ostrel {

TestStore::TestStore()
{
    m_oldCurrent = QDir::currentPath();
    m_oldWorkDir = qgetenv("OSTREL_WORKDIR");
    qputenv("OSTREL_WORKDIR", m_dir.path().toUtf8());
    QDir::setCurrent(m_dir.path());
    StoreSchema::createStore(storePath());
    SettingsFile::write(iniPath(), storePath(), QStringLiteral("LOCALHOST:1521"),
                        QStringLiteral("KESTRA481307"));
    setMessages(&m_boxes);
}

TestStore::~TestStore()
{
    m_tables.reset();
    setMessages(nullptr);
    QDir::setCurrent(m_oldCurrent);
    qputenv("OSTREL_WORKDIR", m_oldWorkDir);
}

void TestStore::writeFile(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path(name)));
}

void TestStore::writeLines(const QString& name, const QStringList& lines) const
{
    Ansi::writeLines(path(name), lines);
}

TdTabelle& TestStore::tables()
{
    if (!m_tables) {
        m_tables = std::make_unique<TdTabelle>(QStringLiteral("Ostrel.ini"));
        m_tables->DataModuleCreate();
    }
    return *m_tables;
}

void TestStore::restart()
{
    m_tables.reset();
    tables();
}

QVariant TestStore::scalar(const QString& sql) const
{
    const QString name = QUuid::createUuid().toString();
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(storePath());
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                value = query.value(0);
            else
                value = QStringLiteral("error");
        }
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

} // namespace ostrel
