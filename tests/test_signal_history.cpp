// The Signal History window against a simulated device: its box and the main
// window's Signal Strength box agree on the report mode, the reports and the
// link's changes are recorded as they come, and CSV and PNG are saved. On a
// clock of the test's own: the view follows the newest data whenever it is
// brought to the end, keys move it, its controls are named and whole.

#include "frame.h"
#include "history_view.h"
#include "modal_answerer.h"
#include "report_log.h"
#include "signal_history.h"
#include "test_support.h"
#include "time_plot.h"
#include "tvc.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QWindow>

#include <functional>
#include <QtTest>

namespace {

// An RXU client in repeater mode: the one kind of device whose signal the
// main window shows, both levels of it.
sim::DeviceOptions rxu_in_repeater_mode()
{
    sim::DeviceOptions options;
    options.txu = false;
    options.role = sim::Role::Client;
    options.repeaterMode = true;
    options.slot = 3;
    options.reportPeriodMs = 20;
    return options;
}

QStringList report_modes_sent(const sim::Device &device)
{
    QStringList modes;
    for (const QByteArray &frame : received_with_code(device, CMD_REPORT_MODE)) {
        // Each exactly as the Signal Strength box or the sniffer sends it.
        if (frame != build_command_frame(CMD_REPORT_MODE, UNIT_WLAN, quint8(frame.at(8))))
            modes.append(QStringLiteral("bad frame ") + QString::fromLatin1(hex(frame)));
        else
            modes.append(QString::number(quint8(frame.at(8))));
    }
    return modes;
}

QList<Record> records_of(const ReportLog &log, RecordKind kind)
{
    QList<Record> records;
    ReportLog::Cursor cursor = log.begin();
    Record r;
    while (cursor.next(&r)) {
        if (r.kind == kind)
            records.append(r);
    }
    return records;
}

QStringList fields_text(const QList<Record> &records, int count)
{
    QStringList texts;
    for (const Record &r : records) {
        QStringList fields;
        for (int i = 0; i < count; ++i)
            fields.append(QString::number(r.fields[size_t(i)]));
        texts.append(fields.join(' '));
    }
    return texts;
}

// What the device sent with this reply code, as the same texts.
QStringList sent_fields(const sim::Device &device, quint8 code, int count)
{
    QStringList texts;
    for (const sim::SentFrame &frame : device.sent()) {
        if (quint8(frame.bytes.at(7)) != code)
            continue;
        QStringList fields;
        for (int i = 0; i < count; ++i) {
            const int raw = frame_u16(frame.bytes, 8 + 2 * i);
            // Levels and RSSI are signed.
            const bool is_signed = code == RPL_SIGNAL || i >= 4;
            fields.append(QString::number(is_signed ? int(qint16(raw)) : raw));
        }
        texts.append(fields.join(' '));
    }
    return texts;
}

QStringList event_texts(const ReportLog &log)
{
    QStringList texts;
    for (const Record &r : records_of(log, RecordKind::Event))
        texts.append(QStringLiteral("%1=%2").arg(int(r.event)).arg(r.fields[0]));
    return texts;
}

// A Signal History window on a clock the test moves (from 2024-05-01 14:00),
// with a box of its own and `minutes` of signal reports.
const qint64 START_MS = QDateTime(QDate(2024, 5, 1), QTime(14, 0)).toMSecsSinceEpoch();
struct ClockedHistory
{
    explicit ClockedHistory(int minutes)
        : history(&box, nullptr, [this] { return now; })
    {
        history.log().add_event(now, LinkEvent::Connection, CONNECTION_OPEN);
        history.log().add_event(now, LinkEvent::ReportMode, 1);
        for (int s = 0; s < minutes * 60; ++s)
            history.log().add_signal(now + s * 1000, qint16(-40 - s % 30), 0);
        now += minutes * 60000;
        history.show_sniffer(true);
        history.show();
        QApplication::setActiveWindow(&history);
    }
    // The scroll bar has caught up with the clock.
    bool refreshed()
    {
        return QTest::qWaitFor([this] { return bar()->maximum() == int((now - START_MS) / 1000); }, 5000);
    }
    QScrollBar *bar() { return child<QScrollBar>(&history, "time_scroll"); }

