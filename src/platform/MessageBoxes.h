#pragma once

#include <QString>
#include <exception>

namespace ostrel {

// The program's modal messages. The windows install the real boxes; the
// command-line tool prints them; tests answer them in advance.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // "Errore", one OK button.
    virtual void error(const QString& text) = 0;
    // "Informazione", one OK button.
    virtual void information(const QString& text) = 0;
    // "Conferma", question icon, "&Si" (default) and "&No"; true on "&Si".
    virtual bool confirm(const QString& text) = 0;
    // "Attenzione", warning icon, "&Si" (default) and "&No"; true on "&Si".
    virtual bool confirmWarning(const QString& text) = 0;
    // A message box with no icon and one OK button.
    virtual void plain(const QString& text) = 0;
    // The application's standard box for an error nobody handled.
    virtual void standardError(const QString& text) = 0;
};

MessageBoxes& messages();
// Installs the boxes the program uses from now on; nullptr restores the
// default, which writes every message to standard error and answers "&No".
void setMessages(MessageBoxes* boxes);

// Shows an unhandled error in the standard box; EAbort stays silent.
void reportException(const std::exception& e);

// Runs f and reports whatever it throws, so no exception ever unwinds
// through the toolkit's event loop.
template <typename F>
void guarded(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        reportException(e);
    } catch (...) {
        messages().standardError(QStringLiteral("Errore sconosciuto"));
    }
}

// A slot wrapper: connect(button, &QPushButton::clicked, guard([this] { ... })).
template <typename F>
auto guard(F f)
{
    return [f](auto&&...) { guarded(f); };
}

} // namespace ostrel
