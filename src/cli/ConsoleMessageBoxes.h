#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <QTextStream>

namespace ostrel {

// Messages of a headless run: printed on standard error; questions get the
// answer the command line gave. Counts the errors, for the exit status.
class ConsoleMessageBoxes : public MessageBoxes {
public:
    explicit ConsoleMessageBoxes(bool answer = false) : m_answer(answer) {}

    void error(const QString& text) override { failed(text); }
    void information(const QString& text) override { print(text); }
    bool confirm(const QString& text) override { return ask(text); }
    bool confirmWarning(const QString& text) override { return ask(text); }
    void plain(const QString& text) override { print(text); }
    void standardError(const QString& text) override { failed(text); }

    void setAnswer(bool yes) { m_answer = yes; }
    // Answers the next questions in turn, before the default answer.
    void queueAnswer(bool yes) { m_queued.append(yes); }
    int errorCount() const { return m_errors; }

private:
    void failed(const QString& text)
    {
        ++m_errors;
        print(text);
    }
    bool ask(const QString& text)
    {
        const bool answer = m_queued.isEmpty() ? m_answer : m_queued.takeFirst();
        print(text + (answer ? QStringLiteral(" -> Si") : QStringLiteral(" -> No")));
        return answer;
    }
    static void print(const QString& text)
    {
        QTextStream err(stderr);
        err << text << Qt::endl;
    }

    bool m_answer;
    QList<bool> m_queued;
    int m_errors = 0;
};

} // namespace ostrel