    qint64 now = START_MS;
    QCheckBox box;
    SignalHistory history;
};

// Where a part of the scroll bar is drawn: the handle, an arrow, the trough.
QRect part_of(QScrollBar *bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.state |= QStyle::State_Horizontal;
    option.orientation = Qt::Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

// The handle dragged to `x` in `steps` moves, the clock going on by `pace_ms`
// at each; through the window, as the platform delivers a drag.
void drag(ClockedHistory &t, int x, int steps, int pace_ms)
{
    QWindow *window = t.history.windowHandle();
    const QPoint from = t.bar()->mapTo(&t.history, part_of(t.bar(), QStyle::SC_ScrollBarSlider).center());
    const int to = t.bar()->mapTo(&t.history, QPoint(x, 0)).x();
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= steps; ++i) {
        t.now += pace_ms;
        QTest::mouseMove(window, QPoint(from.x() + (to - from.x()) * i / steps, from.y()));
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, QPoint(to, from.y()));
}

SignalHistory *open_history(TVC &window)
{
    child<QAction>(&window, "actionSignal_History")->trigger();
    auto *history = window.findChild<SignalHistory *>();
    if (!history)
        qFatal("no Signal History window");
    return history;
}

} // namespace

class SignalHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void window_and_check_box_agree_on_the_report_mode();
    void records_reports_and_link_changes_as_they_come();
    void saves_the_whole_recording_as_csv_and_the_plot_as_png();
    void says_when_the_oldest_data_was_dropped();
    void a_lost_port_is_recorded_only_where_one_was_open();
    void the_clock_set_back_while_recording_is_saved_as_an_event();
    void a_slow_drag_to_the_end_follows_again();
    void follows_whenever_the_view_reaches_the_end();
    void keys_move_the_view_on_the_plot_and_the_scroll_bar();
    void every_control_is_named();
    void every_control_is_whole_at_the_smallest_size();
    void an_rssi_of_0_is_no_reading();
    void band_names_stand_beside_the_lines();
};

void SignalHistoryTest::window_and_check_box_agree_on_the_report_mode()
{
    LinkedWindow t(rxu_in_repeater_mode());
    QVERIFY(t.ready());
    SignalHistory *history = open_history(*t.window);
    QVERIFY(history->isVisible());
    QCOMPARE(history->windowTitle(), QStringLiteral("Signal History"));
    auto *ours = child<QCheckBox>(history, "history_reports");
    auto *main_box = child<QCheckBox>(t.window.get(), "cbox_rssi");
    auto agree = [&] {
        return QStringLiteral("%1%2 %3%4")
            .arg(main_box->isEnabled()).arg(main_box->isChecked()).arg(ours->isEnabled()).arg(ours->isChecked());
    };
    QCOMPARE(agree(), QStringLiteral("10 10"));
    // Opening the window sent nothing.
    QTest::qWait(100);
    QCOMPARE(codes_received(*t.device), QList<int>());

    // Ticked here: ticked there, and the same command as the box's own.
    QTest::mouseClick(ours, Qt::LeftButton);
    QCOMPARE(agree(), QStringLiteral("11 11"));
    QTRY_COMPARE(report_modes_sent(*t.device), QStringList({"1"}));
    QTRY_COMPARE(t.device->reportMode(), 1);

    // Unticked there: unticked here.
    main_box->click();
    QCOMPARE(agree(), QStringLiteral("10 10"));
    QTRY_COMPARE(report_modes_sent(*t.device), QStringList({"1", "0"}));

    // Unticked here: the bars drop and reports stop, as from the box.
    main_box->click();
    QTRY_COMPARE(report_modes_sent(*t.device), QStringList({"1", "0", "1"}));
    QTest::mouseClick(ours, Qt::LeftButton);
    QCOMPARE(agree(), QStringLiteral("10 10"));
    QTRY_COMPARE(report_modes_sent(*t.device), QStringList({"1", "0", "1", "0"}));
    QCOMPARE(child<QProgressBar>(t.window.get(), "progressBar")->value(), -80);

    // No link: both boxes greyed, the tick kept; linked again: both usable.
    QTest::mouseClick(ours, Qt::LeftButton);
    t.device->setLinkState(1);
    QTRY_COMPARE(agree(), QStringLiteral("01 01"));
    QTest::mouseClick(ours, Qt::LeftButton);  // greyed: does nothing
    t.device->setLinkState(2);
    QTRY_COMPARE(agree(), QStringLiteral("11 11"));
    QCOMPARE(report_modes_sent(*t.device), QStringList({"1", "0", "1", "0", "1"}));

    // The sniffer takes the reports over and its Stop ends them all; both
    // boxes stay ticked, as the main window's does.
    enter_service_code(*t.window, t.answerer, QStringLiteral("taverox5190"));
    auto *sniffer = child<QDialog>(t.window.get(), "Sniffer");
    child<QPushButton>(sniffer, "sniff_start_button")->click();
    child<QPushButton>(sniffer, "sniff_stop_button")->click();
    QTRY_COMPARE(report_modes_sent(*t.device), QStringList({"1", "0", "1", "0", "1", "2", "0"}));
    QCOMPARE(agree(), QStringLiteral("11 11"));

    // Closing the window changes nothing; the window opens again as it was.
    history->close();
    main_box->click();
    QCOMPARE(open_history(*t.window), history);
    QCOMPARE(agree(), QStringLiteral("10 10"));

    // The cable pulled: both boxes cleared and greyed by the reset.
    main_box->click();
    QCOMPARE(agree(), QStringLiteral("11 11"));
    t.device->hangUp();
    QTRY_COMPARE(agree(), QStringLiteral("00 00"));
}

