// End-to-end runs against the simulated device in three roles: what the user
// sees of a master, a transmitter client and a receiver behind a repeater, and
// what the controls send.

#include "constants.h"
#include "frame.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

qint16 s16_at(const QByteArray &frame, int offset)
{
    return qint16(quint8(frame.at(offset)) | (quint8(frame.at(offset + 1)) << 8));
}

// Every style sheet a lamp is given, in order.
class StyleLog : public QObject
{
public:
    explicit StyleLog(QWidget *lamp)
        : QObject(lamp)
    {
        lamp->installEventFilter(this);
    }
    // The colours in order, repeats of the same colour counted once.
    QStringList colours() const
    {
        QStringList out;
        for (const QString &style : m_styles) {
            const QString name = style == LED_RED ? QStringLiteral("red")
                : style == LED_GREEN              ? QStringLiteral("green")
                : style == LED_ORANGE             ? QStringLiteral("orange")
                : style == LED_GREY               ? QStringLiteral("grey")
                                                  : QStringLiteral("?");
            if (out.isEmpty() || out.last() != name)
                out.append(name);
        }
        return out;
    }
    void clear() { m_styles.clear(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::StyleChange)
            m_styles.append(static_cast<QWidget *>(watched)->styleSheet());
        return false;
    }

private:
    QStringList m_styles;
};

// The chunk colour a bar must show at a level.
QString bar_style_for(int level, const QProgressBar *bar)
{
    const char *colour = level >= -50 ? "#178e85" : level >= -60 ? "#cc6633" : "#8e1720";
    return bar_base_style(bar->fontMetrics())
        + QStringLiteral("QProgressBar::chunk {background-color: %1; width: 15px; margin: 0.5px;}")
              .arg(QLatin1String(colour));
}

} // namespace

class RolesTest : public QObject
{
    Q_OBJECT

private slots:
    void master_channel_and_link();
    void txu_client_gain_mute_and_phantom();
    void rxu_client_behind_a_repeater_signal_strength();
};

void RolesTest::master_channel_and_link()
{
    sim::DeviceOptions options;
    options.role = sim::Role::Master;
    options.txu = true;
    options.channel = 44;
    options.linkRestoreMs = 200;
    auto device = start_device(options);
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));

    auto *chanlist = child<QComboBox>(&window, "chanlist");
    auto *lamp = child<QLabel>(&window, "l_txq");
    QTRY_COMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), QStringLiteral("<b>Master</b><br>"));
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("44"));
    QCOMPARE(items(chanlist), QStringList({"36", "40", "44", "48"}));
    QVERIFY(child<QGroupBox>(&window, "grpbox_master")->isEnabled());
    QVERIFY(child<QGroupBox>(&window, "grpbox_link")->isEnabled());
    QVERIFY(child<QGroupBox>(&window, "grpbox_gain")->isEnabled());
    QCOMPARE(lamp->styleSheet(), LED_GREEN);
    QCOMPARE(child<QLabel>(&window, "l_repmode")->styleSheet(), LED_GREY);
    QCOMPARE(received_with_code(*device, CMD_MASTER_INFO).size(), 1);
    QCOMPARE(hex(received_with_code(*device, CMD_MASTER_INFO).first()), hex(request(CMD_MASTER_INFO, UNIT_WLAN)));

    // The user picks the next channel: one channel request, and the device's
    // answer is not sent back to it.
    QTest::keyClick(chanlist, Qt::Key_Down);
    QCOMPARE(chanlist->currentText(), QStringLiteral("48"));
    QTRY_COMPARE(received_with_code(*device, CMD_SET_CHANNEL).size(), 1);
    QCOMPARE(hex(received_with_code(*device, CMD_SET_CHANNEL).first()),
             hex(request(CMD_SET_CHANNEL, UNIT_WLAN, bytes({48, 10, 23}))));
    QTRY_COMPARE(device->options().channel, 48);

    // LINK: the link drops and comes back, and the lamp follows.
    StyleLog lamp_log(lamp);
    child<QPushButton>(&window, "link_button")->click();
    QTRY_COMPARE(lamp_log.colours(), QStringList({"red", "green"}));
    QCOMPARE(hex(received_with_code(*device, CMD_LINK).first()), hex(request(CMD_LINK, UNIT_DSP)));
    QVERIFY(child<QGroupBox>(&window, "grpbox_gain")->isEnabled());
    QCOMPARE(chanlist->currentText(), QStringLiteral("48"));

    // The device changes channel by itself: shown, not echoed.
    device->setChannel(40);
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("40"));
    child<QPushButton>(&window, "link_button")->click();
    QTRY_COMPARE(received_with_code(*device, CMD_LINK).size(), 2);

    // A channel outside the list is added for the device. Its reports that
    // come again list no channel twice and keep the order and the current one.
    device->setChannel(149);
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("149"));
    device->sendInfo();
    device->sendInfo();
    QTRY_COMPARE(received_with_code(*device, CMD_MASTER_INFO).size(), 3);
    QCOMPARE(items(chanlist), QStringList({"36", "40", "44", "48", "149"}));
    QCOMPARE(chanlist->currentText(), QStringLiteral("149"));

    QCOMPARE(codes_received(*device), QList<int>({CMD_STATUS, CMD_MASTER_INFO, CMD_SET_CHANNEL, CMD_LINK, CMD_LINK,
                                                  CMD_MASTER_INFO, CMD_MASTER_INFO}));
    QCOMPARE(device->malformedCount(), 0);
}

