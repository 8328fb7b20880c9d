#pragma once

#include <QString>

namespace ostrel {

// What an export run shows besides its message boxes. The export window
// implements it with the hourglass cursor, a progress dialog and the
// parameters window; the defaults do nothing, for headless runs.
class ExportFeedback {
public:
    virtual ~ExportFeedback() = default;

    // The hourglass cursor on (true) or back to the default (false).
    virtual void setBusy(bool /*busy*/) {}
    // `done` of `total` residues of one source table ("Entrate", "Uscite").
    virtual void progress(const QString& /*table*/, int /*done*/, int /*total*/) {}
    // The accounting session could not be opened: the parameters window,
    // shown modally; the run ends when it returns.
    virtual void showParameters() {}
};

} // namespace ostrel