void SignalHistoryTest::records_reports_and_link_changes_as_they_come()
{
    LinkedWindow t(rxu_in_repeater_mode());
    QVERIFY(t.ready());
    auto *main_box = child<QCheckBox>(t.window.get(), "cbox_rssi");

    // The history is recorded from the moment the port opened, not from
    // when its window was first opened: a user missed a dropout that came
    // before. It starts with the port opened and what the device told.
    main_box->click();
    QTRY_VERIFY(received_with_code(*t.device, CMD_REPORT_MODE).size() == 1);
    QTRY_VERIFY(!sent_fields(*t.device, RPL_SIGNAL, 2).isEmpty());
    SignalHistory *history = open_history(*t.window);
    const ReportLog &log = history->log();
    QCOMPARE(event_texts(log).mid(0, 4), QStringList({"3=1", "1=1", "0=2", "2=1"}));
    QTRY_VERIFY(!records_of(log, RecordKind::Signal).isEmpty());

    // Signal reports with levels that change, and some without a reading.
    for (int i = 0; i < 40; ++i) {
        const int a = i % 10 == 9 ? 0 : -30 - i;
        const int b = i % 7 == 6 ? 0 : -70 + i;
        t.device->sendFrame(RPL_SIGNAL, UNIT_WLAN,
                            QByteArray(1, char(a & 0xFF)) + char((a >> 8) & 0xFF) + char(b & 0xFF)
                                + char((b >> 8) & 0xFF));
    }
    // They were received while reports were on (those without a reading are
    // dropouts only then).
    const QString last_sent = sent_fields(*t.device, RPL_SIGNAL, 2).last();
    QTRY_VERIFY(fields_text(records_of(log, RecordKind::Signal), 2).contains(last_sent));
    // Ends the device's own reports; the box stays ticked (and reports in
    // flight are still taken).
    t.window->stop_sniffer();
    QTRY_COMPARE(t.device->reportMode(), 0);
    QTest::qWait(100);
    // Every report the device sent, each field as it was sent.
    const QStringList sent = sent_fields(*t.device, RPL_SIGNAL, 2);
    const QStringList recorded = fields_text(records_of(log, RecordKind::Signal), 2);
    QVERIFY(recorded.size() >= 40);
    QCOMPARE(recorded, sent);

    // Sniffer reports, every one, whatever mode was started.
    t.window->start_sniffer(3);
    QTRY_VERIFY(records_of(log, RecordKind::Sniff).size() >= 5);
    t.window->stop_sniffer();
    QTRY_COMPARE(t.device->reportMode(), 0);
    QTest::qWait(100);
    QCOMPARE(fields_text(records_of(log, RecordKind::Sniff), 6), sent_fields(*t.device, RPL_SNIFF, 6));

    // The link drops, and the cable is pulled: both are in the log, and both
    // are dropouts of the stretch.
    t.device->setLinkState(1);
    QTRY_COMPARE(log.snapshot().value(LinkEvent::LinkState), 1);
    t.device->hangUp();
    QTRY_COMPARE(log.snapshot().value(LinkEvent::Connection), CONNECTION_PORT_LOST);
    QTest::qWait(50);
    const QStringList events = event_texts(log);
    // Report modes 0, 3 and 0 asked for; link state 1; the port lost.
    QCOMPARE(events.mid(events.size() - 5), QStringList({"2=0", "2=3", "2=0", "0=1", "3=2"}));
    const qint64 end = log.last_ms() + 1000;
    const HistoryView view = history_view(log, log.first_ms(), end, 100, end);
    QStringList kinds;
    for (const Dropout &d : view.dropouts)
        kinds.append(QString::number(int(d.kind)));
    QVERIFY2(kinds.contains(QString::number(int(DropoutKind::NoReading))), qPrintable(kinds.join(' ')));
    QVERIFY2(kinds.contains(QString::number(int(DropoutKind::NoLink))), qPrintable(kinds.join(' ')));
    QCOMPARE(view.dropouts.last().kind, DropoutKind::PortLost);
    QCOMPARE(view.dropouts.last().to_ms, end);
}

