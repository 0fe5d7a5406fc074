#include "port_watcher.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include <utility>

namespace {

// The place itself when it is a directory, otherwise its nearest existing parent.
QString existing_directory(const QString &place)
{
    QString path = QDir::cleanPath(QFileInfo(place).absoluteFilePath());
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    return path;
}

} // namespace

PortWatcher::PortWatcher(const QStringList &places, QObject *parent)
    : QObject(parent)
    , m_places(places)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SETTLE_MS);
    connect(&m_settle, &QTimer::timeout, this, &PortWatcher::settled);
    // Each directory watcher holds one of the few watch handles the system
    // grants a user: none is taken where there is nothing to watch.
    if (m_places.isEmpty())
        return;
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &PortWatcher::changed);
    watch_places();
}

void PortWatcher::changed()
{
    // Not restarted by later changes: a busy directory cannot put the look off.
    if (!m_settle.isActive())
        m_settle.start();
}

void PortWatcher::settled()
{
    // A place may have been made or removed in the meantime. Watching it first
    // and looking afterwards misses nothing: what came before is seen by the
    // look, what comes after is another change.
    watch_places();
    emit ports_changed();
}

void PortWatcher::watch_places()
{
    QStringList wanted;
    for (const QString &place : std::as_const(m_places)) {
        const QString dir = existing_directory(place);
        if (!wanted.contains(dir))
            wanted.append(dir);
    }
    const QStringList watched = m_watcher->directories();
    for (const QString &dir : watched) {
        if (!wanted.contains(dir))
            m_watcher->removePath(dir);
    }
    for (const QString &dir : std::as_const(wanted)) {
        if (!watched.contains(dir))
            m_watcher->addPath(dir);
    }
}
