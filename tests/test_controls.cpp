// The panel controls: what each sends, the one-second mute/gain guard, and
// the channel list that never echoes the device's own channel.

#include "constants.h"
#include "frame.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

struct Linked : LinkedWindow
{
    using LinkedWindow::LinkedWindow;
    // Frames the device received, as "code/unit/argument" texts.
    QStringList sent() const
    {
        QStringList list;
        for (const sim::ReceivedFrame &frame : device->received()) {
            const QByteArray &f = frame.bytes;
            QString text = QStringLiteral("%1/%2").arg(quint8(f.at(7))).arg(quint8(f.at(5)));
            if (quint8(f.at(3)) > 1)
                text += QStringLiteral("/%1").arg(quint8(f.at(8)));
            list.append(text);
        }
        return list;
    }
    void click(const char *button) { child<QAbstractButton>(window.get(), button)->click(); }
};

} // namespace

class ControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void each_control_sends_its_frame();
    void mute_and_gain_share_a_one_second_guard();
    void unticking_signal_strength_drops_the_bars_before_the_command();
    void channel_choice_sends_only_real_changes();
    void dialog_requests_share_the_report_mode();
};

void ControlsTest::each_control_sends_its_frame()
{
    sim::DeviceOptions master;
    master.role = sim::Role::Master;
    master.channel = 44;
    Linked t(master);
    QVERIFY(t.ready());
    QTRY_COMPARE(child<QComboBox>(t.window.get(), "chanlist")->currentText(), QStringLiteral("44"));
    t.device->clearReceived();

    t.click("link_button");
    QTRY_COMPARE(t.sent(), QStringList({"86/5"}));
    QCOMPARE(hex(t.device->received().last().bytes), hex(build_command_frame(CMD_LINK, UNIT_DSP, 0)));

    t.device->clearReceived();
    child<QAction>(t.window.get(), "actionDevice_Version")->trigger();
    // The device answers 62 with its WLAN version; the box's close sends 62 to the DSP.
    QTRY_COMPARE(t.sent(), QStringList({"62/0", "62/5"}));
    QTRY_COMPARE(t.answerer.titles(), QStringList({"Welcome", "Version", "Version"}));

    t.device->clearReceived();
    QTRY_VERIFY(child<QWidget>(t.window.get(), "grpbox_gain")->isEnabled());
    t.click("gain_up_button");
    QTRY_COMPARE(t.sent(), QStringList({"20/5/1"}));
    QCOMPARE(hex(t.device->received().last().bytes),
             hex(QByteArray::fromHex("8d0600020005001401") + QByteArray(103, '\0')));

    t.device->clearReceived();
    t.window->request_temperature();
    QTRY_COMPARE(t.sent(), QStringList({"74/0"}));
    QCOMPARE(t.device->malformedCount(), 0);
}

void ControlsTest::mute_and_gain_share_a_one_second_guard()
{
    Linked t;
    QVERIFY(t.ready());
    QElapsedTimer clock;

    // Two mute presses half a second apart: one command. The device reports
    // itself muted, so the press after the guard unmutes.
    clock.start();
    t.click("mute_button");
    QTest::qWait(500);
    t.click("mute_button");
    QTRY_COMPARE(t.sent(), QStringList({"26/5"}));
    QTRY_COMPARE(child<QLabel>(t.window.get(), "l_mute")->styleSheet(), LED_RED);
    QTest::qWait(int(qMax<qint64>(0, 1100 - clock.elapsed())));
    t.click("mute_button");
    QTRY_COMPARE(t.sent(), QStringList({"26/5", "27/5/0"}));

    // Gain down 0.3 s after gain up: dropped, not queued.
    t.device->clearReceived();
    QTest::qWait(1100);
    clock.restart();
    t.click("gain_up_button");
    QTest::qWait(300);
    t.click("gain_down_button");
    // And mute within the same second is dropped too.
    t.click("mute_button");
    QTest::qWait(int(qMax<qint64>(0, 1100 - clock.elapsed())));
    QCOMPARE(t.sent(), QStringList({"20/5/1"}));
    t.click("gain_down_button");
    QElapsedTimer guard;
    guard.start();
    QTRY_COMPARE(t.sent(), QStringList({"20/5/1", "20/5/0"}));

    // The press just accepted started a guard; a reset clears it at once.
    t.device->clearReceived();
    child<QPushButton>(t.window.get(), "refresh_button")->click();
    QTRY_VERIFY(child<QWidget>(t.window.get(), "grpbox_gain")->isEnabled());
    if (guard.elapsed() > 900)
        QSKIP("the machine is too slow to press again within the guard");
    t.click("gain_up_button");
    QTRY_COMPARE(t.sent(), QStringList({"40/0", "20/5/1"}));
}

