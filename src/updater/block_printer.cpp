#include "block_printer.h"

#include "fleet_report.h"

#include <QCoreApplication>

namespace {
// The block is redrawn at most this often.
constexpr qint64 REDRAW_MS = 100;
} // namespace

int LiveBlock::rows_taken(const QList<int> &lengths, int columns)
{
    int rows = 0;
    for (int length : lengths)
        rows += columns > 0 && length > columns ? (length + columns - 1) / columns : 1;
    return rows;
}

QString LiveBlock::back_to_start(int columns) const
{
    // The lines were cut to fit the width they were drawn at; a terminal made
    // narrower since may have wrapped them onto more rows. Going up too far
    // only clears a line above the block; too little would leave old lines
    // standing.
    const int rows = rows_taken(m_lengths, columns);
    return rows > 0 ? QStringLiteral("\r\033[%1A").arg(rows) : QStringLiteral("\r");
}

void LiveBlock::draw(const QStringList &lines, int columns)
{
    QString text = back_to_start(columns);
    m_lengths.clear();
    for (const QString &line : lines) {
        text += line + QStringLiteral("\033[K\n");
        m_lengths.append(int(line.size()));
    }
    // What is left of a longer block.
    text += QStringLiteral("\033[J");
    m_out->write(text);
}

void LiveBlock::erase(int columns)
{
    m_out->write(back_to_start(columns) + QStringLiteral("\033[J"));
    m_lengths.clear();
}

BlockPrinter::BlockPrinter(const std::vector<DeviceRecord> &devices, Console *console, bool check)
    : m_devices(devices)
    , m_console(console)
    , m_check(check)
    , m_block(&console->out)
{
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
    if (m_ended || (!force && m_drawn.isValid() && m_drawn.elapsed() < REDRAW_MS))
        return;
    m_drawn.start();
    m_block.draw(block_lines(m_devices, m_check, m_console->size.columns, m_console->size.rows), m_console->size.columns);
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
