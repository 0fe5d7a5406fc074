// Escape, the firmware dialog's close button and the main window's close
// button pressed at random moments of an update: none of them ends it
// unless the user confirms, a confirmed stop says so and sends nothing
// more, and the program stays open.

#include "frame.h"
#include "sim/device.h"
#include "test_support.h"
#include "tvc.h"

#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString STOP_QUESTION = QStringLiteral("Stop the update? The device keeps a half-written image and needs the "
                                             "update again.");
const QString STOP_BUTTON = QStringLiteral("Stop Update");

enum class Press { Escape, CloseDialog, CloseWindow };

const char *press_name(Press press)
{
    return press == Press::Escape ? "Escape" : press == Press::CloseDialog ? "dialog closed" : "window closed";
}

struct Moment
{
    Press press;
    int after_chunks;  // pressed once the device has received this many data chunks
    bool stop;         // the question, if asked, is answered with Stop
};

QString info(QDialog *dialog)
{
    return child<QLabel>(dialog, "dev_info")->text();
}

QString module(QDialog *dialog)
{
    return child<QLabel>(dialog, "cur_module")->text();
}

int question_count(const ModalAnswerer &answerer)
{
    int count = 0;
    for (const ModalAnswerer::Seen &seen : answerer.seen())
        count += seen.text == STOP_QUESTION ? 1 : 0;
    return count;
}

bool completed(const ModalAnswerer &answerer)
{
    for (const ModalAnswerer::Seen &seen : answerer.seen()) {
        if (seen.text.contains(QStringLiteral("completed successfully")))
            return true;
    }
    return false;
}

// One update of `package` with `moments`, against a device that takes its
// time over each acknowledgement.
struct Run
{
    explicit Run(int ack_delay_ms)
    {
        sim::DeviceOptions options = txu_device();
        options.ackDelayMs = ack_delay_ms;
        device = start_device(options);
        window = std::make_unique<TVC>(bridge_for(*device));
        window->show();
    }

    bool linked()
    {
        return QTest::qWaitFor([this] {
            return child<QLabel>(window.get(), "l_p2p_devtype")->text().contains(QStringLiteral(" Client ("));
        });
    }

    ModalAnswerer answerer;  // before the window: it answers the welcome box
    std::unique_ptr<sim::Device> device;
    std::unique_ptr<TVC> window;
};

} // namespace

class UpdateInterruptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void stray_presses_never_end_an_update_data();
    void stray_presses_never_end_an_update();
    void escape_at_40_percent_asks_and_goes_on();
};

