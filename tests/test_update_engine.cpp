// The update engine on its own: a serial port on a pseudo-terminal, the
// simulated device at the other end, no window.

#include "frame.h"
#include "serial_settings.h"
#include "test_support.h"
#include "update_engine.h"

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

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
        QObject::connect(&engine, &UpdateEngine::notice_changed, [this](UpdateEngine::Notice notice, int seconds) {
            events << QStringLiteral("notice %1 %2").arg(int(notice)).arg(seconds);
        });
        QObject::connect(&engine, &UpdateEngine::image_started, [this](quint8 unit, qint64 size) {
            events << QStringLiteral("image %1 %2").arg(unit).arg(size);
        });
        QObject::connect(&engine, &UpdateEngine::progress, [this](qint64 done, qint64 total, qint64 seconds_left) {
            progress << Step{engine.unit(), done, total, seconds_left};
        });
        QObject::connect(&engine, &UpdateEngine::versions_known, [this](const UpdateVersions &v) {
            events << QStringLiteral("versions %1 %2 %3.%4 / %5 %6")
                          .arg(v.device_type, QString::number(v.device.wlan_version),
                               QString::number(v.device.dsp_major), QString::number(v.device.dsp_minor),
                               manifest_text(v.package_wlan).trimmed(), manifest_text(v.package_dsp).trimmed());
        });
        QObject::connect(&engine, &UpdateEngine::refused, [this] { events << "refused"; });
        QObject::connect(&engine, &UpdateEngine::check_passed, [this] { events << "fits"; });
        QObject::connect(&engine, &UpdateEngine::failed, [this](UpdateEngine::Failure failure, const QString &detail) {
            events << QStringLiteral("failed %1 %2").arg(int(failure)).arg(detail);
        });
        QObject::connect(&engine, &UpdateEngine::link_lost, [this](const QString &, bool mid_update) {
            events << (mid_update ? "link lost mid-update" : "link lost");
        });
        QObject::connect(&engine, &UpdateEngine::completed, [this] { events << "completed"; });
    }

    bool ended() const { return engine.stage() == UpdateEngine::Stage::Ended; }

    // One progress report: the unit being sent, bytes acknowledged, the
    // image's size, the seconds the whole update still needs.
    struct Step
    {
        quint8 unit;
        qint64 done;
        qint64 total;
        qint64 seconds_left;
    };

    std::unique_ptr<sim::Device> device;
    QSerialPort port;
    UpdateEngine engine{&port};
    QStringList events;
    QList<Step> progress;
};

// A package of the test package's manifest with these images.
std::shared_ptr<FirmwarePackage> package_with(const QTemporaryDir &dir, const QByteArray &wlan, const QByteArray &txu)
{
    Package files;
    files.wlan = wlan;
    files.txu = txu;
    if (!files.write(dir, dir.filePath("package.zip")))
        return nullptr;
    QString error;
    return FirmwarePackage::read(dir.filePath("package.zip"), &error);
}

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
    void progress_is_the_bytes_acknowledged();
    void time_left_covers_both_images();
    void a_damaged_report_is_no_confirmation();
    void each_silence_is_noticed();
    void a_reply_paused_inside_itself_is_waited_for_data();
    void a_reply_paused_inside_itself_is_waited_for();
    void an_unanswered_question_is_asked_again();
    void a_damaged_acknowledgement_ends_the_update_at_once();
    void a_stray_acknowledgement_read_with_the_awaited_one_data();
    void a_stray_acknowledgement_read_with_the_awaited_one();
    void the_dsp_version_comes_from_the_dsp_data();
    void the_dsp_version_comes_from_the_dsp();
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
                            << QStringList({versions, "image 0 1234", "image 5 777", "completed"});
    QTest::newRow("check only") << 1650 << true << true << QStringList({versions, "fits"});
    QTest::newRow("refused") << 1700 << true << false << QStringList({wlan_versions, "refused"});
    QTest::newRow("check of a package without the DSP image")
        << 1650 << false << true << QStringList({versions, "failed 0 The package package.zip has no txu.ldr."});
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
    // Image data went out only where an image started.
    QCOMPARE(link.engine.data_sent(), events.last() == "completed");

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
    QTest::newRow("cancelled") << "cancel" << "image 0 5000";
    QTest::newRow("silent device given up") << "silence" << "failed 2 ";
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
    // The silent device was noticed before it was given up.
    if (how == "silence")
        QCOMPARE(link.events, QStringList({"image 0 5000", "notice 1 0", "failed 2 "}));
    QCOMPARE(link.port.isOpen(), how != "hang up");
}

