#pragma once

#include <QString>
#include <exception>
#include <string>

namespace ostrel {

// Every error the program raises carries a class name, because the export's
// failure message quotes it ("Si è verificato un errore <classe>: <testo>").
class Error : public std::exception {
public:
    Error(QString className, QString message);
    const QString& className() const { return m_className; }
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    QString m_className;
    QString m_message;
    std::string m_what;
};

class EDatabaseError : public Error {
public:
    explicit EDatabaseError(const QString& message) : Error("EDatabaseError", message) {}
};

class EConvertError : public Error {
public:
    explicit EConvertError(const QString& message) : Error("EConvertError", message) {}
};

class EInOutError : public Error {
public:
    explicit EInOutError(const QString& message) : Error("EInOutError", message) {}
};

// An operation that has already told the user why it stops raises this;
// whoever catches it stays silent.
class EAbort : public Error {
public:
    EAbort() : Error("EAbort", QString()) {}
};

// Class name and text of any exception, for messages that quote both.
QString errorClassName(const std::exception& e);
QString errorText(const std::exception& e);

} // namespace ostrel
