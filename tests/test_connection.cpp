// Finding, opening and losing the device's port, with the real QSerialPort on
// a pseudo-terminal played by the simulated device.

#include "constants.h"
#include "frame.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <chrono>

namespace {

qint64 now_ns()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString device_line(TVC &window)
{
    return child<QLabel>(&window, "l_p2p_devtype")->text();
}

// What QSerialPort itself says when `name` cannot be opened.
QString open_error_of(const QString &name)
{
    QSerialPort port;
    port.setPortName(name);
    if (port.open(QIODevice::ReadWrite))
        return QString();
    return port.errorString();
}


const QString TXU_CLIENT_SLOT_1 = QStringLiteral("<b>TXU Client (Slot 1)</b><br>");

} // namespace

class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<QSerialPort::SerialPortError>(); }
    void status_request_follows_the_open_and_its_reply_is_shown();
    void a_lost_status_reply_is_asked_for_again();
    void discovery_takes_the_first_of_the_qualifying_ports();
    void nothing_found_shows_no_box();
    void open_failure_shows_the_ports_own_text();
    void fixed_port_is_the_one_candidate();
    void port_with_a_live_lock_file_is_busy();
    void service_mode_port_selector_opens_the_chosen_port();
    void refresh_resets_and_reconnects_without_doubling_handlers();
    void pulled_cable_at_level_0_resets_silently();
    void pulled_cable_at_level_2_gives_one_box_after_the_reset();
    void frames_arriving_in_pieces_or_together_are_each_decoded_once();
    void lost_byte_costs_neither_a_false_reply_nor_the_next_report();
    void false_start_in_a_report_picked_up_midway_is_not_believed_data();
    void false_start_in_a_report_picked_up_midway_is_not_believed();
    void signal_bars_paint_after_a_burst_and_before_a_box();
};

void ConnectionTest::status_request_follows_the_open_and_its_reply_is_shown()
{
    auto device = start_device();
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));
    const qint64 opened_ns = now_ns();

    QVERIFY(window.serial_port->isOpen());
    QCOMPARE(window.serial_port->baudRate(), 115200);
    QCOMPARE(window.serial_port->dataBits(), QSerialPort::Data8);
    QCOMPARE(window.serial_port->parity(), QSerialPort::NoParity);
    QCOMPARE(window.serial_port->stopBits(), QSerialPort::OneStop);
    QCOMPARE(window.serial_port->flowControl(), QSerialPort::NoFlowControl);
    QCOMPARE(device_line(window), updating_text());
    QCOMPARE(answerer.count(), 1);  // the welcome box only

    QTRY_COMPARE(device->received().size(), 1);
    const sim::ReceivedFrame request = device->received().first();
    QCOMPARE(hex(request.bytes), hex(build_command_frame(CMD_STATUS, UNIT_WLAN, 0)));
    QCOMPARE(request.bytes.size(), 112);
    const qint64 delay_ms = (request.at_ns - opened_ns) / 1000000;
    QVERIFY2(delay_ms >= 8 && delay_ms < 3000, qPrintable(QString::number(delay_ms)));

    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);
    QCOMPARE(device->malformedCount(), 0);

    // The port reports NoError too (on every open, and when its error is
    // cleared): that ends nothing.
    QSignalSpy errors(window.serial_port, &QSerialPort::errorOccurred);
    window.serial_port->clearError();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().first().value<QSerialPort::SerialPortError>(), QSerialPort::NoError);
    QVERIFY(window.serial_port->isOpen());
    QCOMPARE(device_line(window), TXU_CLIENT_SLOT_1);
}

