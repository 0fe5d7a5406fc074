#include "signal_watch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signal_pipe[2] = {-1, -1};
volatile std::sig_atomic_t interrupt_seen = 0;

constexpr char INTERRUPT = 'i';
constexpr char RESIZE = 'w';

void on_signal(int sig)
{
    const int saved = errno;
    char c = 0;
    if (sig == SIGINT || sig == SIGTERM) {
        interrupt_seen = 1;
        c = INTERRUPT;
    } else if (sig == SIGWINCH) {
        c = RESIZE;
    }
    if (c != 0 && signal_pipe[1] >= 0)
        (void)!::write(signal_pipe[1], &c, 1);
    errno = saved;
}

} // namespace

SignalWatch::SignalWatch(QObject *parent)
    : QObject(parent)
{
}

SignalWatch::~SignalWatch() = default;

bool SignalWatch::install()
{
    if (signal_pipe[0] < 0 && ::pipe(signal_pipe) != 0)
        return false;
    for (int fd : signal_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    delete m_notifier;
    m_notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatch::drain);

    struct sigaction action = {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGWINCH, SIGHUP, SIGPIPE})
        ::sigaction(sig, &action, nullptr);
    return true;
}

bool SignalWatch::interrupt_requested()
{
    return interrupt_seen != 0;
}

void SignalWatch::drain()
{
    bool interrupt = false;
    bool resize = false;
    char buf[64];
    ssize_t n;
    while ((n = ::read(signal_pipe[0], buf, sizeof buf)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            interrupt = interrupt || buf[i] == INTERRUPT;
            resize = resize || buf[i] == RESIZE;
        }
    }
    if (resize)
        emit resized();
    if (interrupt)
        emit interrupted();
}
