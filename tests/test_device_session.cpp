// The device session on its own, without a window: what each reply makes of
// the device's state, and what the session sends and forgets.

#include "device_session.h"
#include "frame.h"
#include "report_log.h"
#include "test_support.h"

#include <QSerialPort>
#include <QtTest>

namespace {

// The fields of the state a view reads, in one line.
QString summary(const DeviceState &s)
{
    return QStringLiteral("info %1 txu %2 role %3 slot %4 rep %5 link %6 48v %7 mute %8 audio %9/%10/%11 "
                          "channel %12/%13 levels %14 %15 %16 wlan %17/%18 dsp %19/%20.%21 temp %22/%23")
        .arg(s.info_known).arg(s.is_txu).arg(s.role).arg(s.slot).arg(s.rep_mode).arg(s.link_state)
        .arg(s.ph_pwr).arg(s.muted).arg(s.audio_known).arg(s.input).arg(s.hi_z)
        .arg(s.channel_known).arg(s.rf_channel).arg(s.level_a).arg(s.level_b).arg(s.levels_live)
        .arg(s.wlan_known).arg(s.wlan_version).arg(s.dsp_known).arg(s.dsp_major).arg(s.dsp_minor)
        .arg(s.temperature_known).arg(s.temperature);
}

// The state after `frames`, with `changes` applied to a fresh one.
QString expected(std::function<void(DeviceState &)> changes)
{
    DeviceState s;
    changes(s);
    return summary(s);
}

} // namespace

class DeviceSessionTest : public QObject
{
    Q_OBJECT

private slots:
    void replies_make_the_state_data();
    void replies_make_the_state();
    void a_session_linked_to_a_device();
    void the_status_is_asked_again_on_resuming_data();
    void the_status_is_asked_again_on_resuming();
    void a_late_report_goes_stale_data();
    void a_late_report_goes_stale();
    void reports_waiting_at_the_open_are_not_recorded();
};

void DeviceSessionTest::replies_make_the_state_data()
{
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QString>("state");

    using F = QList<QByteArray>;
    QTest::newRow("TXU client, muted, +48V, Hi-Z")
        << F{frame_of(RPL_DEVICE_INFO, UNIT_WLAN, {0x15, 0x72, 0x85})} << expected([](DeviceState &s) {
               s.info_known = s.is_txu = s.muted = s.ph_pwr = s.audio_known = s.hi_z = true;
               s.role = 1, s.slot = 1, s.link_state = 2, s.input = 0x85;
           });
    QTest::newRow("RXU client in repeater mode: the whole byte 9 is the link")
        << F{frame_of(RPL_DEVICE_INFO, UNIT_WLAN, {0x39, 0x73})} << expected([](DeviceState &s) {
               s.info_known = s.rep_mode = true;
               s.role = 1, s.slot = 3, s.link_state = 0x73;
           });
    QTest::newRow("link state, audio with Hi-Z only while +48V is on")
        << F{frame_of(RPL_LINK_STATE, UNIT_WLAN, {1}), frame_of(RPL_AUDIO, UNIT_DSP, {0x05, 1}),
             frame_of(RPL_PHANTOM, UNIT_DSP, {1}), frame_of(RPL_AUDIO, UNIT_DSP, {0x86, 1})}
        << expected([](DeviceState &s) {
               s.link_state = 1, s.ph_pwr = s.audio_known = s.hi_z = true, s.input = 0x86;
           });
    QTest::newRow("mute and channel") << F{frame_of(RPL_MUTE, UNIT_DSP, {1}), frame_of(RPL_CHANNEL, UNIT_WLAN, {149})}
                                      << expected([](DeviceState &s) {
                                             s.muted = s.channel_known = true, s.rf_channel = 149;
                                         });
    QTest::newRow("signal without repeater mode: level B is no reading; 0 is no reading")
        << F{frame_of(RPL_SIGNAL, UNIT_WLAN, {0xC4, 0xFF, 0xC4, 0xFF}), frame_of(RPL_SIGNAL, UNIT_WLAN, {0, 0, 1, 0})}
        << expected([](DeviceState &s) { s.level_a = s.level_b = SIGNAL_NO_READING, s.levels_live = true; });
    QTest::newRow("signal in repeater mode")
        << F{frame_of(RPL_DEVICE_INFO, UNIT_WLAN, {0x09, 2}), frame_of(RPL_SIGNAL, UNIT_WLAN, {0xC4, 0xFF, 0xBA, 0xFF})}
        << expected([](DeviceState &s) {
               s.info_known = s.rep_mode = s.levels_live = true, s.role = 1, s.link_state = 2;
               s.level_a = -60, s.level_b = -70;
           });
    QTest::newRow("versions: unit 0 the WLAN's, any other the DSP's")
        << F{frame_of(RPL_VERSION, UNIT_WLAN, {0x40, 0x06}), frame_of(RPL_VERSION, 1, {12, 3})}
        << expected([](DeviceState &s) {
               s.wlan_known = s.dsp_known = true, s.wlan_version = 1600, s.dsp_major = 3, s.dsp_minor = 12;
           });
    QTest::newRow("temperature, signed") << F{frame_of(RPL_TEMPERATURE, UNIT_WLAN, {0xFF, 0xFF})}
                                         << expected([](DeviceState &s) { s.temperature_known = true, s.temperature = -1; });
    QTest::newRow("sniffer, firmware and unknown replies change nothing")
        << F{frame_of(RPL_SNIFF, UNIT_WLAN, {1, 2, 3, 4}), frame_of(RPL_FW_ACK, UNIT_WLAN, {1, 0}),
             frame_of(200, UNIT_WLAN, {42})}
        << expected([](DeviceState &) {});
}