void UpdateInterruptionsTest::stray_presses_never_end_an_update_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 20; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void UpdateInterruptionsTest::stray_presses_never_end_an_update()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);

    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("package.zip"));
    Package package;
    package.wlan = pattern(1500 + random.bounded(2500), int(seed));
    package.txu = pattern(300 + random.bounded(900), int(seed) + 1);
    QVERIFY(package.write(dir, zip));
    const int chunks = (package.wlan.size() + 99) / 100 + (package.txu.size() + 99) / 100;

    // One to three presses while data goes out, each at its own chunk; only
    // the last may be answered with Stop. Then, unless stopped, now and
    // then an Escape once the update has ended.
    QList<Moment> moments;
    const int presses = 1 + int(random.bounded(3));
    QList<int> at;
    while (at.size() < presses) {
        const int chunk = 1 + int(random.bounded(chunks - 4));
        if (!at.contains(chunk))
            at.append(chunk);
    }
    std::sort(at.begin(), at.end());
    for (int i = 0; i < presses; ++i)
        moments.append({Press(random.bounded(3)), at.at(i), i == presses - 1 && random.bounded(100) < 50});
    const bool stopped = moments.constLast().stop;
    const bool escape_after_end = !stopped && random.bounded(2) == 1;
    QString plan;
    for (const Moment &m : moments)
        plan += QStringLiteral("%1 after chunk %2%3; ").arg(press_name(m.press)).arg(m.after_chunks).arg(m.stop ? ", Stop" : "");
    qInfo("seed %u: %d chunks; %s%s", seed, chunks, qPrintable(plan), escape_after_end ? "Escape after the end" : "");

    Run run(2 + int(random.bounded(4)));
    QVERIFY(run.linked());
    run.answerer.clear();

    int next = 0;
    int data_at_stop = -1;
    bool window_closed = false;
    QStringList faults;
    const FirmwareDialogRun ran = run_firmware_dialog(*run.window, [&](QDialog *dialog) {
        QObject context;
        int data_frames = 0;  // all images
        auto press = [&](const Moment &m) {
            const int questions = question_count(run.answerer);
            const bool data_was_going = data_frames < chunks;
            if (m.stop)
                run.answerer.queue_button(STOP_BUTTON);
            if (m.press == Press::Escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (m.press == Press::CloseDialog)
                dialog->close();
            else
                run.window->close();
            const bool asked = question_count(run.answerer) == questions + 1;
            if (!asked && data_was_going)
                faults << QStringLiteral("%1 after chunk %2 asked nothing").arg(press_name(m.press)).arg(m.after_chunks);
            if (m.stop && asked) {
                data_at_stop = data_frames;
                window_closed = m.press == Press::CloseWindow;
            } else if (!dialog->isVisible() || !run.window->isVisible()) {
                faults << QStringLiteral("%1 after chunk %2, answered Continue, closed a window")
                              .arg(press_name(m.press))
                              .arg(m.after_chunks);
            }
        };
        // Each press waits for its chunk, then comes from the event loop,
        // as a user's key does.
        connect(run.device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
            if (quint8(frame.at(7)) != CMD_FW_DATA)
                return;
            ++data_frames;
            if (next >= moments.size() || data_at_stop >= 0)
                return;
            if (data_frames >= moments.at(next).after_chunks) {
                const Moment m = moments.at(next++);
                QTimer::singleShot(0, dialog, [&, m] { press(m); });
            }
        });
        pick(dialog, run.answerer, zip);
        const int width = dialog->width();
        start(dialog);
        if (stopped) {
            QTRY_VERIFY_WITH_TIMEOUT(data_at_stop >= 0, 30000);
            // Nothing more goes out after the stop.
            QTest::qWait(300);
            QCOMPARE(data_frames, data_at_stop);
            if (window_closed) {
                QVERIFY(!dialog->isVisible());
                return;
            }
            // The dialog stays and says where the update stopped and what the device needs.
            QVERIFY(dialog->isVisible());
            QVERIFY2(info(dialog).contains(QStringLiteral("Update stopped at ")), qPrintable(info(dialog)));
            QVERIFY2(module(dialog).contains(QStringLiteral("half-written")), qPrintable(module(dialog)));
            QVERIFY(child<QProgressBar>(dialog, "fw_progress_bar")->format().startsWith(QStringLiteral("Stopped at")));
            // The long message wraps: the dialog keeps its width.
            QCOMPARE(dialog->width(), width);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(completed(run.answerer), 30000);
            QCOMPARE(next, moments.size());
            QVERIFY2(info(dialog).contains(QStringLiteral("Update complete")), qPrintable(info(dialog)));
        }
        // Once the update has ended, Escape closes the dialog without a question.
        if (stopped || escape_after_end) {
            const int questions = question_count(run.answerer);
            QTest::keyClick(dialog, Qt::Key_Escape);
            QVERIFY(!dialog->isVisible());
            QCOMPARE(question_count(run.answerer), questions);
        }
    });
    QVERIFY(ran.dialog_shown);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    // The program never quits under the user; only a confirmed stop closes the window.
    QVERIFY(!ran.quit_requested);
    QCOMPARE(run.window->isVisible(), !window_closed);
    if (!stopped) {
        // Every question answered with Continue lost and doubled nothing.
        QCOMPARE(run.device->receivedImage(UNIT_WLAN), package.wlan);
        QCOMPARE(run.device->receivedImage(UNIT_DSP), package.txu);
        QCOMPARE(run.device->violations(), QStringList());
    }
}

void UpdateInterruptionsTest::escape_at_40_percent_asks_and_goes_on()
{
    // A user pressed Escape at 40 % of a TXU's update: the dialog closed, no
    // further chunk went out, the program ended, the device stayed
    // half-written.
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("package.zip"));
    Package package;
    package.wlan = pattern(5000, 40);
    QVERIFY(package.write(dir, zip));

    Run run(3);
    QVERIFY(run.linked());
    run.answerer.clear();
    QString asked;
    int default_button = -1;
    run.answerer.set_inspector([&](const ModalAnswerer::Seen &seen) {
        if (seen.text != STOP_QUESTION)
            return;
        asked = seen.text;
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        default_button = box && box->defaultButton() && box->defaultButton()->text() == QStringLiteral("Continue");
    });
    const FirmwareDialogRun ran = run_firmware_dialog(*run.window, [&](QDialog *dialog) {
        auto *bar = child<QProgressBar>(dialog, "fw_progress_bar");
        pick(dialog, run.answerer, zip);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(bar->maximum() == package.wlan.size() && bar->value() * 100 >= 40 * bar->maximum(),
                                 20000);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QCOMPARE(asked, STOP_QUESTION);
        QCOMPARE(default_button, 1);
        QVERIFY(dialog->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(completed(run.answerer), 20000);
    });
    QVERIFY(!ran.quit_requested);
    QVERIFY(run.window->isVisible());
    QCOMPARE(run.device->receivedImage(UNIT_WLAN), package.wlan);
    QCOMPARE(run.device->receivedImage(UNIT_DSP), package.txu);
    QCOMPARE(run.device->violations(), QStringList());
}

QTEST_MAIN(UpdateInterruptionsTest)
#include "test_update_interruptions.moc"
