#include "block_printer.h"

#include "fleet_report.h"
#include "terminal_text.h"

#include <QCoreApplication>

int LiveBlock::rows_taken(const QList<int> &widths, int columns)
{
    int rows = 0;
    for (int width : widths)
        rows += columns > 0 && width > columns ? (width + columns - 1) / columns : 1;
    return rows;
}

QString LiveBlock::back_to_start(int columns) const
{
    // The lines were cut to fit the width they were drawn at; a terminal made
    // narrower since may have wrapped them onto more rows. Going up too far
    // only clears a line above the block; too little would leave old lines
    // standing. A line drawn without its line feed has the cursor on its
    // last row already.
    const int rows = rows_taken(m_widths, columns) - (m_open ? 1 : 0);
    return rows > 0 ? QStringLiteral("\r\033[%1A").arg(rows) : QStringLiteral("\r");
}

bool LiveBlock::draw(const QStringList &lines, int columns, bool one_line)
{
    QString text = back_to_start(columns);
    QList<int> widths;
    if (one_line) {
        const QString line = lines.value(0);
        text += line;
        widths.append(display_width(line));
    } else {
        for (const QString &line : lines) {
            text += line + QStringLiteral("\033[K\n");
            widths.append(display_width(line));
        }
    }
    // What is left of a longer block.
    text += QStringLiteral("\033[J");
    if (!m_out->write_now(text))
        return false;
    m_widths = widths;
    m_open = one_line;
    return true;
}

void LiveBlock::erase(int columns)
{
    m_out->write(back_to_start(columns) + QStringLiteral("\033[J"));
    m_widths.clear();
    m_open = false;
}

BlockPrinter::BlockPrinter(const std::vector<DeviceRecord> &devices, Console *console, bool check)
    : m_devices(devices)
    , m_console(console)
    , m_check(check)
    , m_block(&console->out)
{
    m_console->out.set_idle_handler([this] {
        if (m_dirty)
            draw(true);
    });
}

BlockPrinter::~BlockPrinter()
{
    m_console->out.set_idle_handler({});
}

void BlockPrinter::device_event(int index, DeviceEvent event)
{
    const DeviceRecord &d = m_devices.at(size_t(index));
    if (event == DeviceEvent::Ended && d.status != STATUS_UPDATED && !m_console->err_terminal)
        m_console->err.write(QStringLiteral("%1: %2: %3\n").arg(QCoreApplication::applicationName(), d.port, d.reason));
    draw(event != DeviceEvent::Progress);
}

void BlockPrinter::resized()
{
    draw(true);
}

void BlockPrinter::draw(bool force)
{
    if (m_ended)
        return;
    // While the terminal takes no output the redraws wait, and the update
    // goes on: the one drawn once it does shows the devices as they are then.
    if (!m_console->out.idle()) {
        m_dirty = true;
        return;
    }
    if (!force && m_drawn.isValid() && m_drawn.elapsed() < TERMINAL_REDRAW_MS)
        return;
    const TerminalSize size = m_console->size;
    // On a terminal of one or two rows, one line without a line feed: a line
    // feed on the last row would scroll the terminal at every redraw.
    const bool one_line = size.rows < 3;
    m_dirty = !m_block.draw(block_lines(m_devices, m_check, size.columns, size.rows), size.columns, one_line);
    if (!m_dirty)
        m_drawn.start();
}

void BlockPrinter::finished()
{
    m_ended = true;
    m_block.erase(m_console->size.columns);
    QString text;
    for (const QString &line : summary_lines(m_devices, m_check, m_console->size.columns))
        text += line + QLatin1Char('\n');
    text += count_line(m_devices, m_check) + QLatin1Char('\n');
    m_console->out.write(text);
}
