// The two service dialogs, temperature and sniffer, driven through the menu and
// their buttons with a simulated device answering on a pseudo-terminal.

#include "frame.h"
#include "modal_answerer.h"
#include "sniffer.h"
#include "test_support.h"
#include "tvc.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

namespace {

const QString TXU_CLIENT_SLOT_1 = QStringLiteral("<b>TXU Client (Slot 1)</b><br>");

QByteArray le16(int value)
{
    QByteArray bytes;
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
    return bytes;
}

// Arguments of a sniffer report: beacons, audio of A; beacons, audio of B; RSSI of A and B.
QByteArray sniff_args(int beacons_a, int audio_a, int beacons_b, int audio_b, int rssi_a, int rssi_b)
{
    return le16(beacons_a) + le16(audio_a) + le16(beacons_b) + le16(audio_b) + le16(rssi_a) + le16(rssi_b);
}

quint16 u16_at(const QByteArray &frame, int offset)
{
    return quint16(quint8(frame.at(offset)) | (quint8(frame.at(offset + 1)) << 8));
}

QByteArray report_mode(int mode)
{
    return hex(request(CMD_REPORT_MODE, UNIT_WLAN, QByteArray(1, char(mode))));
}

QStringList lines(QPlainTextEdit *view)
{
    const QString text = view->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// The plain text a sniffer line shows for a report, in either layout.
QString expected_line(const QByteArray &frame, bool parentheses)
{
    const int beacons_a = u16_at(frame, 8);
    const int audio_a = u16_at(frame, 10);
    const int beacons_b = u16_at(frame, 12);
    const int audio_b = u16_at(frame, 14);
    const int rssi_a = qint16(u16_at(frame, 16));
    const int rssi_b = qint16(u16_at(frame, 18));
    if (parentheses)
        return QStringLiteral("Beacons: %1 (%2) Audio: %3 (%4) RSSI: %5")
            .arg(beacons_a).arg(beacons_b).arg(audio_a).arg(audio_b).arg(rssi_a);
    return QStringLiteral("Beacons: %1 : %2 Audio: %3 : %4 RSSI: %5 : %6")
        .arg(beacons_a).arg(beacons_b).arg(audio_a).arg(audio_b).arg(rssi_a).arg(rssi_b);
}

// Every line in the view is one report, in order: the view holds exactly the
// last reports the device sent, each in the given layout.
void compare_with_last_reports(QPlainTextEdit *view, const sim::Device &device, bool parentheses)
{
    QStringList sent;
    for (const sim::SentFrame &frame : device.sent()) {
        if (quint8(frame.bytes.at(7)) == RPL_SNIFF)
            sent.append(expected_line(frame.bytes, parentheses));
    }
    const QStringList shown = lines(view);
    QVERIFY(!shown.isEmpty());
    QVERIFY(shown.size() <= sent.size());
    QCOMPARE(shown, sent.mid(sent.size() - shown.size()));
}

QStringList bold_words(const QTextBlock &block)
{
    QStringList words;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.charFormat().fontWeight() >= QFont::Bold)
            words.append(fragment.text().trimmed());
    }
    return words;
}

