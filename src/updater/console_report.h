#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

struct UpdateVersions;

// What tvc-update prints. On a terminal each image gets one progress line that
// rewrites itself; otherwise (a log, a pipe) a plain line per step and every
// 10 %. Errors go to standard error, one sentence each. The report knows
// nothing of the engine: its owner passes on what to say.
class ConsoleReport
{
public:
    ConsoleReport(std::FILE *out, std::FILE *err, bool terminal);

    // A line of its own.
    void step(const QString &text);
    void versions(const UpdateVersions &versions);
    void image_started(const QString &label, qint64 size);
    void progress(qint64 done, qint64 seconds_left);
    void image_done();
    void error(const QString &sentence);

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
    bool m_line_open = false;  // a progress line waits to be rewritten

    QString m_label;
    qint64 m_size = 0;
    int m_tenths = 0;          // the last tenth printed
    QElapsedTimer m_clock;     // since the image started
    QElapsedTimer m_drawn;     // since the line was last drawn
};
