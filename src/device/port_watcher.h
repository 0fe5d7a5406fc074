#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class QFileSystemWatcher;

// Tells when serial ports may have come or gone, without polling.
//
// Device nodes appear as files, so it watches the directories in which they
// appear (`places`, for example /dev); a place that does not exist yet is
// watched through its nearest existing parent until it does. A system that
// announces new devices by a message of its own could be heard here instead,
// behind the same signal.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    // A burst of changes (a USB bridge brings several nodes and links, and
    // their permissions follow a moment later) is told once, this long after
    // its first change.
    static constexpr int SETTLE_MS = 250;

    explicit PortWatcher(const QStringList &places, QObject *parent = nullptr);

signals:
    // The set of ports may have changed: look again.
    void ports_changed();

private:
    void changed();
    void settled();
    void watch_places();

    QStringList m_places;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_settle;
};