void RolesTest::txu_client_gain_mute_and_phantom()
{
    sim::DeviceOptions options;
    options.slot = 2;
    options.input = 8;  // LINE mode, gain 0
    auto device = start_device(options);
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));

    auto *lcd = child<QLCDNumber>(&window, "lcd_gain");
    auto *mode = child<QLabel>(&window, "l_audio_in");
    auto *mute_lamp = child<QLabel>(&window, "l_mute");
    auto *up = child<QToolButton>(&window, "gain_up_button");
    auto *down = child<QToolButton>(&window, "gain_down_button");
    auto *mute = child<QToolButton>(&window, "mute_button");
    QTRY_COMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), QStringLiteral("<b>TXU Client (Slot 2)</b><br>"));
    QVERIFY(child<QGroupBox>(&window, "grpbox_gain")->isEnabled());
    QVERIFY(!child<QGroupBox>(&window, "grpbox_master")->isEnabled());
    QVERIFY(!child<QCheckBox>(&window, "cbox_rssi")->isEnabled());
    QCOMPARE(lcd->intValue(), 0);
    QCOMPARE(mode->text(), QStringLiteral("LINE Mode"));
    QCOMPARE(mute_lamp->styleSheet(), LED_GREY);
    QCOMPARE(child<QLabel>(&window, "l_ph_pwr")->styleSheet(), LED_GREY);

    auto guarded = [&device] {
        QList<QByteArray> frames;
        for (const sim::ReceivedFrame &frame : device->received()) {
            const quint8 code = quint8(frame.bytes.at(7));
            if (code == CMD_GAIN || code == CMD_MUTE || code == CMD_UNMUTE)
                frames.append(hex(frame.bytes));
        }
        return frames;
    };
    // Presses `button` until the device has `count` guarded requests; presses
    // within a second of an accepted one are dropped by the program.
    auto press_until = [&](QAbstractButton *button, int count) {
        QTRY_VERIFY_WITH_TIMEOUT((button->click(), guarded().size() >= count), 5000);
    };

    // Gain up goes through; everything else in the same second is dropped.
    up->click();
    down->click();
    mute->click();
    up->click();
    QTRY_COMPARE(lcd->intValue(), 1);
    QCOMPARE(mode->text(), QStringLiteral("LINE Mode"));

    // Mute, then unmute, each answered by the device's mute report.
    press_until(mute, 2);
    QTRY_COMPARE(mute_lamp->styleSheet(), LED_RED);
    press_until(mute, 3);
    QTRY_COMPARE(mute_lamp->styleSheet(), LED_GREY);

    // The user switches +48V on at the device with a high-impedance source:
    // the next gain step shows the Hi-Z input.
    device->options().hiZ = true;
    device->setPhantom(true);
    QTRY_COMPARE(child<QLabel>(&window, "l_ph_pwr")->styleSheet(), LED_GREEN);
    press_until(down, 4);
    QTRY_COMPARE(mode->text(), QStringLiteral("Hi-Z Mode"));
    QCOMPARE(lcd->intValue(), 10);

    QCOMPARE(guarded(), QList<QByteArray>({hex(request(CMD_GAIN, UNIT_DSP, bytes({1}))),
                                           hex(request(CMD_MUTE, UNIT_DSP)),
                                           hex(request(CMD_UNMUTE, UNIT_DSP, bytes({0}))),
                                           hex(request(CMD_GAIN, UNIT_DSP, bytes({0})))}));
    // The accepted presses are at least the guard time apart.
    qint64 last_ns = 0;
    for (const sim::ReceivedFrame &frame : device->received()) {
        const quint8 code = quint8(frame.bytes.at(7));
        if (code != CMD_GAIN && code != CMD_MUTE && code != CMD_UNMUTE)
            continue;
        if (last_ns)
            QVERIFY2(frame.at_ns - last_ns > 900000000LL, qPrintable(QString::number(frame.at_ns - last_ns)));
        last_ns = frame.at_ns;
    }
    QCOMPARE(device->malformedCount(), 0);
}