void SignalHistoryTest::saves_the_whole_recording_as_csv_and_the_plot_as_png()
{
    LinkedWindow t(rxu_in_repeater_mode());
    QVERIFY(t.ready());
    SignalHistory *history = open_history(*t.window);
    QTest::mouseClick(child<QCheckBox>(history, "history_reports"), Qt::LeftButton);
    QTRY_VERIFY(history->log().size() >= 30);
    t.window->stop_sniffer();
    QTRY_COMPARE(t.device->reportMode(), 0);
    QTest::qWait(100);

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("history.csv"));
    t.answerer.clear();
    t.answerer.queue_file(csv);
    child<QPushButton>(history, "save_csv_button")->click();
    QCOMPARE(t.answerer.titles(), QStringList({"Save as CSV"}));
    QTRY_VERIFY(!history->saving());
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = file.readAll().split('\n');
    QCOMPARE(rows.first(), QByteArray("time,level_a,level_b,beacons_a,audio_a,beacons_b,audio_b,rssi_a,rssi_b,event"));
    QCOMPARE(quint64(rows.size()), history->log().size() + 2);
    const QList<Record> signal = records_of(history->log(), RecordKind::Signal);
    int signal_rows = 0;
    for (const QByteArray &row : rows.mid(1)) {
        const QList<QByteArray> cells = row.split(',');
        if (cells.size() == 10 && !cells.at(1).isEmpty()) {
            QCOMPARE(cells.at(1).toInt(), signal.at(signal_rows).fields[0]);
            QCOMPARE(cells.at(2).toInt(), signal.at(signal_rows).fields[1]);
            ++signal_rows;
        }
    }
    QCOMPARE(signal_rows, signal.size());

    // The plot as shown, with its figures, under a line that says what it
    // shows: the device, the span and when; the PNG's text says it too.
    const QString png = dir.filePath(QStringLiteral("history.png"));
    t.answerer.clear();
    t.answerer.queue_file(png);
    child<QPushButton>(history, "save_png_button")->click();
    QCOMPARE(t.answerer.titles(), QStringList({"Save as PNG"}));
    const QImage image(png);
    QVERIFY(!image.isNull());
    const QSize tab = child<QTabWidget>(history, "history_tabs")->currentWidget()->size();
    QCOMPARE(image.width(), tab.width());
    const int title_height = image.height() - tab.height();
    QVERIFY(title_height > 0);
    int ink = 0;
    for (int y = 0; y < title_height; ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
    QVERIFY2(ink > 200, qPrintable(QString::number(ink)));
    const QString port = t.device->slavePath();
    const QString role = QStringLiteral("RXU Client (Master Slot)");
    QCOMPARE(image.text(QStringLiteral("Port")), port);
    QCOMPARE(image.text(QStringLiteral("Role")), role);
    QCOMPARE(image.text(QStringLiteral("Span")), QStringLiteral("1 min"));
    const QDateTime from = QDateTime::fromString(image.text(QStringLiteral("From")), Qt::ISODate);
    const QDateTime to = QDateTime::fromString(image.text(QStringLiteral("To")), Qt::ISODate);
    QCOMPARE(from.secsTo(to), qint64(60));
    const QString title = image.text(QStringLiteral("Title"));
    for (const QString &part : {role + QStringLiteral(" on ") + port, QStringLiteral("1 min"),
                                from.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))})
        QVERIFY2(title.contains(part), qPrintable(title + QStringLiteral(" lacks ") + part));
    const QDateTime saved = QDateTime::fromString(image.text(QStringLiteral("Creation Time")), Qt::RFC2822Date);
    QVERIFY2(qAbs(saved.secsTo(QDateTime::currentDateTime())) < 60, qPrintable(image.text("Creation Time")));
    QVERIFY(image.text(QStringLiteral("Description")).startsWith(QStringLiteral("From TXU: min")));

    // A folder that is not there: the user is told, and nothing is written.
    t.answerer.clear();
    t.answerer.queue_file(dir.filePath(QStringLiteral("missing/history.csv")));
    child<QPushButton>(history, "save_csv_button")->click();
    QTRY_COMPARE(t.answerer.titles(), QStringList({"Save as CSV", "Error"}));
    QCOMPARE(t.answerer.seen().last().icon, int(QMessageBox::Critical));
    QVERIFY2(QRegularExpression("^Could not save the signal history to /.*/missing/history\\.csv: No such file or "
                                "directory$").match(t.answerer.seen().last().text).hasMatch(),
             qPrintable(t.answerer.seen().last().text));
    t.answerer.queue_file(dir.filePath(QStringLiteral("missing/history.png")));
    child<QPushButton>(history, "save_png_button")->click();
    QVERIFY2(t.answerer.seen().last().text.startsWith("Could not save the plot to /"),
             qPrintable(t.answerer.seen().last().text));

    // Cancelled: nothing at all.
    t.answerer.clear();
    t.answerer.queue_cancel();
    child<QPushButton>(history, "save_png_button")->click();
    QCOMPARE(t.answerer.titles(), QStringList({"Save as PNG"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"history.csv", "history.png"}));
}