// A click that goes through the window system, and so respects modality.
void system_click(QWidget *window, QWidget *target)
{
    const QPoint at = target->mapTo(window, target->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void dialogs_are_built_once_and_work_without_a_device();
    void temperature_dialog_reads_on_request();
    void sniffer_dialog_lists_reports();
    void sniffer_view_keeps_the_newest_lines_and_saves_them_all();
};

void DialogsTest::dialogs_are_built_once_and_work_without_a_device()
{
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list({}));
    const QDialog plain(&window);

    const auto heron_all = window.findChildren<QDialog *>(QStringLiteral("HeronTemp"));
    QCOMPARE(heron_all.size(), 1);
    QDialog *heron = heron_all.first();
    QCOMPARE(heron->metaObject()->className(), "HeronTemp");
    QCOMPARE(heron->parentWidget(), &window);
    QCOMPARE(heron->windowFlags(), plain.windowFlags());
    QCOMPARE(heron->size(), QSize(313, 63));
    auto *row = qobject_cast<QHBoxLayout *>(heron->layout());
    QVERIFY(row);
    QCOMPARE(row->objectName(), QStringLiteral("horizontalLayout"));
    QCOMPARE(row->count(), 2);
    QCOMPARE(row->itemAt(0)->widget(), child<QLineEdit>(heron, "htemp_val"));
    QCOMPARE(row->itemAt(1)->widget(), child<QPushButton>(heron, "htemp_ref_button"));

    const auto sniffer_all = window.findChildren<QDialog *>(QStringLiteral("Sniffer"));
    QCOMPARE(sniffer_all.size(), 1);
    QDialog *sniffer = sniffer_all.first();
    QCOMPARE(sniffer->metaObject()->className(), "Sniffer");
    QCOMPARE(sniffer->parentWidget(), &window);
    QCOMPARE(sniffer->windowFlags(), plain.windowFlags());
    QCOMPARE(sniffer->windowModality(), Qt::NonModal);
    QCOMPARE(sniffer->size(), QSize(425, 426));
    auto *grid = qobject_cast<QGridLayout *>(sniffer->layout());
    QVERIFY(grid);
    QCOMPARE(grid->objectName(), QStringLiteral("gridLayout"));
    auto *view = child<QPlainTextEdit>(sniffer, "sniffer_info");
    QVERIFY(!view->isReadOnly());
    QCOMPARE(view->font().pointSize(), 8);
    QCOMPARE(view->font().family(), QFont().family());
    auto cell = [grid](QWidget *w) {
        int r = -1, c = -1, rows = -1, columns = -1;
        grid->getItemPosition(grid->indexOf(w), &r, &c, &rows, &columns);
        return QStringLiteral("%1,%2 %3x%4").arg(r).arg(c).arg(rows).arg(columns);
    };
    QCOMPARE(cell(view), QStringLiteral("0,0 1x3"));
    QCOMPARE(cell(child<QPushButton>(sniffer, "sniff_start_button")), QStringLiteral("1,0 1x1"));
    QCOMPARE(cell(child<QPushButton>(sniffer, "sniffrep_start_button")), QStringLiteral("1,1 1x1"));
    QCOMPARE(cell(child<QPushButton>(sniffer, "sniff_stop_button")), QStringLiteral("1,2 1x1"));

    // With no device the requests are lost without a word, and the sniffer's
    // buttons change all the same.
    answerer.clear();
    child<QPushButton>(heron, "htemp_ref_button")->click();
    QVERIFY(child<QLineEdit>(heron, "htemp_val")->text().isEmpty());
    child<QPushButton>(sniffer, "sniffrep_start_button")->click();
    QVERIFY(!child<QPushButton>(sniffer, "sniff_start_button")->isEnabled());
    QVERIFY(!child<QPushButton>(sniffer, "sniffrep_start_button")->isEnabled());
    child<QPushButton>(sniffer, "sniff_stop_button")->click();
    QVERIFY(child<QPushButton>(sniffer, "sniff_start_button")->isEnabled());
    QVERIFY(child<QPushButton>(sniffer, "sniffrep_start_button")->isEnabled());
    QCOMPARE(answerer.count(), 0);
}