void ControlsTest::unticking_signal_strength_drops_the_bars_before_the_command()
{
    sim::DeviceOptions options;
    options.txu = false;
    options.repeaterMode = true;
    options.slot = 3;
    options.reportPeriodMs = 20;
    Linked t(options);
    QVERIFY(t.ready());
    auto *tick = child<QCheckBox>(t.window.get(), "cbox_rssi");
    auto *bar = child<QProgressBar>(t.window.get(), "progressBar");
    auto *bar_rep = child<QProgressBar>(t.window.get(), "progressBar_rep");
    QVERIFY(tick->isEnabled());

    tick->click();
    QTRY_COMPARE(t.sent(), QStringList({"119/0/1"}));
    QTRY_VERIFY(bar->value() > -80 && bar_rep->value() > -80);

    // At the moment each bar drops, the stop command has not been written yet.
    QStringList order;
    auto note = [&](const char *what) {
        order.append(QString::fromLatin1(what)
                     + (t.window->serial_port->bytesToWrite() > 0 ? QStringLiteral(" after") : QString()));
    };
    connect(bar, &QProgressBar::valueChanged, this, [&] { note("bar"); });
    connect(bar_rep, &QProgressBar::valueChanged, this, [&] { note("repeater bar"); });
    tick->click();
    disconnect(bar, nullptr, this, nullptr);
    disconnect(bar_rep, nullptr, this, nullptr);
    QCOMPARE(order, QStringList({"bar", "repeater bar"}));
    QCOMPARE(bar->value(), -80);
    QCOMPARE(bar_rep->value(), -80);
    QTRY_COMPARE(t.sent(), QStringList({"119/0/1", "119/0/0"}));
    // Reports that were still on their way are dropped while unticked.
    QTest::qWait(100);
    QCOMPARE(bar->value(), -80);
}

void ControlsTest::channel_choice_sends_only_real_changes()
{
    sim::DeviceOptions options;
    options.role = sim::Role::Master;
    options.channel = 40;
    Linked t(options);
    QVERIFY(t.ready());
    auto *chanlist = child<QComboBox>(t.window.get(), "chanlist");
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("40"));
    t.device->clearReceived();

    chanlist->setCurrentText(QStringLiteral("44"));
    QTRY_COMPARE(t.sent(), QStringList({"56/0/44"}));
    QCOMPARE(hex(t.device->received().first().bytes), hex(build_command_frame(CMD_SET_CHANNEL, UNIT_WLAN, 44)));
    // The device confirms with its channel report, which is not sent back.
    QTest::qWait(100);
    QCOMPARE(t.sent(), QStringList({"56/0/44"}));

    // Choosing another and back to the same: one command each time it differs.
    chanlist->setCurrentText(QStringLiteral("48"));
    chanlist->setCurrentText(QStringLiteral("48"));
    QTRY_COMPARE(t.sent(), QStringList({"56/0/44", "56/0/48"}));

    // A reset empties the list and sends nothing.
    t.device->clearReceived();
    t.window->reset_connection();
    QCOMPARE(chanlist->count(), 0);
    QTest::qWait(50);
    QVERIFY(t.sent().isEmpty());
}

void ControlsTest::dialog_requests_share_the_report_mode()
{
    sim::DeviceOptions options;
    options.txu = false;
    Linked t(options);
    QVERIFY(t.ready());
    auto *tick = child<QCheckBox>(t.window.get(), "cbox_rssi");
    tick->click();
    t.window->start_sniffer(3);
    t.window->stop_sniffer();
    QTRY_COMPARE(t.sent(), QStringList({"119/0/1", "119/0/3", "119/0/0"}));
    // The tick stays although the stop also ended the signal reports.
    QVERIFY(tick->isChecked());
    QCOMPARE(t.device->reportMode(), 0);
}

QTEST_MAIN(ControlsTest)
#include "test_controls.moc"
