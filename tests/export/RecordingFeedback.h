#pragma once

#include "export/ExportFeedback.h"

#include "platform/ScriptedMessageBoxes.h"

#include <QStringList>

namespace ostrel {

// Records the hourglass, the progress and the parameters window, each with
// the number of message boxes shown before it, so that tests can check the
// order of the two.
class RecordingFeedback : public ExportFeedback {
public:
    explicit RecordingFeedback(const ScriptedMessageBoxes& boxes) : m_boxes(boxes) {}

    void setBusy(bool busy) override { record(busy ? "busy" : "idle"); }
    void progress(const QString& table, int done, int total) override
    {
        progressSteps.append(QStringLiteral("%1 %2/%3").arg(table).arg(done).arg(total));
    }
    void showParameters() override { record("parameters"); }

    // "busy@1": the hourglass came on after one message box.
    QStringList events;
    QStringList progressSteps;

private:
    void record(const char* what)
    {
        events.append(QStringLiteral("%1@%2").arg(QLatin1String(what)).arg(m_boxes.shown().size()));
    }
    const ScriptedMessageBoxes& m_boxes;
};

} // namespace ostrel
