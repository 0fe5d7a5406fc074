#include "console.h"

#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What waits to be written is tried again this often (a terminal or a pipe
// gives no sign when it takes output again).
constexpr int RETRY_MS = 50;
// What must get out waits up to this much; beyond it even that is dropped,
// so that a stream that takes nothing for hours cannot fill the memory.
constexpr int MAX_PENDING = 1 << 20;
// A terminal or a pipe written through the shared descriptor takes at least
// this much at once once poll() says it takes output (a pipe takes 4096
// bytes, a terminal as much as its buffer has room for).
constexpr qint64 GUARDED_PIECE = 256;

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

bool is_terminal(int fd)
{
    return ::isatty(fd) == 1;
}

TerminalSize terminal_size(int fd)
{
    winsize size = {};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0)
        return TerminalSize();
    return TerminalSize{size.ws_col, size.ws_row};
}

OutputStream::OutputStream(int fd)
    : m_fd(fd)
{
    m_retry.setInterval(RETRY_MS);
    QObject::connect(&m_retry, &QTimer::timeout, &m_retry, [this] {
        flush();
        if (m_pending.isEmpty() && m_idle_handler)
            m_idle_handler();
    });

    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return;
    if (S_ISSOCK(info.st_mode)) {
        m_mode = Mode::Socket;
    } else if (S_ISFIFO(info.st_mode) || is_terminal(fd)) {
        // A descriptor of our own for the same terminal or pipe, which can be
        // non-blocking without changing the one the shell and the programs
        // beside us share (a shell would find its terminal non-blocking).
        const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);
        const int own = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat own_info = {};
        if (own >= 0 && ::fstat(own, &own_info) == 0 && ::same_file(info, own_info)) {
            m_own_fd = own;
            m_mode = Mode::NonBlocking;
        } else {
            if (own >= 0)
                ::close(own);
            m_mode = Mode::Guarded;
        }
    }
}

OutputStream::~OutputStream()
{
    if (m_own_fd >= 0)
        ::close(m_own_fd);
}

bool OutputStream::same_file(int fd) const
{
    struct stat a = {}, b = {};
    return ::fstat(m_fd, &a) == 0 && ::fstat(fd, &b) == 0 && ::same_file(a, b);
}

bool OutputStream::failed() const
{
    return m_shared ? m_shared->failed() : m_failed;
}

bool OutputStream::idle() const
{
    return m_shared ? m_shared->idle() : m_pending.isEmpty();
}

void OutputStream::set_idle_handler(std::function<void()> handler)
{
    m_idle_handler = std::move(handler);
}

void OutputStream::write(const QString &text)
{
    if (m_shared) {
        m_shared->write(text);
        return;
    }
    if (m_failed || text.isEmpty())
        return;
    queue(text.toLocal8Bit());
}

void OutputStream::write_bytes(const QByteArray &bytes)
{
    if (m_shared) {
        m_shared->write_bytes(bytes);
        return;
    }
    if (m_failed || bytes.isEmpty())
        return;
    queue(bytes);
}

bool OutputStream::write_now(const QString &text)
{
    if (m_shared)
        return m_shared->write_now(text);
    if (m_failed || !m_pending.isEmpty())
        return false;
    queue(text.toLocal8Bit());
    return true;
}

void OutputStream::queue(const QByteArray &bytes)
{
    if (m_pending.size() + bytes.size() > MAX_PENDING)
        return;
    m_pending += bytes;
    flush();
}

qint64 OutputStream::put(const char *data, qint64 size)
{
    for (;;) {
        ssize_t n = -1;
        switch (m_mode) {
        case Mode::Plain:
            n = ::write(m_fd, data, size_t(size));
            break;
        case Mode::NonBlocking:
            n = ::write(m_own_fd, data, size_t(size));
            break;
        case Mode::Socket:
            n = ::send(m_fd, data, size_t(size), MSG_DONTWAIT | MSG_NOSIGNAL);
            break;
        case Mode::Guarded: {
            pollfd ready = {m_fd, POLLOUT, 0};
            if (::poll(&ready, 1, 0) == 0)
                return 0;
            n = ::write(m_fd, data, size_t(qMin(size, GUARDED_PIECE)));
            break;
        }
        }
        if (n >= 0)
            return n;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}

void OutputStream::flush()
{
    while (!m_pending.isEmpty()) {
        const qint64 n = put(m_pending.constData(), m_pending.size());
        if (n < 0) {
            // Whatever waits would only fail again.
            m_failed = true;
            m_pending.clear();
        } else if (n == 0) {
            break;
        } else {
            m_pending.remove(0, int(n));
        }
    }
    if (m_pending.isEmpty())
        m_retry.stop();
    else if (!m_retry.isActive())
        m_retry.start();
}

bool OutputStream::drain(int timeout_ms, const std::function<bool()> &give_up)
{
    if (m_shared)
        return m_shared->drain(timeout_ms, give_up);
    QElapsedTimer clock;
    clock.start();
    flush();
    const int fd = m_mode == Mode::NonBlocking ? m_own_fd : m_fd;
    while (!m_pending.isEmpty() && !(give_up && give_up())) {
        const qint64 left = timeout_ms - clock.elapsed();
        if (left <= 0)
            break;
        const int slice = int(qMin<qint64>(left, RETRY_MS));
        pollfd ready = {fd, POLLOUT, 0};
        const int polled = ::poll(&ready, 1, slice);
        const int before = m_pending.size();
        flush();
        // A stream that says it takes output and then takes none would
        // otherwise be asked again at once, and again.
        if (polled > 0 && int(m_pending.size()) == before)
            ::poll(nullptr, 0, slice);
    }
    m_retry.stop();
    return m_pending.isEmpty() && !m_failed;
}

Console::Console(int out_fd, int err_fd)
    : out(out_fd)
    , err(err_fd)
{
    // Standard error on the terminal or in the pipe of standard output: its
    // sentences stay in order with the lines there, also while they wait.
    if (out.same_file(err_fd))
        err.share(&out);
}

Console::Console(std::FILE *out_file, std::FILE *err_file)
    : Console(::fileno(out_file), ::fileno(err_file))
{
}

std::unique_ptr<Console> Console::standard()
{
    auto console = std::make_unique<Console>(STDOUT_FILENO, STDERR_FILENO);
    console->terminal = is_terminal(STDOUT_FILENO);
    console->err_terminal = is_terminal(STDERR_FILENO);
    if (console->terminal)
        console->size = terminal_size(STDOUT_FILENO);
    return console;
}