void ConnectionTest::a_lost_status_reply_is_asked_for_again()
{
    // The device's answer to the first status request loses its start byte
    // on the line: the window asks again a second later and shows the
    // device, and asks no more once it has.
    auto device = start_device();
    device->damageNext(sim::LineFaults::Kind::Drop, 0);
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));
    QTRY_COMPARE_WITH_TIMEOUT(device_line(window), TXU_CLIENT_SLOT_1, 5000);
    QCOMPARE(codes_received(*device), QList<int>({CMD_STATUS, CMD_STATUS}));
    const qint64 apart_ms = (device->received().at(1).at_ns - device->received().at(0).at_ns) / 1000000;
    QVERIFY2(apart_ms >= 900 && apart_ms < 3000, qPrintable(QString::number(apart_ms)));
    QTest::qWait(1500);
    QCOMPARE(codes_received(*device), QList<int>({CMD_STATUS, CMD_STATUS}));
}

void ConnectionTest::discovery_takes_the_first_of_the_qualifying_ports()
{
    auto first = start_device();
    auto second = start_device();
    auto busy = start_device();
    auto lower_case = start_device();
    const QList<SerialPortEntry> ports = {
        {QStringLiteral("ttyS0"), QString(), false},
        {lower_case->slavePath(), QStringLiteral("silicon labs"), false},
        {busy->slavePath(), QStringLiteral("Silicon Labs"), true},
        {first->slavePath(), QStringLiteral("Silicon Labs CP210x"), false},
        {QStringLiteral("ttyACM0"), QStringLiteral("Some Vendor"), false},
        {second->slavePath(), QStringLiteral("A Silicon Laboratories bridge"), false},
    };
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list([ports] { return ports; }));

    QCOMPARE(items(child<QComboBox>(&window, "comportslist")),
             QStringList({first->slavePath(), second->slavePath()}));
    QTRY_COMPARE(received_with_code(*first, CMD_STATUS).size(), 1);
    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);
    for (auto *other : {second.get(), busy.get(), lower_case.get()})
        QCOMPARE(other->received().size(), 0);
    const QString tip = child<QLabel>(&window, "l_p2p_devtype")->toolTip();
    QVERIFY2(tip.contains(lower_case->slavePath()
                          + ": passed over, reports the manufacturer \"silicon labs\", not \"Silicon Lab\""),
             qPrintable(tip));
    QVERIFY2(tip.contains("ttyS0: passed over, reports no manufacturer"), qPrintable(tip));
    QVERIFY2(tip.contains(first->slavePath() + ": device bridge"), qPrintable(tip));
}

void ConnectionTest::nothing_found_shows_no_box()
{
    const QList<SerialPortEntry> ports = {{QStringLiteral("ttyS0"), QStringLiteral("Silicon Labs"), true},
                                          {QStringLiteral("ttyUSB0"), QStringLiteral("FTDI"), false}};
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list([ports] { return ports; }));
    QCOMPARE(answerer.titles(), QStringList({"Welcome"}));
    QCOMPARE(device_line(window), no_device_text());
    QVERIFY(!window.serial_port->isOpen());
    QCOMPARE(child<QComboBox>(&window, "comportslist")->count(), 0);
    // Hovering over the device line tells why.
    QCOMPARE(child<QLabel>(&window, "l_p2p_devtype")->toolTip(),
             QStringLiteral("Serial ports seen:\n"
                            "ttyS0: passed over, in use by another program\n"
                            "ttyUSB0: passed over, reports the manufacturer \"FTDI\", not \"Silicon Lab\""));

    child<QPushButton>(&window, "refresh_button")->click();
    QCOMPARE(answerer.titles(), QStringList({"Welcome"}));
    QCOMPARE(device_line(window), no_device_text());

    TVC bare(PortFinder::from_list({}));
    QCOMPARE(child<QLabel>(&bare, "l_p2p_devtype")->toolTip(), QStringLiteral("No serial ports were found."));
}