void UpdateEngineTest::progress_is_the_bytes_acknowledged()
{
    // A WLAN image that ends in a short chunk, a DSP image of one chunk and
    // a byte, one of exactly one chunk: each acknowledgement reports the bytes
    // up to the end of its chunk, and the last one the whole image.
    QTemporaryDir dir;
    const std::shared_ptr<FirmwarePackage> package = package_with(dir, pattern(250, 1), pattern(101, 2));
    QVERIFY(package);
    Link link(txu_device());
    link.engine.start_update(package);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 10000);
    QCOMPARE(link.events.last(), QString("completed"));

    QStringList steps;
    for (const Link::Step &step : std::as_const(link.progress))
        steps << QStringLiteral("%1:%2/%3").arg(step.unit).arg(step.done).arg(step.total);
    QCOMPARE(steps, QStringList({"0:100/250", "0:200/250", "0:250/250", "5:100/101", "5:101/101"}));

    Link raw(txu_device());
    raw.engine.start_raw(write_file(dir, "one.bin", pattern(100, 3)), UNIT_WLAN);
    QTRY_VERIFY_WITH_TIMEOUT(raw.ended(), 10000);
    QCOMPARE(raw.progress.size(), 1);
    QCOMPARE(raw.progress.first().done, qint64(100));
}

void UpdateEngineTest::time_left_covers_both_images()
{
    // Two images of 40 chunks each, every acknowledgement held 30 ms: about
    // 1.2 s each, so that an estimate (it needs a second of history) is known
    // before the WLAN image ends.
    QTemporaryDir dir;
    const std::shared_ptr<FirmwarePackage> package = package_with(dir, pattern(4000, 4), pattern(4000, 5));
    QVERIFY(package);
    sim::DeviceOptions options = txu_device();
    options.ackDelayMs = 30;
    Link link(options);
    link.engine.start_update(package);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 30000);
    QCOMPARE(link.events.last(), QString("completed"));

    // As the WLAN image completes, the DSP image is still ahead: a whole
    // image's time, not nothing. The estimate goes on into the DSP image
    // rather than starting again from "not known".
    const auto wlan_end = std::find_if(link.progress.cbegin(), link.progress.cend(), [](const Link::Step &step) {
        return step.unit == UNIT_WLAN && step.done == step.total;
    });
    QVERIFY(wlan_end != link.progress.cend());
    QVERIFY2(wlan_end->seconds_left >= 1, qPrintable(QString::number(wlan_end->seconds_left)));
    const Link::Step dsp_first = *(wlan_end + 1);
    QCOMPARE(dsp_first.unit, quint8(UNIT_DSP));
    QVERIFY2(dsp_first.seconds_left >= 1, qPrintable(QString::number(dsp_first.seconds_left)));
    QCOMPARE(link.engine.seconds_left(), qint64(0));
}

void UpdateEngineTest::a_damaged_report_is_no_confirmation()
{
    // While the device commits its flash, a signal report loses its code
    // byte on the line: its first argument (94) now stands where the code
    // was, and silence hands it out. Only the device's own confirmation
    // completes the update.
    QTemporaryDir dir;
    const QString path = write_file(dir, "image.ldr", pattern(250, 2));
    sim::DeviceOptions options = txu_device();
    options.finishDelayMs = 1500;
    Link link(options);
    QElapsedTimer clock;
    qint64 confirmed_at = -1;
    qint64 completed_at = -1;
    QObject::connect(link.device.get(), &sim::Device::frameSent, [&](const QByteArray &frame) {
        if (frame_code(frame) == RPL_FW_DONE)
            confirmed_at = clock.elapsed();
    });
    QObject::connect(link.device.get(), &sim::Device::frameReceived, [&](const QByteArray &frame) {
        if (frame_code(frame) != CMD_FW_FINISH)
            return;
        QByteArray report = frame_of(RPL_SIGNAL, UNIT_WLAN, {94, 0xFF, 0, 0});
        report.remove(7, 1);
        link.device->writeRaw(report);
    });
    QObject::connect(&link.engine, &UpdateEngine::completed, [&] { completed_at = clock.elapsed(); });
    clock.start();
    link.engine.start_raw(path, UNIT_DSP);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 10000);
    QCOMPARE(link.events.last(), QString("completed"));
    QVERIFY2(confirmed_at >= 0 && completed_at >= confirmed_at,
             qPrintable(QStringLiteral("confirmed at %1 ms, completed at %2 ms").arg(confirmed_at).arg(completed_at)));
}

