#include "ptylink.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

QString sysError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyLink::PtyLink(QObject *parent)
    : QObject(parent)
{
}

PtyLink::~PtyLink()
{
    closeFds();
    removeSymlink();
}

bool PtyLink::open(QString *error)
{
    QString dummy;
    QString &err = error ? *error : dummy;
    closeFds();

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        err = sysError("posix_openpt");
        return false;
    }
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        err = sysError("grantpt/unlockpt");
        ::close(master);
        return false;
    }
    const char *name = ::ptsname(master);
    if (!name) {
        err = sysError("ptsname");
        ::close(master);
        return false;
    }
    const QString path = QString::fromLocal8Bit(name);
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        err = sysError("open slave");
        ::close(master);
        return false;
    }
    termios tio;
    if (::tcgetattr(slave, &tio) != 0) {
        err = sysError("tcgetattr");
        ::close(slave);
        ::close(master);
        return false;
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    if (::tcsetattr(slave, TCSANOW, &tio) != 0) {
        err = sysError("tcsetattr");
        ::close(slave);
        ::close(master);
        return false;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    m_master = master;
    m_slaveKeep = slave;
    m_slavePath = path;
    m_out.clear();
    m_outPos = 0;

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLink::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyLink::onWritable);

    if (!m_linkPath.isEmpty() && !makeSymlink(&err)) {
        closeFds();
        return false;
    }
    return true;
}

bool PtyLink::write(const QByteArray &bytes)
{
    if (m_master < 0)
        return false;
    if (bytes.isEmpty())
        return true;
    if (pendingBytes() == 0) {
        m_out.resize(0);
        m_outPos = 0;
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                emit writeError(sysError("write"));
                return false;
            }
            break;
        }
        if (done == bytes.size())
            return true;
        m_out.append(bytes.constData() + done, int(bytes.size() - done));
    } else {
        m_out.append(bytes);
    }
    m_writeNotifier->setEnabled(true);
    return true;
}

void PtyLink::onWritable()
{
    while (pendingBytes() > 0) {
        const ssize_t n = ::write(m_master, m_out.constData() + m_outPos, size_t(pendingBytes()));
        if (n > 0) {
            m_outPos += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            emit writeError(sysError("write"));
            m_out.resize(0);
            m_outPos = 0;
        }
        break;
    }
    if (pendingBytes() == 0) {
        m_out.resize(0);
        m_outPos = 0;
        if (m_writeNotifier)
            m_writeNotifier->setEnabled(false);
    }
}

void PtyLink::onReadable()
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            emit bytesReceived(QByteArray(buf, int(n)));
            // A receiver may have hung up the link from its slot.
            if (m_master < 0)
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
}

void PtyLink::discardUnread()
{
    m_out.clear();
    m_outPos = 0;
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
    if (m_slaveKeep >= 0)
        ::tcflush(m_slaveKeep, TCIFLUSH);
}

void PtyLink::hangUp()
{
    closeFds();
    removeSymlink();
}

void PtyLink::closeFds()
{
    // The notifiers may be the very objects whose signal is being handled.
    for (QSocketNotifier *n : {m_readNotifier, m_writeNotifier}) {
        if (n) {
            n->setEnabled(false);
            n->deleteLater();
        }
    }
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveKeep >= 0)
        ::close(m_slaveKeep);
    m_master = -1;
    m_slaveKeep = -1;
    m_out.clear();
    m_outPos = 0;
}

bool PtyLink::setSymlink(const QString &path, QString *error)
{
    removeSymlink();
    m_linkPath = path;
    if (path.isEmpty() || m_master < 0)
        return true;
    return makeSymlink(error);
}

bool PtyLink::makeSymlink(QString *error)
{
    const QByteArray link = QFile::encodeName(m_linkPath);
    struct stat st;
    if (::lstat(link.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            if (error)
                *error = QStringLiteral("%1 exists and is not a symlink").arg(m_linkPath);
            return false;
        }
        ::unlink(link.constData());
    }
    if (::symlink(QFile::encodeName(m_slavePath).constData(), link.constData()) != 0) {
        if (error)
            *error = sysError("symlink");
        return false;
    }
    m_linkMade = true;
    return true;
}

void PtyLink::removeSymlink()
{
    if (!m_linkMade)
        return;
    m_linkMade = false;
    const QByteArray link = QFile::encodeName(m_linkPath);
    // Only remove the link if it still points at our slave.
    char target[4096];
    const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
    if (n > 0 && QByteArray(target, int(n)) == QFile::encodeName(m_slavePath))
        ::unlink(link.constData());
}

} // namespace sim
