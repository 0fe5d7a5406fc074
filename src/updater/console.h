#pragma once

#include <QString>

#include <cstdio>

// The size of a terminal, in characters; 0 where it is not known.
struct TerminalSize
{
    int columns = 0;
    int rows = 0;
};

// Whether the file descriptor `fd` is a terminal.
bool is_terminal(int fd);
// The size of the terminal on `fd`, as the terminal says now.
TerminalSize terminal_size(int fd);

// One of tvc-update's output streams. What cannot be written (a pipe whose
// reader has gone, a terminal that has hung up) is dropped, and after the
// first failure nothing more is tried: the update never stops for its output.
class OutputStream
{
public:
    explicit OutputStream(std::FILE *file)
        : m_file(file)
    {
    }

    void write(const QString &text);
    bool failed() const { return m_failed; }

private:
    std::FILE *m_file;
    bool m_failed = false;
};

// Where tvc-update writes, and what it knows of it.
struct Console
{
    Console(std::FILE *out_file, std::FILE *err_file)
        : out(out_file)
        , err(err_file)
    {
    }
    // Standard output and standard error, probed.
    static Console standard();

    OutputStream out;
    OutputStream err;
    bool terminal = false;      // standard output is a terminal: lines are rewritten in place
    bool err_terminal = false;  // standard error is a terminal, where the user reads standard output too
    TerminalSize size;          // of the terminal on standard output
};