void SignalHistoryTest::says_when_the_oldest_data_was_dropped()
{
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list({}));
    SignalHistory *history = open_history(window);
    auto *label = child<QLabel>(history, "recording_label");
    QTRY_VERIFY(label->text().startsWith(QStringLiteral("Recording since")));

    // Reports whose fields jump about take the most room: fill the memory.
    ReportLog &log = history->log();
    const qint64 start = log.last_ms();
    quint32 x = 1;
    for (qint64 i = 0; log.dropped() == 0; ++i) {
        x = x * 1103515245u + 12345u;
        log.add_sniff(start + i, {int(x >> 16), int(x & 0xFFFF), int((x >> 8) & 0xFFFF), int(x >> 20),
                                  qint16(x >> 3), qint16(x >> 11)});
    }
    QTRY_VERIFY2(label->text().startsWith(QStringLiteral("Memory full: the oldest")), qPrintable(label->text()));
    QVERIFY(label->text().contains(QString::number(log.dropped())));
}

void SignalHistoryTest::a_lost_port_is_recorded_only_where_one_was_open()
{
    // Firmware Update opened and closed with no device: the port was never
    // open, so nothing was lost.
    {
        ModalAnswerer answerer;
        TVC window(PortFinder::from_list({}));
        SignalHistory *history = open_history(window);
        const FirmwareDialogRun run = run_firmware_dialog(window, [](QDialog *) {});
        QVERIFY(run.dialog_shown);
        QCOMPARE(event_texts(history->log()), QStringList());
    }
    // The cable pulled while the dialog is open: the port is lost.
    LinkedWindow t(rxu_in_repeater_mode());
    QVERIFY(t.ready());
    SignalHistory *history = open_history(*t.window);
    const FirmwareDialogRun run = run_firmware_dialog(*t.window, [&](QDialog *) {
        t.device->hangUp();
        QTest::qWait(200);
    });
    QVERIFY(run.dialog_shown);
    // The window may open the port again once the dialog is closed.
    QTRY_VERIFY2(event_texts(history->log()).contains(QStringLiteral("3=2")),
                 qPrintable(event_texts(history->log()).join(' ')));
}

// Dragged back, then to the end at a user's pace (ten seconds on the way):
// the view follows the newest data again; so it does when held back in a
// span the bar cannot move in.
void SignalHistoryTest::a_slow_drag_to_the_end_follows_again()
{
    ClockedHistory t(15);
    QVERIFY(t.refreshed());
    QScrollBar *bar = t.bar();
    drag(t, bar->width() / 2, 5, 200);
    const int held = bar->value();
    drag(t, bar->width() + 50, 10, 1000);
    t.now += 5000;
    QVERIFY(t.refreshed());
    QVERIFY(held < bar->maximum() - 60);
    QCOMPARE(bar->value(), bar->maximum());

    drag(t, bar->width() / 2, 3, 100);
    auto *span = child<QComboBox>(&t.history, "span_box");
    span->setCurrentIndex(3);  // All
    QTRY_VERIFY(!bar->isEnabled());
    span->setCurrentIndex(0);  // 1 min
    t.now += 5000;
    QVERIFY(t.refreshed());
    QCOMPARE(bar->value(), bar->maximum());
}