void UpdateEngineTest::each_silence_is_noticed()
{
    // Every acknowledgement takes 600 ms; the device is called silent after
    // 400 ms: each of the five chunks' waits is noticed, not only the first.
    QTemporaryDir dir;
    const QString path = write_file(dir, "image.bin", pattern(500, 1));
    sim::DeviceOptions options = txu_device();
    options.ackDelayMs = 600;
    Link link(options);
    link.engine.set_silence_limits(400, 5000);
    int notices = 0;
    QObject::connect(&link.engine, &UpdateEngine::notice_changed, [&](UpdateEngine::Notice notice, int) {
        notices += notice == UpdateEngine::Notice::None ? 0 : 1;
    });
    link.engine.start_raw(path, UNIT_WLAN);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 15000);
    QCOMPARE(link.events.last(), QString("completed"));
    QCOMPARE(notices, 5);
}

void UpdateEngineTest::a_reply_paused_inside_itself_is_waited_for_data()
{
    QTest::addColumn<int>("piece");
    QTest::addColumn<int>("pause_ms");
    // A user's device answered in pieces of 64 and 48 bytes, 45 ms apart:
    // the first reply was thrown away and the update failed although the
    // device had answered. A pause among the meaningful bytes is waited
    // for; one in the padding lets silence end the reply.
    QTest::newRow("64 + 48 bytes, 45 ms apart") << 64 << 45;
    QTest::newRow("pieces of 5 bytes, 45 ms apart") << 5 << 45;
}

void UpdateEngineTest::a_reply_paused_inside_itself_is_waited_for()
{
    QFETCH(int, piece);
    QFETCH(int, pause_ms);
    QTemporaryDir dir;
    const QByteArray wlan = pattern(100, 3);
    const QByteArray txu = pattern(50, 4);
    const auto package = package_with(dir, wlan, txu);
    QVERIFY(package);
    sim::DeviceOptions options = txu_device();
    options.splitSize = piece;
    options.splitPauseMs = pause_ms;
    Link link(options);
    link.engine.start_update(package);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 30000);
    QCOMPARE(link.events.last(), QString("completed"));
    QCOMPARE(link.device->receivedImage(UNIT_WLAN), wlan);
    QCOMPARE(link.device->receivedImage(UNIT_DSP), txu);
}

void UpdateEngineTest::an_unanswered_question_is_asked_again()
{
    // Each question's first answer is lost on the line (its start byte
    // gone); the question goes out again and the update goes on. The
    // answers that do come move it forward once each.
    QTemporaryDir dir;
    const QByteArray wlan = pattern(150, 5);
    const QByteArray txu = pattern(50, 6);
    const auto package = package_with(dir, wlan, txu);
    QVERIFY(package);
    Link link(txu_device());
    QObject::connect(link.device.get(), &sim::Device::frameReceived, [&](const QByteArray &frame) {
        static int asked[256];
        if ((frame_code(frame) == CMD_DEVICE_TYPE || frame_code(frame) == CMD_VERSION)
            && asked[frame_code(frame) + frame_unit(frame)]++ == 0)
            link.device->damageNext(sim::LineFaults::Kind::Drop, 0);
    });
    link.engine.start_update(package);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 20000);
    QCOMPARE(link.events.last(), QString("completed"));
    QCOMPARE(codes_received(*link.device).mid(0, 6),
             QList<int>({CMD_DEVICE_TYPE, CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION, CMD_VERSION, CMD_VERSION}));
    QCOMPARE(link.device->receivedImage(UNIT_WLAN), wlan);
}

void UpdateEngineTest::a_damaged_acknowledgement_ends_the_update_at_once()
{
    // The sequence number of the 20th acknowledgement is flipped on the line
    // (tvc-sim --fault-code 92 --flip-every 20 --fault-byte 8). The device
    // then waits for chunk 20, which the program cannot tell from chunk 19:
    // the update ends within about a second, naming the chunk, instead of
    // after the give-up time.
    QTemporaryDir dir;
    const QString path = write_file(dir, "image.bin", pattern(5000, 7));
    sim::DeviceOptions options = txu_device();
    options.faultCode = RPL_FW_ACK;
    options.flipEvery = 20;
    options.faultByte = 8;
    Link link(options);
    QElapsedTimer clock;
    clock.start();
    link.engine.start_raw(path, UNIT_WLAN);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 20000);
    QCOMPARE(link.events.last(), QStringLiteral("failed %1 ").arg(int(UpdateEngine::Failure::Damaged)));
    QCOMPARE(link.engine.chunk_in_flight(), 19);
    QCOMPARE(link.engine.chunks_in_image(), 50);
    QVERIFY2(clock.elapsed() < UpdateEngine::GIVE_UP_MS / 3, qPrintable(QString::number(clock.elapsed())));
}

