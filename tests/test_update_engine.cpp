// The update engine on its own: a serial port on a pseudo-terminal, the
// simulated device at the other end, no window.

#include "frame.h"
#include "serial_settings.h"
#include "test_support.h"
#include "update_engine.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// An engine on a port linked to a simulated device, and what it reported.
struct Link
{
    explicit Link(const sim::DeviceOptions &options)
        : device(start_device(options))
    {
        port.setPortName(device->slavePath());
        if (!port.open(QIODevice::ReadWrite) || !configure_serial_port(port))
            qFatal("cannot open %s", qPrintable(device->slavePath()));
        QObject::connect(&port, &QSerialPort::readyRead, &engine, &UpdateEngine::read_port);
        QObject::connect(&port, &QSerialPort::errorOccurred, &engine, &UpdateEngine::port_error);
        QObject::connect(&engine, &UpdateEngine::module_changed, [this](const QString &text) {
            events << "module " + text;
        });
        QObject::connect(&engine, &UpdateEngine::versions_known, [this](const UpdateVersions &v) {
            events << QStringLiteral("versions %1 %2 %3.%4 / %5 %6")
                          .arg(v.device_type, QString::number(v.device.wlan_version),
                               QString::number(v.device.dsp_major), QString::number(v.device.dsp_minor),
                               manifest_text(v.package_wlan).trimmed(), manifest_text(v.package_dsp).trimmed());
        });
        QObject::connect(&engine, &UpdateEngine::refused, [this] { events << "refused"; });
        QObject::connect(&engine, &UpdateEngine::check_passed, [this] { events << "fits"; });
        QObject::connect(&engine, &UpdateEngine::failed, [this](UpdateEngine::Failure, const QString &text) {
            events << "failed " + text;
        });
        QObject::connect(&engine, &UpdateEngine::link_lost, [this](const QString &, bool mid_update) {
            events << (mid_update ? "link lost mid-update" : "link lost");
        });
        QObject::connect(&engine, &UpdateEngine::completed, [this] { events << "completed"; });
    }

    bool ended() const { return engine.stage() == UpdateEngine::Stage::Ended; }

    std::unique_ptr<sim::Device> device;
    QSerialPort port;
    UpdateEngine engine{&port};
    QStringList events;
};

const QList<int> QUERIES = {CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION};

} // namespace

class UpdateEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void package_update_data();
    void package_update();
    void stops_and_sends_nothing_more_data();
    void stops_and_sends_nothing_more();
};

void UpdateEngineTest::package_update_data()
{
    QTest::addColumn<int>("device_wlan");
    QTest::addColumn<bool>("with_txu");
    QTest::addColumn<bool>("check_only");
    QTest::addColumn<QStringList>("events");

    const QString versions = "versions TXU 1650 3.12 / 1660 3.12";
    const QString wlan_versions = "versions TXU 1700 3.12 / 1660 3.12";
    QTest::newRow("update") << 1650 << true << false
                            << QStringList({versions, "module Updating WLAN Firmware...",
                                            "module Updating DSP Firmware...", "module ", "completed"});
    QTest::newRow("check only") << 1650 << true << true << QStringList({versions, "fits"});
    QTest::newRow("refused") << 1700 << true << false << QStringList({wlan_versions, "refused"});
    QTest::newRow("check of a package without the DSP image")
        << 1650 << false << true << QStringList({versions, "failed txu.ldr: No such file or directory"});
}

void UpdateEngineTest::package_update()
{
    QFETCH(int, device_wlan);
    QFETCH(bool, with_txu);
    QFETCH(bool, check_only);
    QFETCH(QStringList, events);

    QTemporaryDir dir;
    Package files;
    files.with_txu = with_txu;
    QVERIFY(files.write(dir, dir.filePath("package.zip")));
    QString error;
    std::shared_ptr<FirmwarePackage> package = FirmwarePackage::read(dir.filePath("package.zip"), &error);
    QVERIFY2(package, qPrintable(error));

    sim::DeviceOptions options = txu_device();
    options.wlanVersion = quint16(device_wlan);
    Link link(options);
    link.engine.start_update(package, check_only);
    QVERIFY(link.engine.running());
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 10000);
    QCOMPARE(link.events, events);

    if (events.last() == "completed") {
        QCOMPARE(link.device->receivedImage(UNIT_WLAN), files.wlan);
        QCOMPARE(link.device->receivedImage(UNIT_DSP), files.txu);
        QCOMPARE(link.device->violations(), QStringList());
    } else {
        QCOMPARE(codes_received(*link.device), QUERIES);
    }
}

void UpdateEngineTest::stops_and_sends_nothing_more_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("last_event");
    QTest::newRow("cancelled") << "cancel" << "module Updating WLAN Firmware...";
    QTest::newRow("silent device given up") << "silence" << "failed The device has not answered for 1 seconds: "
                                                            "the update is not complete.";
    QTest::newRow("cable pulled") << "hang up" << "link lost mid-update";
}

void UpdateEngineTest::stops_and_sends_nothing_more()
{
    QFETCH(QString, how);
    QFETCH(QString, last_event);

    QTemporaryDir dir;
    const QString path = write_file(dir, "image.bin", pattern(5000, 1));
    sim::DeviceOptions options = txu_device();
    options.ackDelayMs = how == "silence" ? 3000 : 10;
    if (how == "hang up")
        options.hangUpAt = 5;
    Link link(options);
    link.engine.set_silence_limits(200, 1000);

    QObject context;
    QObject::connect(link.device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
        if (how == "cancel" && frame_code(frame) == CMD_FW_DATA && link.device->firmwareDataFrames() == 4)
            link.engine.cancel();
    });
    link.engine.start_raw(path, UNIT_WLAN);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 5000);
    const int sent = link.device->firmwareDataFrames();
    QVERIFY2(sent <= 5, qPrintable(QString::number(sent)));

    // Acknowledgements still on their way move nothing.
    QTest::qWait(300);
    QCOMPARE(link.device->firmwareDataFrames(), sent);
    QCOMPARE(link.events.last(), last_event);
    if (how == "silence")
        QVERIFY(link.events.at(1).contains("Updating WLAN Firmware... The device has not answered"));
    QCOMPARE(link.port.isOpen(), how != "hang up");
}

QTEST_GUILESS_MAIN(UpdateEngineTest)
#include "test_update_engine.moc"
