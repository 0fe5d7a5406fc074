#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace sim {

// The device end of a pseudo-terminal. The program under test opens the slave
// side as if it were the USB serial port; the simulator reads and writes the
// master side.
//
// One descriptor of the slave stays open here all the time, so the master
// never reads EIO while the program has its port closed. hangUp() closes both
// ends, which the program sees like a pulled cable.
class PtyLink : public QObject
{
    Q_OBJECT
public:
    explicit PtyLink(QObject *parent = nullptr);
    ~PtyLink() override;

    // Opens a fresh pseudo-terminal (after a hang-up this yields a new slave path).
    bool open(QString *error = nullptr);
    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    // Queues bytes for the master; whatever the terminal does not take at once
    // is written when the master becomes writable again. Returns false when closed.
    bool write(const QByteArray &bytes);
    qint64 pendingBytes() const { return m_out.size() - m_outPos; }

    // Throws away whatever the program has not read yet, as a serial bridge
    // does when its port is opened.
    void discardUnread();

    // Closes the master and the kept slave descriptor; removes the symlink.
    void hangUp();

    // A symlink to the slave path, made now if open and again on every open();
    // removed on hang-up and destruction. An existing symlink at the path is
    // replaced; any other file there is an error.
    bool setSymlink(const QString &path, QString *error = nullptr);
    QString symlinkPath() const { return m_linkPath; }

signals:
    void bytesReceived(const QByteArray &bytes);
    void writeError(const QString &message);

private:
    void onReadable();
    void onWritable();
    bool makeSymlink(QString *error);
    void removeSymlink();
    void closeFds();

    int m_master = -1;
    int m_slaveKeep = -1;
    QString m_slavePath;
    QString m_linkPath;
    bool m_linkMade = false;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_out;
    int m_outPos = 0;
};

} // namespace sim