void ConnectionTest::open_failure_shows_the_ports_own_text()
{
    for (const QString &name : {QStringLiteral("/dev/tvc-test-no-such-port"), QStringLiteral("/dev/null")}) {
        const QString expected = open_error_of(name);
        QVERIFY(!expected.isEmpty());
        ModalAnswerer answerer;
        TVC window(PortFinder::from_list([name] {
            return QList<SerialPortEntry>{{name, QStringLiteral("Silicon Labs"), false}};
        }));
        QCOMPARE(answerer.titles(), QStringList({"Welcome", "Error"}));
        // The port's own words first, then which port.
        QCOMPARE(answerer.seen().at(1).text, expected + "\n\nCould not open the serial port " + name + ".");
        QCOMPARE(answerer.seen().at(1).icon, int(QMessageBox::Critical));
        QVERIFY(!window.serial_port->isOpen());
        QCOMPARE(device_line(window), no_device_text());
        // The failed port stays listed, so that it can be chosen again.
        QCOMPARE(items(child<QComboBox>(&window, "comportslist")), QStringList({name}));
    }
}

void ConnectionTest::fixed_port_is_the_one_candidate()
{
    auto device = start_device();
    ModalAnswerer answerer;
    TVC window(PortFinder::fixed(device->slavePath()));
    QCOMPARE(items(child<QComboBox>(&window, "comportslist")), QStringList({device->slavePath()}));
    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);

    // A named port that cannot be opened ends in the usual box.
    TVC missing(PortFinder::fixed(QStringLiteral("/dev/tvc-test-no-such-port")));
    QCOMPARE(answerer.titles().last(), QStringLiteral("Error"));
    QCOMPARE(device_line(missing), no_device_text());
}

void ConnectionTest::port_with_a_live_lock_file_is_busy()
{
    // Qt's own serial port leaves its lock where the busy test looks, and takes
    // it away on closing.
    auto device = start_device();
    QSerialPort held(device->slavePath());
    QVERIFY(held.open(QIODevice::ReadWrite));
    QVERIFY(port_is_locked(held.portName()));
    held.close();
    QVERIFY(!port_is_locked(held.portName()));

    // Lock files of other programs: only a living process holds the port.
    QTemporaryDir folder;
    const auto locked = [&](const QByteArray &content) {
        QFile file(folder.filePath(QStringLiteral("LCK..usb_ttyX")));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
        file.close();
        return port_is_locked(QStringLiteral("usb/ttyX"), {QStringLiteral("/tvc-no-such-folder"), folder.path()});
    };
    QVERIFY(locked(QByteArray::number(QCoreApplication::applicationPid()) + "\ntvc\n"));
    QVERIFY(locked("      " + QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
    for (const QByteArray &stale : {QByteArray("2147483647\n"), QByteArray("0\n"), QByteArray("-1\n"),
                                    QByteArray("99999999999\n"), QByteArray("tvc\n"), QByteArray()})
        QVERIFY2(!locked(stale), stale.constData());

    // Who holds it: the program the system names for the process in the lock
    // file (this test), and nobody once the file is stale.
    const QStringList folders = {folder.path()};
    QVERIFY(locked(QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
    QCOMPARE(port_lock_holder("usb/ttyX", folders),
             QStringLiteral("test_connection (process %1)").arg(QCoreApplication::applicationPid()));
    QVERIFY(!locked("2147483647\n"));
    QCOMPARE(port_lock_holder("usb/ttyX", folders), QString());
}

void ConnectionTest::service_mode_port_selector_opens_the_chosen_port()
{
    auto first = start_device();
    sim::DeviceOptions repeater;
    repeater.role = sim::Role::Repeater;
    repeater.txu = false;
    auto second = start_device(repeater);
    const QList<SerialPortEntry> ports = {{first->slavePath(), QStringLiteral("Silicon Labs"), false},
                                          {second->slavePath(), QStringLiteral("Silicon Labs"), false}};
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list([ports] { return ports; }));
    window.show();
    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);

    auto *selector = child<QComboBox>(&window, "comportslist");
    QVERIFY(!selector->isVisible());
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));
    QVERIFY(selector->isVisible());
    QVERIFY(child<QLabel>(&window, "serialport_label")->isVisible());

    // The user picks the second port with the keyboard.
    QCOMPARE(selector->currentIndex(), 0);
    QTest::keyClick(selector, Qt::Key_Down);
    QCOMPARE(selector->currentIndex(), 1);
    QTRY_COMPARE(device_line(window), QStringLiteral("<b>Repeater</b><br>"));
    QCOMPARE(received_with_code(*second, CMD_STATUS).size(), 1);
    // Choosing a port does not search again: the list is left as it was.
    QCOMPARE(items(selector), QStringList({first->slavePath(), second->slavePath()}));
}

