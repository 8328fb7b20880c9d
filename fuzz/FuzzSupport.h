#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>

namespace ostrel::fuzz {

// A broken property aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] inline void fail(const char* property, const QString& detail)
{
    std::fprintf(stderr, "==ostrel-fuzz== property broken: %s\n%s\n", property,
                 detail.toUtf8().constData());
    std::abort();
}

// The store driver and the file names need the core application.
inline void startQt()
{
    static int argc = 1;
    static char name[] = "ostrel-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

inline QString show(const QString& text)
{
    QString out;
    for (const QChar c : text)
        out += c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\'
            ? QString(c)
            : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    return u'"' + out + u'"';
}

} // namespace ostrel::fuzz

#define FUZZ_CHECK(condition, detail)                                                             \
    do {                                                                                          \
        if (!(condition))                                                                         \
            ::ostrel::fuzz::fail(#condition, (detail));                                           \
    } while (0)
