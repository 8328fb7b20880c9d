#include "Measure.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <cmath>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace ostrel::bench {

double peakMegabytes()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return NAN;
    return double(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // Linux counts ru_maxrss in kilobytes.
    return double(usage.ru_maxrss) / 1024.0;
#endif
}

ToolRun runTool(const QString& program, const QStringList& arguments, const QByteArray& input,
                const QStringList& environment, bool keepOutput)
{
    QProcess process;
    if (!keepOutput)
        process.setStandardOutputFile(QProcess::nullDevice());
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& setting : environment)
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        process.setProcessEnvironment(env);
    }
    ToolRun result;
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    result.seconds = double(timer.nsecsElapsed()) / 1e9;
    result.output = process.readAllStandardOutput();
    result.errors = process.readAllStandardError();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (process.error() == QProcess::FailedToStart)
        fprintf(stderr, "%s: cannot start\n", qPrintable(program));
    return result;
}

double toolPeakMegabytes(const QString& program, const QStringList& arguments, const QByteArray& input,
                         const QStringList& environment)
{
    const QString time = QStringLiteral("/usr/bin/time");
    if (!QFile::exists(time))
        return NAN;
    QTemporaryFile report;
    if (!report.open())
        return NAN;
    runTool(time, QStringList{"-f", "%M", "-o", report.fileName(), program} + arguments, input, environment, false);
    bool ok = false;
    // The last line: earlier ones carry the tool's exit status when it failed.
    const QList<QByteArray> lines = report.readAll().trimmed().split('\n');
    const double kilobytes = lines.last().trimmed().toDouble(&ok);
    return ok ? kilobytes / 1024.0 : NAN;
}

void printResult(const QString& operation, const QString& scale, double ours, double reference,
                 double peak, double referencePeak, const QString& target)
{
    auto figure = [](double value, int decimals) {
        return std::isnan(value) ? QString() : QString::number(value, 'f', decimals);
    };
    printf("RESULT\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", qPrintable(operation), qPrintable(scale),
           qPrintable(figure(ours, 6)), qPrintable(figure(reference, 6)), qPrintable(figure(peak, 1)),
           qPrintable(figure(referencePeak, 1)), qPrintable(target));
    fflush(stdout);
}

} // namespace ostrel::bench
