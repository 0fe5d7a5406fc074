#include "console.h"

#include <sys/ioctl.h>
#include <unistd.h>

bool is_terminal(int fd)
{
    return ::isatty(fd) == 1;
}

TerminalSize terminal_size(int fd)
{
    winsize size = {};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0)
        return TerminalSize();
    return TerminalSize{size.ws_col, size.ws_row};
}

void OutputStream::write(const QString &text)
{
    if (m_failed || text.isEmpty())
        return;
    const QByteArray bytes = text.toLocal8Bit();
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_file) != size_t(bytes.size())
        || std::fflush(m_file) != 0) {
        // Whatever is still buffered would only fail again.
        m_failed = true;
        std::clearerr(m_file);
    }
}

Console Console::standard()
{
    Console console(stdout, stderr);
    console.terminal = is_terminal(STDOUT_FILENO);
    console.err_terminal = is_terminal(STDERR_FILENO);
    if (console.terminal)
        console.size = terminal_size(STDOUT_FILENO);
    return console;
}
