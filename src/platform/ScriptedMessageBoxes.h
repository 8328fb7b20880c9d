#pragma once

#include "MessageBoxes.h"

#include <QList>
#include <QString>

namespace ostrel {

// Message boxes for tests and headless runs: records what was shown and
// answers questions from a queue (then from a default).
class ScriptedMessageBoxes : public MessageBoxes {
public:
    enum class Kind { Error, Information, Confirm, ConfirmWarning, Plain, StandardError };
    struct Shown {
        Kind kind;
        QString text;
    };

    void error(const QString& text) override { record(Kind::Error, text); }
    void information(const QString& text) override { record(Kind::Information, text); }
    bool confirm(const QString& text) override { return answer(Kind::Confirm, text); }
    bool confirmWarning(const QString& text) override
    {
        return answer(Kind::ConfirmWarning, text);
    }
    void plain(const QString& text) override { record(Kind::Plain, text); }
    void standardError(const QString& text) override { record(Kind::StandardError, text); }

    void queueAnswer(bool yes) { m_answers.append(yes); }
    void setDefaultAnswer(bool yes) { m_defaultAnswer = yes; }
    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    void record(Kind kind, const QString& text) { m_shown.append({kind, text}); }
    bool answer(Kind kind, const QString& text)
    {
        record(kind, text);
        return m_answers.isEmpty() ? m_defaultAnswer : m_answers.takeFirst();
    }

    QList<Shown> m_shown;
    QList<bool> m_answers;
    bool m_defaultAnswer = false;
};

inline QStringList ScriptedMessageBoxes::texts() const
{
    QStringList result;
    for (const Shown& s : m_shown)
        result.append(s.text);
    return result;
}

} // namespace ostrel
