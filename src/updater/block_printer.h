#pragma once

#include "update_printer.h"

#include <QElapsedTimer>
#include <QList>
#include <QStringList>

// Lines rewritten in place at the bottom of a terminal: each redraw moves the
// cursor back to the block's first line, writes the new lines and clears what
// is left below them.
class LiveBlock
{
public:
    explicit LiveBlock(OutputStream *out)
        : m_out(out)
    {
    }

    // Replaces the block with `lines` on a terminal `columns` wide.
    void draw(const QStringList &lines, int columns);
    // Takes the block away; the cursor is left where its first line was.
    void erase(int columns);

    // The rows that lines of these lengths take on a terminal `columns` wide
    // that wraps what does not fit onto further rows (0: one row each).
    static int rows_taken(const QList<int> &lengths, int columns);

private:
    QString back_to_start(int columns) const;

    OutputStream *m_out;
    QList<int> m_lengths;  // of the lines drawn
};

// Several devices on a terminal: a live line per device (as many as fit, the
// running ones first), redrawn at most ten times a second and whenever the
// terminal changes size. At the end the block gives way to the summary, so
// that each device's outcome is printed once, with its reason, wrapped at
// words to the terminal's width. Standard error gets the reasons too where it
// is not the same terminal.
class BlockPrinter : public UpdatePrinter
{
public:
    BlockPrinter(const std::vector<DeviceRecord> &devices, Console *console, bool check);

    void device_event(int index, DeviceEvent event) override;
    void finished() override;
    void resized() override;

private:
    void draw(bool force);

    const std::vector<DeviceRecord> &m_devices;
    Console *m_console;
    bool m_check;
    LiveBlock m_block;
    QElapsedTimer m_drawn;
    bool m_ended = false;
};