void ConnectionTest::refresh_resets_and_reconnects_without_doubling_handlers()
{
    auto device = start_device();
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));
    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);

    // Refresh often, twice within 10 ms at the end, so that two status timers are
    // pending at once.
    for (int i = 0; i < 5; ++i) {
        child<QPushButton>(&window, "refresh_button")->click();
        QCOMPARE(device_line(window), updating_text());
        QTRY_VERIFY(received_with_code(*device, CMD_STATUS).size() >= i + 2);
    }
    child<QPushButton>(&window, "refresh_button")->click();
    child<QPushButton>(&window, "refresh_button")->click();
    QTRY_COMPARE(received_with_code(*device, CMD_STATUS).size(), 8);
    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);

    // Every reply is decoded once: a sniffer report adds exactly one line.
    auto *log = child<QPlainTextEdit>(&window, "sniffer_info");
    log->clear();
    device->sendFrame(RPL_SNIFF, UNIT_WLAN, QByteArray(12, '\1'));
    QTRY_VERIFY(!log->toPlainText().isEmpty());
    device->sendFrame(RPL_SNIFF, UNIT_WLAN, QByteArray(12, '\2'));
    QTRY_COMPARE(log->blockCount(), 2);
    QCOMPARE(log->toPlainText().count(QStringLiteral("Beacons")), 2);

    // And every error is handled once: one box at service level 2.
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));
    answerer.clear();
    device->hangUp();
    QTRY_COMPARE(answerer.titles(), QStringList({"Critical Error"}));
    QVERIFY(!window.serial_port->isOpen());
}

void ConnectionTest::pulled_cable_at_level_0_resets_silently()
{
    auto device = start_device();
    ModalAnswerer answerer;
    TVC window(bridge_for(*device));
    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);
    QVERIFY(child<QWidget>(&window, "grpbox_link")->isEnabled());

    device->hangUp();
    QTRY_COMPARE(device_line(window), no_device_text());
    QVERIFY(!window.serial_port->isOpen());
    QVERIFY(!child<QWidget>(&window, "grpbox_link")->isEnabled());
    QCOMPARE(answerer.titles(), QStringList({"Welcome"}));

    // The device is plugged in again (on a new terminal) and the user refreshes.
    QVERIFY(device->start());
    child<QPushButton>(&window, "refresh_button")->click();
    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);
}

void ConnectionTest::pulled_cable_at_level_2_gives_one_box_after_the_reset()
{
    auto device = start_device();
    ModalAnswerer answerer;
    const QString port = device->slavePath();
    TVC window(one_bridge(port));
    QTRY_COMPARE(device_line(window), TXU_CLIENT_SLOT_1);
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));
    answerer.clear();

    // While the box is open the link is already down and the display idle.
    bool port_open_during_box = true;
    QString line_during_box;
    answerer.set_inspector([&](const ModalAnswerer::Seen &) {
        port_open_during_box = window.serial_port->isOpen();
        line_during_box = device_line(window);
    });
    device->hangUp();
    QTRY_COMPARE(answerer.count(), 1);

    QVERIFY(!port_open_during_box);
    QCOMPARE(line_during_box, no_device_text());
    QCOMPARE(answerer.seen().first().title, QStringLiteral("Critical Error"));
    QCOMPARE(answerer.seen().first().icon, int(QMessageBox::Critical));
    // The port's own words, then which port.
    QVERIFY2(answerer.seen().first().text.endsWith("\n\nThe link to the device on the serial port " + port
                                                    + " was closed."),
             qPrintable(answerer.seen().first().text));
    // The port is closed, so the storm of read errors has ended: no second box.
    QTest::qWait(200);
    QCOMPARE(answerer.count(), 1);
}