void DialogsTest::temperature_dialog_reads_on_request()
{
    auto device = start_device();
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), TXU_CLIENT_SLOT_1);
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));

    auto *dialog = child<QDialog>(&window, "HeronTemp");
    auto *field = child<QLineEdit>(dialog, "htemp_val");
    auto *get = child<QPushButton>(dialog, "htemp_ref_button");
    auto *gain_up = child<QToolButton>(&window, "gain_up_button");
    QVERIFY(dialog->isHidden());
    QVERIFY(field->text().isEmpty());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Heron Temperature"));
    QCOMPARE(get->text(), QStringLiteral("Get"));
    device->clearReceived();

    // The menu entry shows the dialog and returns: no event loop of its own,
    // but the rest of the program is blocked while it is up.
    child<QAction>(&window, "actionHeron_Temperature")->trigger();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
    QCOMPARE(QApplication::activeModalWidget(), dialog);
    QVERIFY(field->text().isEmpty());
    system_click(&window, gain_up);

    // "Get" sends the bare temperature request to the radio module, and only
    // that: neither the menu entry nor the blocked click sent anything.
    QTest::mouseClick(get, Qt::LeftButton);
    QTRY_COMPARE(device->received().size(), 1);
    QCOMPARE(hex(device->received().first().bytes), hex(request(CMD_TEMPERATURE, UNIT_WLAN)));
    QTRY_COMPARE(field->text(), QString::number(device->options().temperature));

    // Reported values are signed and shown as they come.
    device->sendFrame(RPL_TEMPERATURE, UNIT_WLAN, QByteArray("\xff\xff", 2));
    QTRY_COMPARE(field->text(), QStringLiteral("-1"));
    device->sendFrame(RPL_TEMPERATURE, UNIT_WLAN, QByteArray("\x00\x80", 2));
    QTRY_COMPARE(field->text(), QStringLiteral("-32768"));
    device->sendFrame(RPL_TEMPERATURE, UNIT_WLAN, QByteArray("\x2a\x00", 2));
    QTRY_COMPARE(field->text(), QStringLiteral("42"));

    // Three quick clicks, three requests; the device warms up by one degree
    // for each, and the last answer is the one left in the field.
    device->options().temperature = 100;
    connect(device.get(), &sim::Device::frameReceived, device.get(), [&device](const QByteArray &frame) {
        if (quint8(frame.at(7)) == CMD_TEMPERATURE)
            ++device->options().temperature;
    });
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(get, Qt::LeftButton);
    QTRY_COMPARE(received_with_code(*device, CMD_TEMPERATURE).size(), 4);
    QTRY_COMPARE(field->text(), QStringLiteral("103"));
    QStringList answers;
    for (const sim::SentFrame &frame : device->sent()) {
        if (quint8(frame.bytes.at(7)) == RPL_TEMPERATURE)
            answers.append(QString::number(qint16(u16_at(frame.bytes, 8))));
    }
    QCOMPARE(answers.mid(answers.size() - 3), QStringList({"101", "102", "103"}));

    // The user can copy the value but not change it.
    QVERIFY(field->isReadOnly());
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("77"));
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), QStringLiteral("103"));
    field->selectAll();
    QCOMPARE(field->selectedText(), QStringLiteral("103"));
    field->copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("103"));

    // Escape closes it, which only hides it; the main window takes clicks again.
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(dialog->isHidden());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    system_click(&window, gain_up);
    QTRY_COMPARE(received_with_code(*device, CMD_GAIN).size(), 1);

    // A reply while hidden is kept and shown at the next opening.
    device->setTemperature(-12);
    QTRY_COMPARE(field->text(), QStringLiteral("-12"));
    child<QAction>(&window, "actionHeron_Temperature")->trigger();
    QVERIFY(dialog->isVisible());
    QCOMPARE(field->text(), QStringLiteral("-12"));
    dialog->close();

    QCOMPARE(received_with_code(*device, CMD_TEMPERATURE).size(), 4);
    QCOMPARE(device->malformedCount(), 0);
}

