// The pseudo-terminal link as the program's serial port sees it.

#include "sim/ptylink.h"
#include "simtest.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace simtest;

class TestSimPty : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSerialPort::SerialPortError>();
    }

    void rawBytesPassBothWays()
    {
        sim::PtyLink link;
        QVERIFY(link.open());
        QVERIFY(link.slavePath().startsWith(QLatin1String("/dev/pts/")));
        QByteArray atDevice;
        connect(&link, &sim::PtyLink::bytesReceived, this, [&](const QByteArray &b) { atDevice += b; });

        Client client(link.slavePath());
        QVERIFY(client.open());
        // Every byte value, twice: no echo, no CR/LF translation, no flow control or signal characters.
        QByteArray all;
        for (int i = 0; i < 512; ++i)
            all.append(char(i & 0xff));

        client.send(all);
        QTRY_COMPARE(atDevice.size(), all.size());
        QCOMPARE(atDevice, all);

        QVERIFY(link.write(all));
        QTRY_COMPARE(client.reads.join().size(), all.size());
        QCOMPARE(client.reads.join(), all);
    }

    void programMayCloseAndReopenItsPort()
    {
        sim::PtyLink link;
        QVERIFY(link.open());
        QByteArray atDevice;
        connect(&link, &sim::PtyLink::bytesReceived, this, [&](const QByteArray &b) { atDevice += b; });
        for (int round = 0; round < 3; ++round) {
            Client client(link.slavePath());
            QVERIFY(client.open());
            client.send(request(40, 0));
            QTRY_COMPARE(atDevice.size(), (round + 1) * kFrame);
            QVERIFY(link.write(request(42, 0, QByteArray(3, char(round)))));
            QVERIFY(client.waitFrames(1));
            QCOMPARE(client.frames.first(), request(42, 0, QByteArray(3, char(round))));
            client.port.close();
        }
        QVERIFY(link.isOpen());
    }

    void writesQueueWhileNobodyReads()
    {
        sim::PtyLink link;
        QVERIFY(link.open());
        // Far more than the terminal buffers: the rest must wait in the link's queue.
        QByteArray big(256 * 1024, '\0');
        for (int i = 0; i < big.size(); ++i)
            big[i] = char((i * 7) ^ (i >> 8));
        QVERIFY(link.write(big.left(1000)));
        QVERIFY(link.write(big.mid(1000)));
        QVERIFY(link.pendingBytes() > 0);

        Client client(link.slavePath());
        QVERIFY(client.open());
        QTRY_COMPARE_WITH_TIMEOUT(client.reads.join().size(), big.size(), 10000);
        QCOMPARE(client.reads.join(), big);
        QTRY_COMPARE(link.pendingBytes(), qint64(0));
    }

    void hangUpIsAReadFailureForTheProgram()
    {
        sim::PtyLink link;
        QVERIFY(link.open());
        Client client(link.slavePath());
        QVERIFY(client.open());
        QSignalSpy errors(&client.port, &QSerialPort::errorOccurred);

        link.hangUp();
        QVERIFY(!link.isOpen());
        QVERIFY(!link.write(request(42, 0)));
        QTRY_VERIFY(errors.count() > 0);
        QVERIFY(isHangUpError(errors));
        client.port.close();

        // Plugging in again gives a working, different terminal.
        QVERIFY(link.open());
        QVERIFY(QFileInfo::exists(link.slavePath()));
        Client again(link.slavePath());
        QVERIFY(again.open());
        QVERIFY(link.write(request(9, 0, QByteArray(1, 2))));
        QVERIFY(again.waitFrames(1));
    }

    void symlinkFollowsTheTerminal()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("tavero"));
        {
            sim::PtyLink link;
            QVERIFY(link.setSymlink(path));
            QVERIFY(!QFileInfo(path).isSymLink()); // not open yet
            QVERIFY(link.open());
            QCOMPARE(QFileInfo(path).symLinkTarget(), link.slavePath());

            Client viaLink(path);
            QVERIFY(viaLink.open());
            QVERIFY(link.write(request(45, 0, QByteArray(1, 36))));
            QVERIFY(viaLink.waitFrames(1));
            viaLink.port.close();

            link.hangUp();
            QVERIFY(!QFileInfo(path).isSymLink());
            QVERIFY(link.open());
            QCOMPARE(QFileInfo(path).symLinkTarget(), link.slavePath());
        }
        // Gone with the link.
        QVERIFY(!QFileInfo(path).isSymLink());

        // An old symlink is replaced; a regular file is left alone.
        QVERIFY(QFile::link(QStringLiteral("/nonexistent"), path));
        sim::PtyLink second;
        QVERIFY(second.open());
        QVERIFY(second.setSymlink(path));
        QCOMPARE(QFileInfo(path).symLinkTarget(), second.slavePath());
        second.hangUp();

        const QString plain = dir.filePath(QStringLiteral("plain"));
        QFile f(plain);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        sim::PtyLink third;
        QVERIFY(third.open());
        QString error;
        QVERIFY(!third.setSymlink(plain, &error));
        QVERIFY(error.contains(QLatin1String("not a symlink")));
        QVERIFY(QFileInfo(plain).isFile());
    }
};

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_sim_pty.moc"
