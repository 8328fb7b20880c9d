#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ostrel::bench {

// This process's peak resident memory so far, in MB.
double peakMegabytes();

// A reference tool run to its end: its wall time, what it wrote and its exit.
struct ToolRun {
    double seconds = 0;
    QByteArray output;
    QByteArray errors;
    int exitCode = 0;
};

// input is written to the tool's standard input, which is then closed;
// without keepOutput its standard output goes to the null device, unread.
ToolRun runTool(const QString& program, const QStringList& arguments, const QByteArray& input = {},
                const QStringList& environment = {}, bool keepOutput = true);
// The same run again under /usr/bin/time, for the tool's peak memory in MB;
// NaN where there is no such program. Timed runs stay unwrapped.
double toolPeakMegabytes(const QString& program, const QStringList& arguments,
                         const QByteArray& input = {}, const QStringList& environment = {});

// One line for bench/run besides what the bench prints for people:
//   RESULT<TAB>operation<TAB>scale<TAB>ours_s<TAB>ref_s<TAB>peak_MB<TAB>ref_peak_MB<TAB>target
// A NaN figure is written empty. target: conditions joined by ',', each
// ratio<=X, time<X (seconds) or peak<X (MB); empty when there is none.
void printResult(const QString& operation, const QString& scale, double ours, double reference,
                 double peak, double referencePeak, const QString& target);

} // namespace ostrel::bench
