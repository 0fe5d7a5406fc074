#pragma once

#include "run_report.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// What tvc-update prints. On a terminal each image gets one progress line that
// rewrites itself; otherwise (a log, a pipe) a plain line per step and every
// 10 %. Errors go to standard error, one sentence each. The report knows
// nothing of the engine: its owner passes on what to say. Every line may be
// headed by a prefix (the port, where several devices are updated).
class ConsoleReport : public RunReport
{
public:
    ConsoleReport(std::FILE *out, std::FILE *err, bool terminal, const QString &prefix = QString());

    void step(const QString &text) override;
    void module(const QString &text) override;
    void versions(const UpdateVersions &versions) override;
    void image_started(const QString &label, qint64 size) override;
    void progress(qint64 done, qint64 seconds_left) override;
    void image_done() override;
    void error(const QString &sentence) override;

    // Text from the device or a package, made safe to print: control
    // characters would steer the terminal.
    static QString printable(const QString &text);

private:
    void draw(qint64 done, qint64 seconds_left);
    void end_line();
    void write(std::FILE *stream, const QString &text);

    std::FILE *m_out;
    std::FILE *m_err;
    bool m_terminal;
    QString m_prefix;
    bool m_line_open = false;  // a progress line waits to be rewritten

    QString m_label;
    qint64 m_size = 0;
    int m_tenths = 0;          // the last tenth printed
    QElapsedTimer m_clock;     // since the image started
    QElapsedTimer m_drawn;     // since the line was last drawn
};
