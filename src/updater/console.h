#pragma once

#include <QByteArray>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

// The size of a terminal, in columns and rows; 0 where it is not known.
struct TerminalSize
{
    int columns = 0;
    int rows = 0;

    bool known() const { return columns > 0 && rows > 0; }
};

// Whether the file descriptor `fd` is a terminal.
bool is_terminal(int fd);
// The size of the terminal on `fd`, as the terminal says now. A terminal
// that says 0 rows or 0 columns (`stty rows 0 cols 0`, some serial consoles)
// does not know its size: both are 0 then.
TerminalSize terminal_size(int fd);

// One of tvc-update's output streams. The update never waits for its output:
// - What cannot be written (a pipe whose reader has gone, a terminal that has
//   hung up) is dropped, and after the first failure nothing more is tried.
// - What the stream does not take at once (a terminal paused with Ctrl+S or
//   behind a stalled ssh session, a pipe whose reader does not read) waits
//   in a queue and goes out as the stream takes it; the program goes on.
//   Text that only matters when it is shown (progress, a redraw of the live
//   lines) is written only where nothing waits before it, and else dropped.
// Terminals and pipes are written through a descriptor of their own, opened
// non-blocking, so that the descriptor shared with the shell keeps its flags.
class OutputStream
{
public:
    // Writes to `fd`, which stays open and stays the caller's.
    explicit OutputStream(int fd);
    ~OutputStream();

    OutputStream(const OutputStream &) = delete;
    OutputStream &operator=(const OutputStream &) = delete;

    // Text that must get out (the steps, the outcomes, errors, the summary).
    void write(const QString &text);
    // The same for text already encoded (JSON and CSV are UTF-8 in every locale).
    void write_bytes(const QByteArray &bytes);
    // Text that only matters now: written where nothing waits to be written,
    // else dropped. True where it was taken (then it goes out whole, also
    // where the stream takes only part of it at once).
    bool write_now(const QString &text);
    // Nothing waits to be written (or nothing can be).
    bool idle() const;
    // `handler` is called each time what waited has all been written.
    void set_idle_handler(std::function<void()> handler);
    // Writes what waits, waiting up to `timeout_ms` for the stream to take
    // it, or until `give_up` says so (asked when a signal comes). True where
    // everything was written.
    bool drain(int timeout_ms, const std::function<bool()> &give_up = {});
    bool failed() const;

    // Everything written here goes through `other` instead, in order with
    // what is written there (standard error on the terminal or the pipe of
    // standard output).
    void share(OutputStream *other) { m_shared = other; }
    // Whether `fd` is the same file as this stream's.
    bool same_file(int fd) const;

private:
    enum class Mode
    {
        Plain,        // a file: written at once, whatever it takes
        NonBlocking,  // a terminal or a pipe, through a non-blocking descriptor of its own
        Socket,       // sent without waiting
        Guarded       // a terminal or a pipe that could not be opened again: written only when it takes output
    };

    void queue(const QByteArray &bytes);
    // Writes what waits as far as the stream takes it now.
    void flush();
    // Writes up to `size` bytes of `data` without waiting; the bytes taken,
    // 0 where the stream takes nothing now, -1 where it failed.
    qint64 put(const char *data, qint64 size);

    int m_fd;
    int m_own_fd = -1;
    Mode m_mode = Mode::Plain;
    bool m_failed = false;
    QByteArray m_pending;
    QTimer m_retry;
    std::function<void()> m_idle_handler;
    OutputStream *m_shared = nullptr;
};

// Where tvc-update writes, and what it knows of it.
struct Console
{
    // Writes to these descriptors (or files), which stay the caller's.
    // Nothing is probed: the output is plain lines.
    Console(int out_fd, int err_fd);
    Console(std::FILE *out_file, std::FILE *err_file);
    // Standard output and standard error, probed.
    static std::unique_ptr<Console> standard();

    // A terminal whose size is known: lines are rewritten in place there.
    bool live() const { return terminal && size.known(); }

    OutputStream out;
    OutputStream err;
    bool terminal = false;      // standard output is a terminal
    bool err_terminal = false;  // standard error is a terminal, where the user reads standard output too
    TerminalSize size;          // of the terminal on standard output
};