void ConnectionTest::frames_arriving_in_pieces_or_together_are_each_decoded_once()
{
    sim::DeviceOptions options;
    options.role = sim::Role::Master;
    options.splitSize = 64;
    options.splitPauseMs = 2;
    auto device = start_device(options);
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));
    QTRY_COMPARE(device_line(window), QStringLiteral("<b>Master</b><br>"));
    // The master's channel report arrives in 64-byte pieces as well.
    auto *chanlist = child<QComboBox>(&window, "chanlist");
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("36"));
    // The list shows 36 before the device's channel report arrives: let its
    // last piece go out before writing past the device's own queue.
    QTRY_VERIFY(std::any_of(device->sent().cbegin(), device->sent().cend(),
                            [](const sim::SentFrame &f) { return frame_code(f.bytes) == RPL_CHANNEL; }));

    // Noise on the line, then three replies in one write.
    device->options().splitSize = 0;
    const QByteArray noise("\x01\x8d\x02", 3);
    auto frame = [](quint8 code, quint8 unit, std::initializer_list<int> args) {
        QByteArray a;
        for (int v : args)
            a.append(char(v));
        return build_frame(code, unit, a);
    };
    device->writeRaw(noise + frame(RPL_CHANNEL, 0, {149}) + frame(RPL_MUTE, 5, {1}) + frame(RPL_PHANTOM, 5, {1}));
    QTRY_COMPARE(child<QLabel>(&window, "l_ph_pwr")->styleSheet(), LED_GREEN);
    QCOMPARE(child<QLabel>(&window, "l_mute")->styleSheet(), LED_RED);
    QCOMPARE(chanlist->currentText(), QStringLiteral("149"));
    // The reported channel is not echoed back as a channel command.
    QCOMPARE(received_with_code(*device, CMD_SET_CHANNEL).size(), 0);
    QCOMPARE(device->malformedCount(), 0);

    // A burst holds painting back only briefly, and a box that opens in the
    // middle of one finds the window painting.
    QTRY_VERIFY(window.centralWidget()->updatesEnabled());
    bool painting_during_box = false;
    answerer.set_inspector([&](const ModalAnswerer::Seen &) {
        painting_during_box = window.centralWidget()->updatesEnabled();
    });
    device->writeRaw(frame(RPL_MUTE, 5, {0}) + frame(RPL_VERSION, 5, {12, 3}) + frame(RPL_PHANTOM, 5, {0}));
    QTRY_COMPARE(child<QLabel>(&window, "l_ph_pwr")->styleSheet(), LED_GREY);
    QVERIFY(painting_during_box);
    QTRY_VERIFY(window.centralWidget()->updatesEnabled());
}

void ConnectionTest::lost_byte_costs_neither_a_false_reply_nor_the_next_report()
{
    LinkedWindow linked;
    QVERIFY(linked.ready());
    auto *mute_lamp = child<QLabel>(linked.window.get(), "l_mute");
    QCOMPARE(mute_lamp->styleSheet(), LED_GREY);
    const int boxes = linked.answerer.count();

    // A sniffer report whose beacon count has the low byte 63 loses its byte 5
    // on the line, which slides 63 into the code byte; the mute report follows.
    QCOMPARE(linked.device->runCommand(QStringLiteral("drop 5")), QStringLiteral("the next frame loses byte 5"));
    linked.device->sendFrame(RPL_SNIFF, UNIT_WLAN, QByteArray::fromHex("3f04 0700 0900 0300 c4ff baff"));
    linked.device->setMuted(true);
    QTRY_COMPARE(mute_lamp->styleSheet(), LED_RED);
    QCOMPARE(linked.answerer.count(), boxes);

    // So the mute button unmutes, and no version request went out.
    child<QToolButton>(linked.window.get(), "mute_button")->click();
    QTRY_COMPARE(codes_received(*linked.device), QList<int>({CMD_UNMUTE}));
}