// Whatever brings the scroll bar to its end (a drag at any pace, a click on
// an arrow or the trough, a key on the bar or the plot, the wheel), the view
// follows the newest data; anywhere else it stays while time goes on.
void SignalHistoryTest::follows_whenever_the_view_reaches_the_end()
{
    ClockedHistory t(15);
    QVERIFY(t.refreshed());
    QScrollBar *bar = t.bar();
    QWidget *plot = child<QWidget>(&t.history, "signal_plot");
    const Qt::Key keys[] = {Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                            Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    const QStyle::SubControl parts[] = {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine,
                                        QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarAddPage};
    QRandomGenerator random(25);
    QString story;
    for (int step = 0; step < 40; ++step) {
        const int action = int(random.bounded(5));
        const int a = int(random.bounded(8)), b = int(random.bounded(8)), c = int(random.bounded(1500));
        if (action == 0) {  // from the left end to past the right end
            drag(t, bar->width() * (a + 1) / 7, b + 1, c);
        } else if (action == 1) {
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, part_of(bar, parts[a % 4]).center());
        } else if (action == 2) {
            QWidget *target = b % 2 ? plot : bar;
            target->setFocus(Qt::TabFocusReason);
            QTest::keyClick(target, keys[a]);
        } else if (action == 3) {
            QWheelEvent wheel(QPointF(5, 5), bar->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, b % 2 ? 120 : -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(bar, &wheel);
        } else {
            t.history.resize(500 + 60 * a, 300 + 50 * b);
        }
        story += QStringLiteral(" %1:%2,%3,%4").arg(action).arg(a).arg(b).arg(c);
        QCoreApplication::processEvents();
        const int value = bar->value();
        const bool at_end = value == bar->maximum();
        t.now += 2000 + c;
        QVERIFY2(t.refreshed(), qPrintable(story));
        QVERIFY2(bar->value() == (at_end ? bar->maximum() : value), qPrintable(story));
    }
}

// Tab reaches the plot, which shows its focus; its keys and the scroll
// bar's move the view alike: Left and Page Up back, Right and Page Down on,
// Home to the oldest, End to the newest, where it follows.
void SignalHistoryTest::keys_move_the_view_on_the_plot_and_the_scroll_bar()
{
    ClockedHistory t(15);
    QVERIFY(QTest::qWaitForWindowActive(&t.history) && t.refreshed());
    QScrollBar *bar = t.bar();
    child<QWidget>(&t.history, "history_reports")->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"span_box", "pause_button", "save_csv_button", "save_png_button",
                                 "qt_tabwidget_tabbar", "signal_plot", "time_scroll", "history_reports"}));

    for (QWidget *target : {child<QWidget>(&t.history, "signal_plot"), static_cast<QWidget *>(bar)}) {
        const QImage unfocused = target->grab().toImage();
        target->setFocus(Qt::TabFocusReason);
        QVERIFY2(target->grab().toImage() != unfocused, qPrintable(target->objectName()));
        QTest::keyClick(target, Qt::Key_Home);
        QCOMPARE(bar->value(), bar->minimum());
        QTest::keyClick(target, Qt::Key_Right);
        QTest::keyClick(target, Qt::Key_PageDown);
        QCOMPARE(bar->value(), bar->minimum() + bar->singleStep() + bar->pageStep());
        QTest::keyClick(target, Qt::Key_Left);
        QTest::keyClick(target, Qt::Key_PageUp);
        QCOMPARE(bar->value(), bar->minimum());
        QTest::keyClick(target, Qt::Key_End);
        t.now += 3000;
        QVERIFY(t.refreshed());
        QCOMPARE(bar->value(), bar->maximum());
    }
}

// Every control a screen reader reaches has a name; the span list is named
// by what it is and valued by its entry.
void SignalHistoryTest::every_control_is_named()
{
    ClockedHistory t(2);
    QTRY_VERIFY(!child<QLabel>(&t.history, "signal_stats")->text().isEmpty());
    child<QTabWidget>(&t.history, "history_tabs")->setCurrentIndex(1);
    QTRY_VERIFY(!child<QLabel>(&t.history, "sniffer_stats")->text().isEmpty());
    QStringList unnamed;
    std::function<void(QAccessibleInterface *)> visit = [&](QAccessibleInterface *iface) {
        if (iface->state().focusable && iface->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << (iface->object() ? iface->object()->metaObject()->className() : QString::number(iface->role()));
        for (int i = 0; i < iface->childCount(); ++i)
            visit(iface->child(i));
    };
    visit(QAccessible::queryAccessibleInterface(&t.history));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));

    auto *span = child<QComboBox>(&t.history, "span_box");
    span->setCurrentIndex(1);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(span);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Span"));
    QCOMPARE(list->text(QAccessible::Value), QStringLiteral("10 min"));
    for (QWidget *described : {static_cast<QWidget *>(span), child<QWidget>(&t.history, "time_scroll")})
        QVERIFY(!QAccessible::queryAccessibleInterface(described)->text(QAccessible::Description).isEmpty());
}