void DialogsTest::sniffer_dialog_lists_reports()
{
    sim::DeviceOptions options;
    options.reportPeriodMs = 20;
    auto device = start_device(options);
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));
    QTRY_COMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), TXU_CLIENT_SLOT_1);
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));

    auto *dialog = child<QDialog>(&window, "Sniffer");
    auto *view = child<QPlainTextEdit>(dialog, "sniffer_info");
    auto *start = child<QPushButton>(dialog, "sniff_start_button");
    auto *start_rep = child<QPushButton>(dialog, "sniffrep_start_button");
    auto *stop = child<QPushButton>(dialog, "sniff_stop_button");
    auto *menu_entry = child<QAction>(&window, "actionSniffer");
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Sniffer"));
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QCOMPARE(start_rep->text(), QStringLiteral("Start (Rep Mode)"));
    QCOMPARE(stop->text(), QStringLiteral("Stop"));
    auto buttons = [&] {
        return QStringLiteral("%1 %2 %3").arg(start->isEnabled()).arg(start_rep->isEnabled()).arg(stop->isEnabled());
    };
    const QString idle = QStringLiteral("1 1 1");
    const QString running = QStringLiteral("0 0 1");
    auto last_command = [&device] {
        const QList<QByteArray> frames = received_with_code(*device, CMD_REPORT_MODE);
        return frames.isEmpty() ? QByteArray() : hex(frames.last());
    };
    const QByteArray report = sniff_args(5, 3, 7, 1, -60, -70);

    // A report before any start, into the hidden dialog: the colon layout,
    // with the field names in bold.
    device->sendFrame(RPL_SNIFF, UNIT_WLAN, report);
    QTRY_COMPARE(lines(view), QStringList({"Beacons: 5 : 7 Audio: 3 : 1 RSSI: -60 : -70"}));
    QCOMPARE(bold_words(view->document()->firstBlock()), QStringList({"Beacons:", "Audio:", "RSSI:"}));

    // Opening clears the view and shows the dialog beside the main window.
    device->clearReceived();
    menu_entry->trigger();
    QVERIFY(lines(view).isEmpty());
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowModality(), Qt::NonModal);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(buttons(), idle);

    // Start: report mode 2 to the radio module; both start buttons go grey.
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(buttons(), running);
    QTRY_COMPARE(last_command(), report_mode(2));
    // Nothing went out before it: opening the dialog sent nothing.
    QCOMPARE(device->received().size(), 1);
    QCOMPARE(device->reportMode(), 2);
    QTRY_VERIFY(lines(view).size() >= 3);

    // Beacons and audio are unsigned, RSSI signed.
    device->sendFrame(RPL_SNIFF, UNIT_WLAN, sniff_args(0xFFFF, 3, 0xFFFF, 1, 0xFFC4, 0x8000));
    QTRY_VERIFY(lines(view).contains(QStringLiteral("Beacons: 65535 (65535) Audio: 3 (1) RSSI: -60")));

    // Closed, it keeps collecting.
    dialog->close();
    QVERIFY(dialog->isHidden());
    const int before = lines(view).size();
    QTRY_VERIFY(lines(view).size() >= before + 3);
    QCOMPARE(buttons(), running);

    // Reopened: an empty view, the sniffer still running, lines coming in.
    menu_entry->trigger();
    QVERIFY(lines(view).isEmpty());
    QCOMPARE(buttons(), running);
    QTRY_VERIFY(lines(view).size() >= 3);

    // Stop: report mode 0, the start buttons back. A report still arriving
    // afterwards keeps the layout of the last start.
    QTest::mouseClick(stop, Qt::LeftButton);
    QCOMPARE(buttons(), idle);
    QTRY_COMPARE(last_command(), report_mode(0));
    QCOMPARE(device->reportMode(), 0);
    device->sendFrame(RPL_SNIFF, UNIT_WLAN, report);
    QTRY_COMPARE(lines(view).last(), QStringLiteral("Beacons: 5 (7) Audio: 3 (1) RSSI: -60"));
    compare_with_last_reports(view, *device, true);
    if (QTest::currentTestFailed())
        return;

    // Stop again while idle: sent again, nothing else changes.
    QTest::mouseClick(stop, Qt::LeftButton);
    QCOMPARE(buttons(), idle);
    QTRY_COMPARE(received_with_code(*device, CMD_REPORT_MODE).size(), 3);
    QCOMPARE(last_command(), report_mode(0));

    // The repeater-mode run shows each pair with a colon, and keeps that
    // layout after its Stop.
    menu_entry->trigger();
    QVERIFY(lines(view).isEmpty());
    QTest::mouseClick(start_rep, Qt::LeftButton);
    QCOMPARE(buttons(), running);
    QTRY_COMPARE(last_command(), report_mode(3));
    QCOMPARE(device->reportMode(), 3);
    QTRY_VERIFY(lines(view).size() >= 3);
    QTest::mouseClick(stop, Qt::LeftButton);
    QCOMPARE(buttons(), idle);
    QTRY_COMPARE(device->reportMode(), 0);
    device->sendFrame(RPL_SNIFF, UNIT_WLAN, report);
    QTRY_COMPARE(lines(view).last(), QStringLiteral("Beacons: 5 : 7 Audio: 3 : 1 RSSI: -60 : -70"));
    compare_with_last_reports(view, *device, false);

    // The user writes a note at the top of the view; reports still go below
    // the last line.
    QTextCursor cursor = view->textCursor();
    cursor.movePosition(QTextCursor::Start);
    view->setTextCursor(cursor);
    view->setFocus();
    QTest::keyClicks(view, QStringLiteral("note "));
    QVERIFY(lines(view).first().startsWith(QStringLiteral("note Beacons:")));
    device->sendFrame(RPL_SNIFF, UNIT_WLAN, sniff_args(1, 2, 3, 4, -5, -6));
    QTRY_COMPARE(lines(view).last(), QStringLiteral("Beacons: 1 : 3 Audio: 2 : 4 RSSI: -5 : -6"));

    QCOMPARE(received_with_code(*device, CMD_REPORT_MODE).size(), 5);
    QCOMPARE(device->received().size(), 5);
    QCOMPARE(device->malformedCount(), 0);
}

