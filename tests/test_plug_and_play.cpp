// The window connects on its own when the device is plugged in, with the
// simulated device making and removing its terminal and a symlink to it.

#include "frame.h"
#include "port_watcher.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QDir>
#include <QLabel>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

static int status_requests(const sim::Device &device)
{
    return received_with_code(device, CMD_STATUS).size();
}

class PlugAndPlayTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<QSerialPort::SerialPortError>(); }
    void plugging_in_connects_once_each_time_and_after_the_firmware_dialog();
    void named_port_that_cannot_be_opened_yet_is_tried_once_more();
};

void PlugAndPlayTest::plugging_in_connects_once_each_time_and_after_the_firmware_dialog()
{
    QTemporaryDir dir;
    sim::DeviceOptions options;
    options.symlinkPath = dir.filePath(QStringLiteral("ttyUSB0"));
    sim::Device device(options);
    device.setQuiet(true);
    // The bridge is listed while the device is plugged in, and appears in `dir`.
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list([&device] {
        return device.isConnected() ? QList<SerialPortEntry>{{device.slavePath(), "Silicon Labs", false}}
                                    : QList<SerialPortEntry>{};
    }, {dir.path()}));
    auto *line = child<QLabel>(&window, "l_p2p_devtype");
    QSignalSpy looks(window.findChild<PortWatcher *>(), &PortWatcher::ports_changed);

    for (int plugged = 1; plugged <= 2; ++plugged) {
        QCOMPARE(line->text(), no_device_text());
        QVERIFY(device.start());
        QTRY_COMPARE(line->text(), QStringLiteral("<b>TXU Client (Slot 1)</b><br>"));
        QCOMPARE(status_requests(device), plugged);
        device.hangUp();
        QTRY_COMPARE(line->text(), no_device_text());
    }
    QCOMPARE(answerer.titles(), QStringList({"Welcome"}));

    // Unplugged and plugged in while the firmware dialog has the port: it is
    // left alone until the dialog closes, and taken then.
    QVERIFY(device.start());
    QTRY_COMPARE(status_requests(device), 3);
    const FirmwareDialogRun run = run_firmware_dialog(window, [&](QDialog *) {
        int before = looks.count();
        device.hangUp();
        QTRY_VERIFY(!window.serial_port->isOpen() && looks.count() > before);
        before = looks.count();
        QVERIFY(device.start());
        QTRY_VERIFY(looks.count() > before);
        QVERIFY(!window.serial_port->isOpen());
        QCOMPARE(status_requests(device), 3);
    });
    QVERIFY(run.dialog_shown);
    QTRY_COMPARE(line->text(), QStringLiteral("<b>TXU Client (Slot 1)</b><br>"));
    QCOMPARE(status_requests(device), 4);
    QCOMPARE(answerer.titles(), QStringList({"Welcome"}));
}

void PlugAndPlayTest::named_port_that_cannot_be_opened_yet_is_tried_once_more()
{
    // Named by a link in a directory that comes with the device, as udev's by-id links.
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("by-id/tavero"));
    ModalAnswerer answerer;
    TVC window(PortFinder::fixed(link));
    QCOMPARE(answerer.titles(), QStringList({"Welcome", "Error"}));  // not there at start-up
    answerer.clear();
    QSignalSpy looks(window.findChild<PortWatcher *>(), &PortWatcher::ports_changed);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("by-id")));
    QTRY_COMPARE(looks.count(), 1);

    // Shows up before it can be opened: a quiet failure, then one retry finds it usable.
    QSignalSpy errors(window.serial_port, &QSerialPort::errorOccurred);
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
    QTRY_VERIFY(!errors.isEmpty());
    sim::DeviceOptions options;
    options.symlinkPath = link;
    auto device = start_device(options);
    QTRY_COMPARE(status_requests(*device), 1);
    // Off and straight back on, as a device that restarts its USB bridge: the
    // same name, and yet plugged in anew.
    device->replug(0);
    QTRY_COMPARE(status_requests(*device), 2);
    QCOMPARE(answerer.count(), 0);

    // Pulled, and back as a port that stays unusable: one box after the retry,
    // and neither other changes beside it nor time bring it back.
    device->hangUp();
    QTRY_COMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), no_device_text());
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
    QTRY_COMPARE(answerer.titles(), QStringList({"Error"}));
    errors.clear();
    const int before = looks.count();
    QVERIFY(QFile(dir.filePath(QStringLiteral("by-id/other"))).open(QIODevice::WriteOnly));
    QTRY_VERIFY(looks.count() > before);
    QTest::qWait(1500);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(answerer.count(), 1);
}

QTEST_MAIN(PlugAndPlayTest)
#include "test_plug_and_play.moc"