void RolesTest::rxu_client_behind_a_repeater_signal_strength()
{
    sim::DeviceOptions options;
    options.txu = false;
    options.repeaterMode = true;
    options.slot = 3;
    options.reportPeriodMs = 20;
    auto device = start_device(options);
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));

    auto *check = child<QCheckBox>(&window, "cbox_rssi");
    auto *bar = child<QProgressBar>(&window, "progressBar");
    auto *bar_rep = child<QProgressBar>(&window, "progressBar_rep");
    auto *lamp = child<QLabel>(&window, "l_txq");
    QTRY_COMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), QStringLiteral("<b>RXU Client (Master Slot)</b><br>"));
    QCOMPARE(child<QLabel>(&window, "l_repmode")->styleSheet(), LED_GREEN);
    QCOMPARE(lamp->styleSheet(), LED_GREEN);
    QVERIFY(check->isEnabled());
    QVERIFY(!check->isChecked());
    QVERIFY(bar->isEnabled());
    QVERIFY(bar_rep->isEnabled());
    QVERIFY(!child<QGroupBox>(&window, "grpbox_gain")->isEnabled());
    QVERIFY(!child<QGroupBox>(&window, "grpbox_master")->isEnabled());
    QCOMPARE(bar->value(), -80);
    QCOMPARE(bar_rep->value(), -80);

    // What each bar shows, with the style it has at that moment.
    QList<QPair<int, QString>> shown;
    QList<QPair<int, QString>> shown_rep;
    connect(bar, &QProgressBar::valueChanged, this, [&](int v) { shown.append({v, bar->styleSheet()}); });
    connect(bar_rep, &QProgressBar::valueChanged, this, [&](int v) { shown_rep.append({v, bar_rep->styleSheet()}); });
    StyleLog lamp_log(lamp);

    check->click();
    QTRY_COMPARE(device->reportMode(), 1);
    QCOMPARE(hex(received_with_code(*device, CMD_REPORT_MODE).last()),
             hex(request(CMD_REPORT_MODE, UNIT_WLAN, bytes({1}))));
    QTRY_VERIFY(shown.size() >= 9 && shown_rep.size() >= 9);

    // Unticking drops both bars at once and stops the reports; reports still
    // on their way change nothing.
    check->click();
    QCOMPARE(bar->value(), -80);
    QCOMPARE(bar_rep->value(), -80);
    QTRY_COMPARE(device->reportMode(), 0);
    QCOMPARE(hex(received_with_code(*device, CMD_REPORT_MODE).last()),
             hex(request(CMD_REPORT_MODE, UNIT_WLAN, bytes({0}))));
    device->sendFrame(RPL_SNIFF, UNIT_WLAN, QByteArray(12, '\0'));
    QTRY_VERIFY(!child<QPlainTextEdit>(&window, "sniffer_info")->toPlainText().isEmpty());
    QCOMPARE(bar->value(), -80);
    QCOMPARE(bar_rep->value(), -80);

    // Both bars followed every report the device sent while ticked, in order,
    // each coloured by its own level; then the drop to -80.
    QList<int> levels;
    QList<int> levels_rep;
    for (const sim::SentFrame &frame : device->sent()) {
        if (quint8(frame.bytes.at(7)) != RPL_SIGNAL)
            continue;
        levels.append(s16_at(frame.bytes, 8));
        levels_rep.append(s16_at(frame.bytes, 10));
    }
    QCOMPARE(shown.last().first, -80);
    QCOMPARE(shown_rep.last().first, -80);
    shown.removeLast();
    shown_rep.removeLast();
    QVERIFY(shown.size() <= levels.size());
    QSet<QString> colours;
    for (int i = 0; i < shown.size(); ++i) {
        QCOMPARE(shown[i].first, levels[i]);
        QCOMPARE(shown[i].second, bar_style_for(levels[i], bar));
        QCOMPARE(shown_rep[i].first, levels_rep[i]);
        QCOMPARE(shown_rep[i].second, bar_style_for(levels_rep[i], bar_rep));
        colours.insert(shown[i].second);
        colours.insert(shown_rep[i].second);
    }
    QCOMPARE(colours.size(), 3);
    // Behind a repeater the levels do not touch the link lamp.
    QCOMPARE(lamp_log.colours(), QStringList());
    QCOMPARE(lamp->styleSheet(), LED_GREEN);
    QCOMPARE(device->malformedCount(), 0);
}

QTEST_MAIN(RolesTest)
#include "test_roles.moc"
