#include "line_printer.h"

#include "fleet_report.h"
#include "frame.h"
#include "terminal_text.h"

#include <QCoreApplication>


namespace {

QString module_text(const DeviceRecord &d)
{
    return d.unit == UNIT_WLAN ? LinePrinter::tr("Updating WLAN Firmware...")
                               : LinePrinter::tr("Updating DSP Firmware...");
}

} // namespace

LinePrinter::LinePrinter(const std::vector<DeviceRecord> &devices, Console *console, bool several, bool check)
    : m_devices(devices)
    , m_console(console)
    , m_several(several)
    , m_check(check)
    , m_rewrite(console->live() && !several)
    , m_progress(devices.size())
{
    m_console->out.set_idle_handler([this] {
        if (m_deferred >= 0)
            draw(m_deferred, false);
    });
}

LinePrinter::~LinePrinter()
{
    m_console->out.set_idle_handler({});
}

QString LinePrinter::prefix(int index) const
{
    return m_several ? m_devices.at(size_t(index)).port + QStringLiteral(": ") : QString();
}

void LinePrinter::end_line()
{
    m_deferred = -1;
    if (m_line_open)
        m_console->out.write(QStringLiteral("\n"));
    m_line_open = false;
}

void LinePrinter::step(int index, const QString &text)
{
    end_line();
    m_console->out.write(prefix(index) + text + QLatin1Char('\n'));
}

void LinePrinter::device_event(int index, DeviceEvent event)
{
    const DeviceRecord &d = m_devices.at(size_t(index));
    Progress &p = m_progress.at(size_t(index));
    switch (event) {
    case DeviceEvent::Opened:
        p.opened = true;
        step(index, tr("Device port: %1").arg(d.port));
        break;
    case DeviceEvent::Versions:
        step(index, tr("Device: %1, WLAN %2, DSP %3.%4")
                        .arg(d.type.isEmpty() ? tr("type unknown") : d.type,
                             QString::number(d.before.wlan_version), QString::number(d.before.dsp_major),
                             QString::number(d.before.dsp_minor)));
        step(index, tr("Package \"%1\": WLAN %2, DSP %3").arg(d.package_name, d.package_wlan, d.package_dsp));
        break;
    case DeviceEvent::ImageStarted:
        step(index, module_text(d));
        p.tenths = 0;
        p.drawn.invalidate();
        if (m_rewrite)
            draw(index, false);
        break;
    case DeviceEvent::Progress:
        // The last acknowledgement is drawn as the image's end.
        if (d.total <= 0 || d.done >= d.total)
            break;
        if (m_rewrite) {
            if (!p.drawn.isValid() || p.drawn.elapsed() >= TERMINAL_REDRAW_MS)
                draw(index, false);
        } else if (d.done * 10 / d.total > p.tenths) {
            p.tenths = int(d.done * 10 / d.total);
            draw(index, false);
        }
        break;
    case DeviceEvent::ImageDone:
        draw(index, true);
        end_line();
        break;
    case DeviceEvent::Notice:
        switch (d.notice) {
        case UpdateEngine::Notice::None:
            // Back to the image, as before the device fell silent.
            if (d.stage == DeviceStage::Sending)
                step(index, module_text(d));
            break;
        case UpdateEngine::Notice::Silent:
            if (d.stage == DeviceStage::Sending)
                step(index, module_text(d) + QLatin1Char(' ')
                                + tr("The device has not answered for %n seconds; the update is not "
                                     "complete. Waiting for the device...",
                                     nullptr, d.silent_seconds));
            else
                step(index, tr("The device has not answered for %n seconds; nothing was sent yet. "
                               "Waiting for the device...",
                               nullptr, d.silent_seconds));
            break;
        case UpdateEngine::Notice::Finishing:
            step(index, tr("The device is finishing the update. Do not disconnect it."));
            break;
        }
        break;
    case DeviceEvent::Ended:
        if (d.status == STATUS_UPDATED) {
            step(index, m_check ? fits_text()
                                : tr("Firmware update completed successfully."));
        } else {
            end_line();
            // The sentence names the device's port, also where it is the only
            // one (once it was opened; a port that could not be opened is
            // named by the sentence itself).
            const QString port = m_several || !p.opened ? prefix(index) : d.port + QStringLiteral(": ");
            m_console->err.write(QCoreApplication::applicationName() + QStringLiteral(": ") + port + d.reason
                                 + QLatin1Char('\n'));
        }
        break;
    }
}

void LinePrinter::draw(int index, bool keep)
{
    const QString text = prefix(index) + progress_line(m_devices.at(size_t(index)));
    if (!m_rewrite) {
        if (keep)
            m_console->out.write(text + QLatin1Char('\n'));
        else
            m_console->out.write_now(text + QLatin1Char('\n'));
        m_progress.at(size_t(index)).drawn.start();
        return;
    }
    // One column short of the width: a line that fills it would wrap on some
    // terminals, and "\r" only goes back to the start of the last row.
    const int columns = m_console->size.columns;
    const QString line = fit_text(text, columns > 1 ? columns - 1 : 0);
    QString codes = QStringLiteral("\r");
    if (m_line_open && m_resized && columns > 0) {
        // A narrower terminal may have wrapped the old line onto more rows.
        const int rows = (m_line_length + columns - 1) / columns;
        if (rows > 1)
            codes = QStringLiteral("\033[%1A\r").arg(rows - 1);
    }
    // Back to the line's start, the new text, and the rest of the old one cleared.
    const QString drawn = codes + line + QStringLiteral("\033[J");
    if (keep) {
        m_console->out.write(drawn);
    } else if (!m_console->out.write_now(drawn)) {
        // The terminal has not taken the last lines: drawn once it has.
        m_deferred = index;
        return;
    }
    m_deferred = -1;
    m_resized = false;
    m_line_open = true;
    m_line_length = display_width(line);
    m_progress.at(size_t(index)).drawn.start();
}

void LinePrinter::finished()
{
    end_line();
    if (!m_several)
        return;
    QString text = QStringLiteral("\n");
    for (const QString &line : summary_lines(m_devices, m_check))
        text += line + QLatin1Char('\n');
    text += count_line(m_devices, m_check) + QLatin1Char('\n');
    m_console->out.write(text);
}
