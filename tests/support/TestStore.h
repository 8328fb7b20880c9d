#pragma once

#include "platform/ScriptedMessageBoxes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace ostrel {

class TdTabelle;

// A throwaway work folder with a new store, a settings file naming it and
// scripted message boxes; the current directory moves into the folder.
class TestStore {
public:
    TestStore();
    ~TestStore();

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString storePath() const { return path(QStringLiteral("dbOstrel.db")); }
    QString iniPath() const { return path(QStringLiteral("Ostrel.ini")); }
    void writeFile(const QString& name, const QByteArray& bytes) const;
    // Lines in Windows-1252 with CR LF.
    void writeLines(const QString& name, const QStringList& lines) const;

    // A data module started on this folder (DataModuleCreate already run).
    TdTabelle& tables();
    void restart();
    ScriptedMessageBoxes& boxes() { return m_boxes; }

    // A value read straight from the store file.
    QVariant scalar(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_oldCurrent;
    QByteArray m_oldWorkDir;
    ScriptedMessageBoxes m_boxes;
    std::unique_ptr<TdTabelle> m_tables;
};

} // namespace ostrel