// Made as small as a user may, in both tabs and with a long line under the
// plot, every button shows its whole text and nothing lies outside.
void SignalHistoryTest::every_control_is_whole_at_the_smallest_size()
{
    ClockedHistory t(2);
    t.history.set_device_source([] {
        return HistoryDevice{QStringLiteral("/dev/serial/by-id/usb-Tavero_Bridge_0123456789-if00-port0"),
                             QStringLiteral("RXU Client (Master Slot)"), QStringLiteral("0123456789")};
    });
    auto *tabs = child<QTabWidget>(&t.history, "history_tabs");
    auto *label = child<QLabel>(&t.history, "recording_label");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        t.history.resize(420, 300);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        for (QWidget *widget : t.history.findChildren<QWidget *>()) {
            if (!widget->isVisible())
                continue;
            const QRect place(widget->mapTo(&t.history, QPoint(0, 0)), widget->size());
            const QSize hint = qobject_cast<QAbstractButton *>(widget) ? widget->sizeHint() : QSize();
            const QString name = QStringLiteral("%1 in tab %2").arg(widget->objectName()).arg(tab);
            QVERIFY2(t.history.rect().contains(place), qPrintable(name));
            QVERIFY2(widget->width() >= hint.width() && widget->height() >= hint.height(), qPrintable(name));
        }
        QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->text()));
    }
}

// The sniffer's RSSI of 0 is no reading: a gap in the line and no figure,
// in a short stretch and in a long one cut from the summaries of blocks.
void SignalHistoryTest::an_rssi_of_0_is_no_reading()
{
    ClockedHistory t(0);
    ReportLog &log = t.history.log();
    log.add_event(t.now, LinkEvent::ReportMode, 2);
    const qint64 start = t.now;
    // RSSI A -60, none, -70, ...; RSSI B never a reading.
    for (int i = 0; i < 30000; ++i)
        log.add_sniff(start + i, {i % 7, i % 5, 3, 4, i % 3 == 1 ? 0 : (i % 3 ? -70 : -60), 0});
    auto *figures = child<QLabel>(&t.history, "sniffer_stats");
    child<QTabWidget>(&t.history, "history_tabs")->setCurrentIndex(1);
    for (const qint64 now : {start + 30000, start + 2 * 3600 * 1000}) {
        t.now = now;
        child<QComboBox>(&t.history, "span_box")->setCurrentIndex(now > start + 60000 ? 3 : 0);
        QTRY_VERIFY2(figures->text().contains(QStringLiteral("RSSI A: min -70 \u00b7 mean -65.0 \u00b7 max -60"))
                         && figures->text().contains(QStringLiteral("RSSI B: no readings")),
                     qPrintable(figures->text()));
    }
    const QVector<PlotColumn> rssi_a = history_view(log, start, start + 2, 3, t.now).sniff[4];
    QVERIFY(rssi_a.at(0).valid && !rssi_a.at(1).valid && rssi_a.at(2).valid && !rssi_a.at(2).joined);
}

// Black lines through every band, up to the newest column: the bands' names
// (the only colourful pixels) stand right of them all, never over them.
void SignalHistoryTest::band_names_stand_beside_the_lines()
{
    TimePlot plot;
    plot.resize(600, 300);
    plot.set_value_range(-85, -20);
    plot.set_bands({{-50.5, -20, QColor(0, 160, 0), QStringLiteral("good")},
                    {-60.5, -50.5, QColor(230, 120, 0), QStringLiteral("fair")},
                    {-79.5, -60.5, QColor(200, 0, 0), QStringLiteral("weak")},
                    {-85, -79.5, QColor(0, 0, 220), QStringLiteral("no reading")}});
    QVector<TimePlot::Line> lines;
    for (const float level : {-35.0f, -55.5f, -70.0f, -82.0f}) {
        const PlotColumn column{level, level, level, level, true, true};
        lines.append({QString(), Qt::black, QVector<PlotColumn>(plot.columns(), column)});
    }
    const QImage bare = plot.grab().toImage();
    plot.show_stretch(0, 60000, lines, {});
    const QImage drawn = plot.grab().toImage();
    int lines_right = -1, names_left = drawn.width();
    for (int x = 0; x < drawn.width(); ++x) {
        for (int y = 0; y < drawn.height(); ++y) {
            const QColor c = drawn.pixelColor(x, y);
            if (drawn.pixel(x, y) != bare.pixel(x, y))
                lines_right = std::max(lines_right, x);
            if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 100)
                names_left = std::min(names_left, x);
        }
    }
    QVERIFY2(lines_right >= 0 && names_left > lines_right,
             qPrintable(QStringLiteral("names from x %1, lines to x %2").arg(names_left).arg(lines_right)));
}

