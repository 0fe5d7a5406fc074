#include "bench_support.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

qint64 now_ns()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 cpu_ns()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ns = [](const timeval &t) { return qint64(t.tv_sec) * 1000000000 + qint64(t.tv_usec) * 1000; };
    return ns(usage.ru_utime) + ns(usage.ru_stime);
}

long peak_rss_kb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long rss_kb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return -1;
    return fields.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

bool wait_until(const std::function<bool()> &condition, int timeout_ms)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(timeout_ms, &loop, [&] { loop.exit(1); });
    return condition() || loop.exec() == 0;
}

void sample_process(qint64 pid, double *cpu_seconds, double *peak_mb)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        // Fields after the command name, which is in parentheses.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            *cpu_seconds = double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                *peak_mb = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
}

QString start_simulator(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return QString();
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000))
            return QString();
    }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

void print(const char *name, double value, const char *unit)
{
    std::printf("  %-34s %12.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

void print(const char *name, const QString &value)
{
    std::printf("  %-34s %s\n", name, qPrintable(value));
    std::fflush(stdout);
}

} // namespace bench