void ConnectionTest::false_start_in_a_report_picked_up_midway_is_not_believed_data()
{
    QTest::addColumn<bool>("pause");
    QTest::newRow("a reply right after it") << false;
    // Longer than the silence that ends a frame: the rest of the report
    // waits alone, whole, and the line is quiet after it.
    QTest::newRow("a pause after it") << true;
}

void ConnectionTest::false_start_in_a_report_picked_up_midway_is_not_believed()
{
    QFETCH(bool, pause);
    sim::DeviceOptions options;
    options.startMidFrame = 8;
    LinkedWindow linked(options);
    QVERIFY(linked.ready());
    // The port opened while the device was sending a sniffer report: its last
    // bytes begin with a false start that reads as a master's device
    // information, and the reply to the status request follows them.
    QCOMPARE(device_line(*linked.window), TXU_CLIENT_SLOT_1);

    // Again, with a report of the device's own after it.
    linked.device->runCommand(QStringLiteral("midframe"));
    if (pause)
        QTest::qWait(300);
    linked.device->setMuted(true);
    QTRY_COMPARE(child<QLabel>(linked.window.get(), "l_mute")->styleSheet(), LED_RED);
    QCOMPARE(device_line(*linked.window), TXU_CLIENT_SLOT_1);
    QCOMPARE(child<QComboBox>(linked.window.get(), "chanlist")->count(), 0);
    QVERIFY(!child<QGroupBox>(linked.window.get(), "grpbox_master")->isEnabled());
    QCOMPARE(received_with_code(*linked.device, CMD_MASTER_INFO).size(), 0);
}

void ConnectionTest::signal_bars_paint_after_a_burst_and_before_a_box()
{
    sim::DeviceOptions options;
    options.txu = false;
    options.repeaterMode = true;
    LinkedWindow linked(options);
    QVERIFY(linked.ready());
    TVC &window = *linked.window;
    child<QCheckBox>(&window, "cbox_rssi")->click();
    QTRY_COMPARE(linked.device->reportMode(), 1);
    // The device's own reports end; the box stays ticked.
    window.stop_sniffer();
    QTRY_COMPARE(linked.device->reportMode(), 0);
    auto *bar = child<QProgressBar>(&window, "progressBar");
    auto *bar_rep = child<QProgressBar>(&window, "progressBar_rep");

    // Reports and a version reply in one write: the box finds both bars
    // painting, and the bars end with the last report's levels.
    bool painting_during_box = false;
    linked.answerer.set_inspector([&](const ModalAnswerer::Seen &) {
        painting_during_box = bar->updatesEnabled() && bar_rep->updatesEnabled();
    });
    QByteArray burst;
    for (int level = -70; level <= -50; level += 5)
        burst += frame_of(RPL_SIGNAL, UNIT_WLAN, {level & 0xFF, 0xFF, (level - 3) & 0xFF, 0xFF});
    burst += frame_of(RPL_VERSION, UNIT_DSP, {12, 3});
    burst += frame_of(RPL_SIGNAL, UNIT_WLAN, {-40 & 0xFF, 0xFF, -44 & 0xFF, 0xFF});
    linked.device->writeRaw(burst);
    QTRY_COMPARE(bar->value(), -40);
    QVERIFY(painting_during_box);
    QCOMPARE(bar_rep->value(), -44);
    QTRY_VERIFY(bar->updatesEnabled() && bar_rep->updatesEnabled());
}

QTEST_MAIN(ConnectionTest)
#include "test_connection.moc"