void DeviceSessionTest::replies_make_the_state()
{
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QString, state);
    DeviceSession session;
    QSignalSpy replies(&session, &DeviceSession::reply);
    for (const QByteArray &frame : frames)
        session.decode(frame);
    QCOMPARE(summary(session.state()), state);
    // Every frame is told to the views, once.
    QCOMPARE(replies.count(), frames.size());
}

void DeviceSessionTest::a_session_linked_to_a_device()
{
    // A master on a pseudo-terminal: the session asks for the status, then
    // for the channel; the guard drops a second press; a failing port ends
    // the link and forgets the device.
    sim::DeviceOptions options;
    options.role = sim::Role::Master;
    options.channel = 44;
    auto device = start_device(options);
    DeviceSession session;
    QSignalSpy resets(&session, &DeviceSession::reset);
    QSignalSpy failures(&session, &DeviceSession::port_failed);
    QString error;
    QVERIFY2(session.open(device->slavePath(), &error), qPrintable(error));
    QTRY_VERIFY(session.state().info_known && session.state().channel_known);
    QCOMPARE(session.state().role, quint8(0));
    QCOMPARE(session.state().rf_channel, quint8(44));
    QCOMPARE(codes_received(*device), QList<int>({CMD_STATUS, CMD_MASTER_INFO}));

    QVERIFY(session.press_mute());
    QVERIFY(!session.press_gain(true));
    QTRY_COMPARE(codes_received(*device).size(), 3);
    QCOMPARE(codes_received(*device).last(), int(CMD_MUTE));
    QTRY_VERIFY(session.state().muted);

    device->hangUp();
    QTRY_COMPARE(failures.count(), 1);
    QVERIFY(!session.is_open());
    QVERIFY(session.port_lost());
    QVERIFY(!session.state().info_known);
    QVERIFY(!session.state().muted);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(resets.first().first().toBool(), true);
}

void DeviceSessionTest::the_status_is_asked_again_on_resuming_data()
{
    QTest::addColumn<bool>("request_out");
    // The firmware dialog takes the port as the device is connected: before
    // the status request goes out, or after, reading the answer itself.
    // Once the port is back the device is asked again, as on connecting,
    // instead of staying unknown until it is plugged in again.
    QTest::newRow("suspended before the request") << false;
    QTest::newRow("the answer read while suspended") << true;
}

void DeviceSessionTest::the_status_is_asked_again_on_resuming()
{
    QFETCH(bool, request_out);
    auto device = start_device(sim::DeviceOptions());
    DeviceSession session;
    QObject::connect(device.get(), &sim::Device::frameReceived, &session, [&](const QByteArray &frame) {
        if (request_out && frame_code(frame) == CMD_STATUS && codes_received(*device).size() == 1)
            session.suspend();
    });
    QString error;
    QVERIFY2(session.open(device->slavePath(), &error), qPrintable(error));
    if (request_out) {
        QTRY_VERIFY(session.suspended());
        QTRY_VERIFY(session.port()->bytesAvailable() >= FRAME_SIZE);
        session.port()->readAll();
        // Past the time the request would have gone out again.
        QTest::qWait(DeviceSession::STATUS_AGAIN_MS + 500);
    } else {
        session.suspend();
        // Past the time the request goes out after an open.
        QTest::qWait(DeviceSession::STATUS_DELAY_MS * 20);
    }
    QVERIFY(!session.state().info_known);
    QCOMPARE(codes_received(*device).count(CMD_STATUS), request_out ? 1 : 0);

    session.resume();
    QTRY_VERIFY(session.state().info_known);
    QCOMPARE(codes_received(*device).count(CMD_STATUS), request_out ? 2 : 1);
}

