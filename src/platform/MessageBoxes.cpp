#include "MessageBoxes.h"

#include "Errors.h"

#include <QTextStream>

namespace ostrel {

namespace {

class StderrBoxes : public MessageBoxes {
public:
    void error(const QString& text) override { print(text); }
    void information(const QString& text) override { print(text); }
    bool confirm(const QString& text) override
    {
        print(text);
        return false;
    }
    bool confirmWarning(const QString& text) override
    {
        print(text);
        return false;
    }
    void plain(const QString& text) override { print(text); }
    void standardError(const QString& text) override { print(text); }

private:
    static void print(const QString& text)
    {
        QTextStream err(stderr);
        err << text << Qt::endl;
    }
};

StderrBoxes g_stderrBoxes;
MessageBoxes* g_boxes = &g_stderrBoxes;

} // namespace

MessageBoxes& messages()
{
    return *g_boxes;
}

void setMessages(MessageBoxes* boxes)
{
    g_boxes = boxes ? boxes : &g_stderrBoxes;
}

void reportException(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e))
        return;
    messages().standardError(errorText(e));
}

} // namespace ostrel
