#include "console_report.h"

#include "firmware_package.h"
#include "transfer_progress.h"
#include "update_engine.h"

#include <QCoreApplication>

namespace {
// A terminal line is redrawn at most this often.
constexpr qint64 REDRAW_MS = 100;
} // namespace

ConsoleReport::ConsoleReport(std::FILE *out, std::FILE *err, bool terminal, const QString &prefix)
    : m_out(out)
    , m_err(err)
    , m_terminal(terminal)
    , m_prefix(prefix)
{
}

QString ConsoleReport::printable(const QString &text)
{
    QString safe = text;
    for (QChar &c : safe) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return safe;
}

void ConsoleReport::write(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void ConsoleReport::end_line()
{
    if (m_line_open)
        write(m_out, QStringLiteral("\n"));
    m_line_open = false;
}

void ConsoleReport::step(const QString &text)
{
    end_line();
    write(m_out, m_prefix + text + QLatin1Char('\n'));
}

void ConsoleReport::module(const QString &text)
{
    if (!text.isEmpty())
        step(text);
}

void ConsoleReport::versions(const UpdateVersions &v)
{
    auto value = [](const QByteArray &stored) { return printable(manifest_text(stored).trimmed()); };
    step(QObject::tr("Device: %1, WLAN %2, DSP %3.%4").arg(
        v.device_type.isEmpty() ? QObject::tr("type unknown") : v.device_type, QString::number(v.device.wlan_version),
        QString::number(v.device.dsp_major), QString::number(v.device.dsp_minor)));
    step(QObject::tr("Package \"%1\": WLAN %2, DSP %3").arg(value(v.package_name), value(v.package_wlan),
                                                             value(v.package_dsp)));
}

void ConsoleReport::image_started(const QString &label, qint64 size)
{
    end_line();
    m_label = label;
    m_size = size;
    m_tenths = 0;
    m_clock.start();
    m_drawn.invalidate();
    if (m_terminal)
        draw(0, -1);
}

void ConsoleReport::progress(qint64 done, qint64 seconds_left)
{
    if (m_size <= 0)
        return;
    if (m_terminal) {
        if (!m_drawn.isValid() || m_drawn.elapsed() >= REDRAW_MS)
            draw(done, seconds_left);
        return;
    }
    const int tenths = int(done * 10 / m_size);
    if (tenths > m_tenths) {
        m_tenths = tenths;
        draw(done, seconds_left);
    }
}

void ConsoleReport::image_done()
{
    draw(m_size, 0);
    end_line();
}

void ConsoleReport::draw(qint64 done, qint64 seconds_left)
{
    const qint64 percent = m_size > 0 ? done * 100 / m_size : 100;
    const double seconds = double(m_clock.elapsed()) / 1000.0;
    QString text = QStringLiteral("%1 %2% (%3 of %4 bytes")
                       .arg(m_label, QString::number(percent), QString::number(done), QString::number(m_size));
    if (seconds > 0 && done > 0)
        text += QStringLiteral(", %1 kB/s").arg(double(done) / seconds / 1000.0, 0, 'f', 1);
    if (done >= m_size)
        text += QObject::tr(", %1 s").arg(seconds, 0, 'f', 1);
    else if (seconds_left >= 0)
        text += QStringLiteral(", ") + time_left_text(seconds_left);
    text += QLatin1Char(')');
    m_drawn.start();
    if (m_terminal) {
        // Back to the line's start, the new text, and the rest of the old one cleared.
        write(m_out, QStringLiteral("\r") + m_prefix + text + QStringLiteral("\033[K"));
        m_line_open = true;
    } else {
        write(m_out, m_prefix + text + QLatin1Char('\n'));
    }
}

void ConsoleReport::error(const QString &sentence)
{
    end_line();
    write(m_err, QCoreApplication::applicationName() + QStringLiteral(": ") + m_prefix + sentence + QLatin1Char('\n'));
}