void SignalHistoryTest::the_clock_set_back_while_recording_is_saved_as_an_event()
{
    // The test runs itself again under libfaketime, which reads the wall
    // clock's offset from a file at every reading (the steady clocks it
    // leaves alone); it sets the clock back an hour while reports come in.
    const QString clock_file = qEnvironmentVariable("TVC_TEST_CLOCK_FILE");
    auto set_clock = [](const QString &path, const QByteArray &offset) {
        QSaveFile file(path);  // never read half written
        return file.open(QIODevice::WriteOnly) && file.write(offset + '\n') > 0 && file.commit();
    };
    if (clock_file.isEmpty()) {
        QProcess probe;
        probe.start(QStringLiteral("faketime"), {"-f", "+0", "printenv", "LD_PRELOAD"});
        if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
            QSKIP("faketime is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("clock"));
        QVERIFY(set_clock(path, "+0"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed());
        env.insert(QStringLiteral("FAKETIME_TIMESTAMP_FILE"), path);
        env.insert(QStringLiteral("FAKETIME_NO_CACHE"), QStringLiteral("1"));
        env.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        env.remove(QStringLiteral("FAKETIME"));
        env.insert(QStringLiteral("TVC_TEST_CLOCK_FILE"), path);
        // Under AddressSanitizer the preloaded library comes before its
        // runtime, which it would refuse.
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   asan + (asan.isEmpty() ? "" : ":") + QStringLiteral("verify_asan_link_order=0"));
        QProcess test;
        test.setProcessEnvironment(env);
        test.setProcessChannelMode(QProcess::MergedChannels);
        test.start(QCoreApplication::applicationFilePath(),
                   {QString::fromLatin1(QTest::currentTestFunction()), QStringLiteral("-silent")});
        QVERIFY(test.waitForFinished(120000));
        QVERIFY2(test.exitStatus() == QProcess::NormalExit && test.exitCode() == 0, test.readAll().constData());
        return;
    }

    LinkedWindow t(rxu_in_repeater_mode());
    QVERIFY(t.ready());
    SignalHistory *history = open_history(*t.window);
    const ReportLog &log = history->log();
    QTest::mouseClick(child<QCheckBox>(history, "history_reports"), Qt::LeftButton);
    QTRY_VERIFY(records_of(log, RecordKind::Signal).size() >= 20);
    const QDateTime set_at = QDateTime::currentDateTime();
    QVERIFY(set_clock(clock_file, "-3600"));
    QVERIFY(QDateTime::currentDateTime().secsTo(set_at) >= 3599);
    const int before = int(records_of(log, RecordKind::Signal).size());
    QTRY_VERIFY(records_of(log, RecordKind::Signal).size() >= before + 20);

    // Reports 20 ms apart stay in order, and apart (but for those read at
    // once).
    const QList<Record> reports = records_of(log, RecordKind::Signal);
    QSet<qint64> times_after;
    for (int i = 1; i < reports.size(); ++i) {
        QVERIFY2(reports.at(i).time_ms >= reports.at(i - 1).time_ms, qPrintable(QString::number(i)));
        if (i >= before)
            times_after.insert(reports.at(i).time_ms);
    }
    QVERIFY2(times_after.size() > (reports.size() - before) / 2, qPrintable(QString::number(times_after.size())));

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("history.csv"));
    t.answerer.clear();
    t.answerer.queue_file(csv);
    child<QPushButton>(history, "save_csv_button")->click();
    QTRY_VERIFY(!history->saving());
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> rows = file.readAll().split('\n');
    rows = rows.mid(1, rows.size() - 2);
    // One clock change, of an hour back, between the reports before and after.
    const QRegularExpression change(QStringLiteral(",clock set back (\\d+)\\.\\d{3} s$"));
    int at = -1;
    for (int i = 0; i < rows.size(); ++i) {
        const QRegularExpressionMatch match = change.match(QString::fromLatin1(rows.at(i)));
        if (match.hasMatch()) {
            QCOMPARE(at, -1);
            at = i;
            QVERIFY2(qAbs(match.captured(1).toInt() - 3600) <= 1, rows.at(i).constData());
        }
    }
    QVERIFY(at > 20 && at < rows.size() - 20);
    // Each row at the wall time it was taken: an hour back from the change on.
    auto wall = [&](int row) {
        const QByteArray time = rows.at(row).left(rows.at(row).indexOf(','));
        return QDateTime::fromString(QString::fromLatin1(time), Qt::ISODateWithMs).toMSecsSinceEpoch();
    };
    for (int i = 1; i < rows.size(); ++i) {
        if (i != at)
            QVERIFY2(wall(i) >= wall(i - 1) && wall(i) - wall(i - 1) < 3000, rows.at(i).constData());
    }
    QVERIFY2(qAbs(wall(at - 1) - wall(at) - 3600 * 1000) < 1000, rows.at(at).constData());
}

QTEST_MAIN(SignalHistoryTest)
#include "test_signal_history.moc"