void UpdateEngineTest::a_stray_acknowledgement_read_with_the_awaited_one_data()
{
    QTest::addColumn<bool>("stray_first");
    QTest::addColumn<int>("stray_sequence");
    // Chunk 1's acknowledgement comes in one read with another: noise that
    // reads as an acknowledgement before it, or a late repeat of chunk 0's
    // after it. The last chunk's acknowledgement then takes longer than the
    // wait for a damaged answer: chunk 1 was answered, and the last chunk
    // is, late; the update completes.
    QTest::newRow("noise before the awaited acknowledgement") << true << 0x1234;
    QTest::newRow("a late repeat of chunk 0 after it") << false << 0;
}

void UpdateEngineTest::a_stray_acknowledgement_read_with_the_awaited_one()
{
    QFETCH(bool, stray_first);
    QFETCH(int, stray_sequence);
    QTemporaryDir dir;
    const QByteArray image = pattern(300, 8);
    const QString path = write_file(dir, "image.bin", image);
    Link link(txu_device());
    const QByteArray stray = frame_of(RPL_FW_ACK, UNIT_WLAN, {stray_sequence & 0xFF, stray_sequence >> 8});
    // The late repeat goes out in one write with chunk 1's acknowledgement,
    // so that the program reads both at once however busy the machine is;
    // the device's own acknowledgement of chunk 1 then follows as a repeat.
    const QByteArray ack_1 = frame_of(RPL_FW_ACK, UNIT_WLAN, {1, 0});
    QObject::connect(link.device.get(), &sim::Device::frameReceived, [&](const QByteArray &frame) {
        if (frame_code(frame) != CMD_FW_DATA)
            return;
        if (frame_u16(frame, 8) == 1)
            link.device->writeRaw(stray_first ? stray : ack_1 + stray);
        if (frame_u16(frame, 8) == LAST_CHUNK)
            link.device->options().ackDelayMs = UpdateEngine::DAMAGED_ANSWER_MS + 800;
    });
    link.engine.start_raw(path, UNIT_WLAN);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 10000);
    QCOMPARE(link.events.last(), QString("completed"));
    QCOMPARE(link.device->receivedImage(UNIT_WLAN), image);
}

void UpdateEngineTest::the_dsp_version_comes_from_the_dsp_data()
{
    QTest::addColumn<bool>("wlan_asked_twice");
    QTest::addColumn<int>("version_questions");
    // The WLAN question's first answer is lost and the question goes out
    // again; a late answer to it, its unit byte damaged on the line (0 became
    // 4), then comes before the DSP's answer and must not pass for it.
    QTest::newRow("WLAN asked twice, a late WLAN answer before the DSP's") << true << 3;
    // Asked once, no late WLAN answer can come: the DSP's answer counts
    // whatever its unit byte became (5 became 250).
    QTest::newRow("WLAN asked once, the DSP's answer damaged in its unit") << false << 2;
}

void UpdateEngineTest::the_dsp_version_comes_from_the_dsp()
{
    QFETCH(bool, wlan_asked_twice);
    QFETCH(int, version_questions);
    QTemporaryDir dir;
    const auto package = package_with(dir, pattern(100, 3), pattern(50, 4));
    QVERIFY(package);
    Link link(txu_device());
    int wlan_asked = 0;
    QObject::connect(link.device.get(), &sim::Device::frameReceived, [&](const QByteArray &frame) {
        if (frame_code(frame) != CMD_VERSION)
            return;
        if (frame_unit(frame) == UNIT_WLAN && ++wlan_asked == 1 && wlan_asked_twice)
            link.device->damageNext(sim::LineFaults::Kind::Drop, 0);
        if (frame_unit(frame) == UNIT_DSP && wlan_asked_twice)
            link.device->writeRaw(frame_of(RPL_VERSION, 4, {1650 & 0xFF, 1650 >> 8}));
        if (frame_unit(frame) == UNIT_DSP && !wlan_asked_twice)
            link.device->damageNext(sim::LineFaults::Kind::Flip, 5);
    });
    link.engine.start_update(package, true);
    QTRY_VERIFY_WITH_TIMEOUT(link.ended(), 10000);
    QCOMPARE(link.events, QStringList({"versions TXU 1650 3.12 / 1660 3.12", "fits"}));
    QCOMPARE(codes_received(*link.device).count(CMD_VERSION), version_questions);
}

QTEST_GUILESS_MAIN(UpdateEngineTest)
#include "test_update_engine.moc"