void DeviceSessionTest::a_late_report_goes_stale_data()
{
    QTest::addColumn<int>("mode");
    // A report already on its way when the reports are switched off or the
    // sniffer takes them over arrives after the change.
    QTest::newRow("reports switched off") << int(REPORT_OFF);
    QTest::newRow("the sniffer took over") << 2;
}

void DeviceSessionTest::a_late_report_goes_stale()
{
    QFETCH(int, mode);
    sim::DeviceOptions options;
    options.txu = false;
    options.reportPeriodMs = 50;
    auto device = start_device(options);
    DeviceSession session;
    QString error;
    QVERIFY2(session.open(device->slavePath(), &error), qPrintable(error));
    QTRY_VERIFY(session.state().info_known);
    session.set_signal_reports(true);
    QTRY_VERIFY(session.state().levels_live);
    if (mode == REPORT_OFF)
        session.set_signal_reports(false);
    else
        session.start_sniffer(quint8(mode));
    QVERIFY(!session.state().levels_live);
    QSignalSpy stale(&session, &DeviceSession::levels_stale);
    session.decode(frame_of(RPL_SIGNAL, UNIT_WLAN, {0xC4, 0xFF, 0, 0}));
    // Its level is no longer live once no report has followed for a while,
    // as while the reports were on.
    QTRY_VERIFY_WITH_TIMEOUT(!session.state().levels_live, DeviceSession::LEVELS_STALE_MS * 3);
    QCOMPARE(session.state().level_a, SIGNAL_NO_READING);
    QCOMPARE(stale.count(), 1);
}

void DeviceSessionTest::reports_waiting_at_the_open_are_not_recorded()
{
    // An earlier program asked an RXU for signal reports and went; the device
    // kept reporting to a port nobody read. A user saw those reports recorded
    // at one instant, as a spike. They predate the session: none is recorded,
    // and those that come after the status request are, each at its time.
    sim::DeviceOptions options;
    options.txu = false;
    options.reportPeriodMs = 10;
    options.signalLevel = -77;
    auto device = start_device(options);
    {
        QSerialPort earlier;
        earlier.setPortName(device->slavePath());
        QVERIFY(earlier.open(QIODevice::ReadWrite));
        earlier.write(request(CMD_REPORT_MODE, UNIT_WLAN, QByteArray(1, char(REPORT_SIGNAL))));
        QTRY_COMPARE(device->reportMode(), int(REPORT_SIGNAL));
    }
    QTRY_VERIFY(received_with_code(*device, CMD_REPORT_MODE).size() == 1 && device->sent().size() >= 30);
    // From the status request on, the device reports another level.
    connect(device.get(), &sim::Device::frameReceived, this, [&device](const QByteArray &frame) {
        if (frame_code(frame) == CMD_STATUS)
            device->options().signalLevel = -44;
    });
    ReportLog log;
    DeviceSession session;
    session.set_history(&log);
    QString error;
    QVERIFY2(session.open(device->slavePath(), &error), qPrintable(error));
    QMultiMap<int, qint64> levels;  // the time of each report, by its level
    QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                 levels.clear();
                                 ReportLog::Cursor cursor = log.begin();
                                 for (Record r; cursor.next(&r);)
                                     if (r.kind == RecordKind::Signal)
                                         levels.insert(r.fields[0], r.time_ms);
                                 return levels.count(-44) >= 20;
                             }()),
                             10000);
    // One report may have left before the request reached the device.
    QVERIFY2(levels.count(-77) <= 1, qPrintable(QString::number(levels.count(-77))));
    const QList<qint64> times = levels.values(-44);
    QVERIFY(QSet<qint64>(times.begin(), times.end()).size() >= times.size() / 2);
}

QTEST_GUILESS_MAIN(DeviceSessionTest)
#include "test_device_session.moc"