void DialogsTest::sniffer_view_keeps_the_newest_lines_and_saves_them_all()
{
    ModalAnswerer answerer;
    Sniffer sniffer;
    auto *view = child<QPlainTextEdit>(&sniffer, "sniffer_info");
    auto *save = child<QPushButton>(&sniffer, "save_button");
    QCOMPARE(save->text(), QStringLiteral("Save\u2026"));
    sniffer.show();

    // More reports than the view keeps: the first half in the repeater
    // layout, the rest in the normal one. Each report differs.
    const int count = Sniffer::VIEW_LINES + 50;
    QStringList expected;
    for (int i = 0; i < count; ++i) {
        const QByteArray frame = build_frame(RPL_SNIFF, UNIT_WLAN,
                                             sniff_args(i & 0xFFFF, i % 300, 65535 - i, i % 7, -(i % 90), i % 40 - 80));
        const bool normal = i >= count / 2;
        sniffer.append_report(frame, normal ? 2 : 3);
        expected.append(expected_line(frame, normal));
    }
    QCOMPARE(view->blockCount(), Sniffer::VIEW_LINES);
    QCOMPARE(lines(view), expected.mid(50));

    // "Save..." writes every line of the session, as shown, in order.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sniffer.txt"));
    answerer.queue_file(path);
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(answerer.titles(), QStringList({"Save Sniffer Lines"}));
    QTRY_VERIFY(!sniffer.saving());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList saved = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QCOMPARE(saved.size(), count + 1);
    QCOMPARE(saved.last(), QString());
    QCOMPARE(saved.mid(0, count), expected);
    file.close();

    // A new session (the menu clears the view) saves only its own lines.
    sniffer.clear_lines();
    const QByteArray frame = build_frame(RPL_SNIFF, UNIT_WLAN, sniff_args(1, 2, 3, 4, -5, -6));
    sniffer.append_report(frame, 0);
    file.setFileName(dir.filePath(QStringLiteral("second.txt")));
    answerer.queue_file(file.fileName());
    QTest::mouseClick(save, Qt::LeftButton);
    QTRY_VERIFY(!sniffer.saving());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Beacons: 1 : 3 Audio: 2 : 4 RSSI: -5 : -6\n"));
    QCOMPARE(answerer.titles(), QStringList({"Save Sniffer Lines", "Save Sniffer Lines"}));

    // A file that cannot be written is reported, naming it (a user was told
    // only "No such file or directory"; the file dialog may give the folder
    // that is not there from the home folder).
    answerer.queue_file(dir.filePath(QStringLiteral("missing/sniffer.txt")));
    QTest::mouseClick(save, Qt::LeftButton);
    QTRY_COMPARE(answerer.titles().last(), QStringLiteral("Error"));
    QVERIFY2(QRegularExpression("^Could not save the sniffer lines to /.*/missing/sniffer\\.txt: No such file or "
                                "directory$")
                 .match(answerer.seen().last().text).hasMatch(),
             qPrintable(answerer.seen().last().text));
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
