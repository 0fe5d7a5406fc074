// Firmware updates end to end: the dialog, a zip package made with zip, and
// the simulated device receiving the images over a pseudo-terminal.

#include "firmware_package.h"
#include "frame.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"
#include "zip_writer.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDevice>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr quint16 LAST = 0xFFFF;
// One more byte than 65,535 numbered chunks and the last one can carry.
constexpr qint64 OVERSIZED = 6553601;

const QString SERVICE_CODE = QStringLiteral("taverox5190");
const QString MISMATCH_TEXT = QStringLiteral("Skipping firmware update for this portable");
const QString DONE_TEXT = QStringLiteral("Firmware update completed successfully.<br>") + QString(37, QLatin1Char(' '))
    + QStringLiteral("It is now safe to disconnect your device. Tavero Companion stays open and links the device "
                     "again when it answers.");
const QString SERVICE_DONE_TEXT = QStringLiteral("Firmware update completed successfully");
const QString SILENT_MARK = QStringLiteral("has not answered");
const QString LINK_LOST_TEXT = QStringLiteral("Connection to the device lost: the update is not complete. The device "
                                              "keeps a half-written image and needs the update again. Plug the device "
                                              "in again and repeat the update; the main window links it again when it "
                                              "answers.");
const QString FINISHING_TEXT = QStringLiteral("The device is finishing the update. Do not disconnect it.");


// A device, the answerer of the program's boxes, and the main window on the
// device's port. The answerer exists before the window: it takes the
// "Welcome" box.
struct Bench
{
    explicit Bench(const sim::DeviceOptions &options = txu_device())
        : device(start_device(options))
        , window(std::make_unique<TVC>(bridge_for(*device)))
    {
    }

    std::unique_ptr<sim::Device> device;
    ModalAnswerer answerer;
    std::unique_ptr<TVC> window;
};

QString device_line(TVC &window)
{
    return child<QLabel>(&window, "l_p2p_devtype")->text();
}

// The window shows the device, and its start-up box was answered.
#define WAIT_CONNECTED(bench)                                               \
    do {                                                                    \
        QTRY_VERIFY(device_line(*(bench).window).contains(" Client ("));    \
        QCOMPARE(box_titles((bench).answerer), QStringList({"Welcome"}));  \
    } while (false)

QList<int> codes_of(const QList<sim::ReceivedFrame> &frames)
{
    QList<int> codes;
    for (const sim::ReceivedFrame &frame : frames)
        codes.append(quint8(frame.bytes.at(7)));
    return codes;
}

// The device's received frames of the update: without the status requests
// used as markers, the questions by which the dialog names the device when it
// opens, and those for the new versions after a completed update.
QList<int> codes_but_status(const sim::Device &device)
{
    QList<int> codes = codes_of(device.received());
    codes.removeAll(CMD_STATUS);
    const QList<int> query = {CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION};
    if (codes.mid(0, 3) == query)
        codes = codes.mid(3);
    const int finish = codes.lastIndexOf(CMD_FW_FINISH);
    while (finish >= 0 && codes.size() > finish + 1 && (codes.last() == CMD_DEVICE_TYPE || codes.last() == CMD_VERSION))
        codes.removeLast();
    return codes;
}

QList<int> repeated(int code, int times)
{
    QList<int> list;
    for (int i = 0; i < times; ++i)
        list.append(code);
    return list;
}

QList<QByteArray> data_frames(const sim::Device &device, int unit = -1)
{
    QList<QByteArray> frames;
    for (const QByteArray &frame : received_with_code(device, CMD_FW_DATA)) {
        if (unit < 0 || quint8(frame.at(5)) == unit)
            frames.append(frame);
    }
    return frames;
}

quint16 sequence_of(const QByteArray &frame)
{
    return quint16(quint8(frame.at(8)) | (quint8(frame.at(9)) << 8));
}

QList<int> sequences(const QList<QByteArray> &frames)
{
    QList<int> list;
    for (const QByteArray &frame : frames)
        list.append(sequence_of(frame));
    return list;
}

// The image bytes the frames carry, in order.
QByteArray carried(const QList<QByteArray> &frames)
{
    QByteArray bytes;
    for (const QByteArray &frame : frames)
        bytes.append(frame.mid(12, quint8(frame.at(10))));
    return bytes;
}

// Frames an image of `size` bytes travels in.
int chunk_count(int size)
{
    return size <= 100 ? 1 : (size + 99) / 100;
}

// The sequence fields the chunks of an image of `size` bytes carry.
QList<int> expected_sequences(int size)
{
    QList<int> list;
    for (int s = 0; s < chunk_count(size) - 1; ++s)
        list.append(s);
    list.append(LAST);
    return list;
}

// Data frame as the device must see it, written out byte by byte.
QByteArray expected_data_frame(quint8 unit, quint16 sequence, const QByteArray &bytes)
{
    QByteArray frame(FRAME_SIZE, '\0');
    const int n = bytes.size();
    frame[0] = char(141);
    frame[1] = char(n + 9);
    frame[3] = char(n + 5);
    frame[5] = char(unit);
    frame[7] = char(91);
    frame[8] = char(sequence & 0xFF);
    frame[9] = char(sequence >> 8);
    frame[10] = char(n);
    frame.replace(12, n, bytes);
    return frame;
}

// Sends a status request as a marker and waits for it: whatever the program
// wrote before has then reached the device too.
bool drain_to_device(TVC &window, const sim::Device &device)
{
    const int before = received_with_code(device, CMD_STATUS).size();
    window.send_command(CMD_STATUS, UNIT_WLAN, 0);
    return QTest::qWaitFor([&] { return received_with_code(device, CMD_STATUS).size() > before; }, 5000);
}

int count_of(const QStringList &list, const QString &value)
{
    return int(list.count(value));
}

// The message boxes the program showed, in order (file dialogs left out).
QList<ModalAnswerer::Seen> boxes(const ModalAnswerer &answerer)
{
    QList<ModalAnswerer::Seen> found;
    for (const ModalAnswerer::Seen &seen : answerer.seen()) {
        if (seen.kind == QLatin1String("QMessageBox"))
            found.append(seen);
    }
    return found;
}

QStringList box_titles(const ModalAnswerer &answerer)
{
    QStringList titles;
    for (const ModalAnswerer::Seen &seen : boxes(answerer))
        titles.append(seen.title);
    return titles;
}

// What the program has written to the temporary folder: anything there but
// the tests' own folders, which are named after the test program.
QStringList written_to_tmp()
{
    QStringList found =
        QDir(QDir::tempPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    const QString own = QCoreApplication::applicationName() + QLatin1Char('-');
    found.erase(std::remove_if(found.begin(), found.end(), [&own](const QString &name) { return name.startsWith(own); }),
                found.end());
    return found;
}

// What the dialog says of the package and the device.
QString info_text(QDialog *dialog)
{
    return child<QLabel>(dialog, "dev_info")->text();
}

bool start_enabled(QDialog *dialog)
{
    return child<QPushButton>(dialog, "start_fw_button")->isEnabled();
}

QString module_text(QDialog *dialog)
{
    return child<QLabel>(dialog, "cur_module")->text();
}

} // namespace

// The program finds the temporary folder through TMPDIR; the tests give it a
// private one, so that anything the program writes there shows.
class FirmwareUpdateTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void full_update_sends_both_images_intact_data();
    void full_update_sends_both_images_intact();
    void package_overwritten_after_pick_sends_what_was_picked();
    void version_check_decides_before_anything_is_sent_data();
    void version_check_decides_before_anything_is_sent();
    void transfer_survives_link_faults_data();
    void transfer_survives_link_faults();
    void unknown_device_type_stops_before_any_image();
    void unusable_image_is_refused_before_sending_data();
    void unusable_image_is_refused_before_sending();
    void unpack_failure_leaves_nothing_to_start_data();
    void unpack_failure_leaves_nothing_to_start();
    void closing_without_start_cleans_up_and_returns_the_port();
    void picking_without_a_device();
    void package_name_bytes_read_as_latin1();
    void package_name_shown_as_written_at_pick_data();
    void package_name_shown_as_written_at_pick();
    void manifest_that_is_no_file_is_refused_at_pick_data();
    void manifest_that_is_no_file_is_refused_at_pick();

    void service_image_goes_out_frame_by_frame_data();
    void service_image_goes_out_frame_by_frame();
    void service_oversized_image_is_refused();
    void service_start_waits_for_the_image_on_its_way();
    void service_image_cut_while_sending_goes_out_as_checked();
    void service_hang_up_shows_one_error_and_main_window_recovers();
    void cable_pulled_before_start();
    void hang_up_outside_service_mode_is_silent_and_stays_open();
    void a_refused_package_leaves_a_way_forward();

    void time_left_appears_after_a_second();
    void silence_notice_while_waiting_for_an_acknowledgement();
    void silence_notice_gone_once_the_device_answered_a_query();
    void silent_device_ends_the_update_after_half_a_minute();
    void slow_finish_asks_not_to_disconnect();

private:
    QByteArray saved_tmpdir;
    std::unique_ptr<QTemporaryDir> private_tmp;
};

void FirmwareUpdateTest::initTestCase()
{
    // The main window is never shown here, so each dialog that closes is the
    // last window: the application would post itself a quit request, and the
    // next modal box would return at once.
    QApplication::setQuitOnLastWindowClosed(false);

    private_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(private_tmp->isValid());
    saved_tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(private_tmp->path()));
    QCOMPARE(QDir(QDir::tempPath()).canonicalPath(), QDir(private_tmp->path()).canonicalPath());
}

void FirmwareUpdateTest::cleanupTestCase()
{
    QCOMPARE(written_to_tmp(), QStringList());
    if (saved_tmpdir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", saved_tmpdir);
    private_tmp.reset();
}

// --- Updates outside service mode -------------------------------------------

void FirmwareUpdateTest::full_update_sends_both_images_intact_data()
{
    QTest::addColumn<bool>("txu");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("level_1");
    // The TXU package lies where a shell would split or unquote its path.
    QTest::newRow("TXU") << true << QStringLiteral("beta \"2\" drop") << false;
    QTest::newRow("RXU") << false << QStringLiteral("plain") << false;
    // The first service level changes nothing here.
    QTest::newRow("TXU at service level 1") << true << QStringLiteral("plain") << true;
}

void FirmwareUpdateTest::full_update_sends_both_images_intact()
{
    QFETCH(bool, txu);
    QFETCH(QString, folder);
    QFETCH(bool, level_1);

    QTemporaryDir dir;
    const QString zip = dir.filePath(folder + "/firmware package.zip");
    Package package;
    package.manifest = "PACKAGE:<b>Tavero</b> & Co %1 %2\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    QVERIFY(package.write(dir, zip));

    sim::DeviceOptions options = txu_device();
    options.txu = txu;
    if (!txu) {
        options.dspMajor = 4;
        options.dspMinor = 5;
    }
    Bench bench(options);
    WAIT_CONNECTED(bench);
    if (level_1) {
        enter_service_code(*bench.window, bench.answerer, QStringLiteral("taverox042"));
        QCOMPARE(int(bench.window->service_level), 1);
    }
    bench.answerer.clear();
    bench.device->clearReceived();

    QString dev_info_while_sending;
    bool buttons_disabled = false;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        QCOMPARE(child<QLineEdit>(dialog, "fw_path")->text(), zip);
        QVERIFY(child<QPushButton>(dialog, "start_fw_button")->isEnabled());
        QVERIFY(!child<QProgressBar>(dialog, "fw_progress_bar")->isVisible());

        auto *info = child<QLabel>(dialog, "dev_info");
        const auto seen_first_chunk = connect(bench.device.get(), &sim::Device::frameReceived, info,
                                              [&](const QByteArray &frame) {
                                                  if (quint8(frame.at(7)) == CMD_FW_DATA
                                                      && dev_info_while_sending.isEmpty())
                                                      dev_info_while_sending = info->text();
                                              });
        // Before Start the dialog names the device and its versions, and
        // whether the package fits it.
        QTRY_VERIFY(child<QLabel>(dialog, "target_device")->text().contains(QStringLiteral("WLAN 1650, DSP ")));
        QVERIFY2(child<QLabel>(dialog, "target_device")->text().contains(bench.device->slavePath().section('/', -1)),
                 qPrintable(child<QLabel>(dialog, "target_device")->text()));
        QVERIFY2(info->text().contains(QStringLiteral("The package fits the device.")), qPrintable(info->text()));
        // The device restarts with its new firmware once it has confirmed the update.
        connect(bench.device.get(), &sim::Device::frameReceived, info, [&](const QByteArray &frame) {
            if (quint8(frame.at(7)) == CMD_FW_FINISH)
                bench.device->options().wlanVersion = 1660;
        });
        start(dialog);
        buttons_disabled = !child<QPushButton>(dialog, "start_fw_button")->isEnabled()
            && !child<QToolButton>(dialog, "get_fw_button")->isEnabled();
        QVERIFY(child<QProgressBar>(dialog, "fw_progress_bar")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Firmware Update"), 20000);
        disconnect(seen_first_chunk);
        // The heading tells the end, the bar stays full, and the device is
        // asked for its new versions.
        QVERIFY2(info->text().contains(QStringLiteral("Update complete")), qPrintable(info->text()));
        auto *bar = child<QProgressBar>(dialog, "fw_progress_bar");
        QCOMPARE(bar->value(), bar->maximum());
        QTRY_VERIFY(child<QLabel>(dialog, "target_device")->text().contains(QStringLiteral("WLAN 1660")));
    });
    QVERIFY(run.dialog_shown);
    // The program stays open, and the window shows the device's new versions.
    QVERIFY(!run.quit_requested);
    QVERIFY2(child<QLabel>(bench.window.get(), "l_device_port")->text().contains(QStringLiteral("WLAN 1660, DSP ")),
             qPrintable(child<QLabel>(bench.window.get(), "l_device_port")->text()));
    QVERIFY(buttons_disabled);
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    const QByteArray &dsp = txu ? package.txu : package.rxu;
    QCOMPARE(bench.device->receivedImage(UNIT_WLAN), package.wlan);
    QCOMPARE(bench.device->receivedImage(UNIT_DSP), dsp);
    QCOMPARE(bench.device->violations(), QStringList());
    QCOMPARE(bench.device->malformedCount(), 0);
    QCOMPARE(codes_but_status(*bench.device),
             QList<int>({CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION})
                 + repeated(CMD_FW_DATA, chunk_count(package.wlan.size()) + chunk_count(dsp.size()))
                 + QList<int>({CMD_FW_FINISH}));
    QCOMPARE(hex(received_with_code(*bench.device, CMD_FW_FINISH).value(0)), hex(frame_of(CMD_FW_FINISH, UNIT_DSP)));
    QCOMPARE(hex(received_with_code(*bench.device, CMD_DEVICE_TYPE).value(0)),
             hex(frame_of(CMD_DEVICE_TYPE, UNIT_DSP)));
    const QList<QByteArray> versions = received_with_code(*bench.device, CMD_VERSION);
    QCOMPARE(frame_unit(versions.value(0)), UNIT_WLAN);
    QCOMPARE(frame_unit(versions.value(1)), UNIT_DSP);

    QCOMPARE(box_titles(bench.answerer), QStringList({"Firmware Update"}));
    QCOMPARE(boxes(bench.answerer).constFirst().text, DONE_TEXT);

    // The package name is shown as text, not as markup, and its markers as
    // they are.
    QVERIFY2(dev_info_while_sending.contains("&lt;b&gt;Tavero&lt;/b&gt; &amp; Co %1 %2\n WLAN: 1650 -> 1660\n DSP: "),
             qPrintable(dev_info_while_sending));
    QVERIFY(dev_info_while_sending.contains(txu ? "Updating TXU..." : "Updating RXU..."));
    QVERIFY(!dev_info_while_sending.contains("<b>Tavero"));
}

void FirmwareUpdateTest::package_overwritten_after_pick_sends_what_was_picked()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package picked;
    picked.wlan = pattern(350, 11);
    QVERIFY(picked.write(dir, zip));
    Package other;
    other.wlan = pattern(420, 12);
    other.txu = pattern(300, 13);
    const QString other_zip = dir.filePath("other.zip");
    QVERIFY(other.write(dir, other_zip));
    QFile other_file(other_zip);
    QVERIFY(other_file.open(QIODevice::ReadOnly));
    const QByteArray other_bytes = other_file.readAll();

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        // The file is rewritten in place between the pick and Start.
        write_file(dir, "package.zip", other_bytes);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Firmware Update"), 20000);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(drain_to_device(*bench.window, *bench.device));
    QCOMPARE(box_titles(bench.answerer), QStringList({"Firmware Update"}));
    QCOMPARE(bench.device->receivedImage(UNIT_WLAN), picked.wlan);
    QCOMPARE(bench.device->receivedImage(UNIT_DSP), picked.txu);
    QCOMPARE(bench.device->violations(), QStringList());
}

void FirmwareUpdateTest::version_check_decides_before_anything_is_sent_data()
{
    QTest::addColumn<int>("device_wlan");
    QTest::addColumn<int>("device_major");
    QTest::addColumn<int>("device_minor");
    QTest::addColumn<QByteArray>("manifest");  // null: the package has none
    QTest::addColumn<bool>("accepted");

    const QByteArray standard = "PACKAGE:Test package\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    QTest::newRow("device WLAN 1599") << 1599 << 3 << 12 << standard << false;
    QTest::newRow("device WLAN 1600") << 1600 << 3 << 12 << standard << true;
    QTest::newRow("device WLAN 1699, package equal")
        << 1699 << 3 << 12 << QByteArray("PACKAGE:Test package\nWLAN:1699\nTXU:3.12\nRXU:4.5\n") << true;
    QTest::newRow("device WLAN 1700") << 1700 << 3 << 12
                                      << QByteArray("PACKAGE:Test package\nWLAN:1800\nTXU:3.12\nRXU:4.5\n") << false;
    QTest::newRow("package WLAN equal") << 1660 << 3 << 12 << standard << true;
    QTest::newRow("package WLAN smaller") << 1661 << 3 << 12 << standard << false;
    QTest::newRow("DSP major differs") << 1650 << 4 << 12 << standard << false;
    QTest::newRow("device DSP minor 0") << 1650 << 3 << 0 << standard << false;
    QTest::newRow("package DSP minor smaller") << 1650 << 3 << 13 << standard << false;
    QTest::newRow("package DSP minor larger") << 1650 << 3 << 11 << standard << true;
    QTest::newRow("manifest missing") << 1650 << 3 << 12 << QByteArray() << false;
    QTest::newRow("manifest empty") << 1650 << 3 << 12 << QByteArray("") << false;
    QTest::newRow("manifest with CR LF")
        << 1650 << 3 << 12 << QByteArray("PACKAGE:Test package\r\nWLAN:1660\r\nTXU:3.12\r\nRXU:4.5\r\n") << true;
    QTest::newRow("manifest lines shorter than their labels")
        << 1650 << 3 << 12 << QByteArray("PACKAGE\nWLAN\nTXU\nRXU\n") << false;
}

void FirmwareUpdateTest::version_check_decides_before_anything_is_sent()
{
    QFETCH(int, device_wlan);
    QFETCH(int, device_major);
    QFETCH(int, device_minor);
    QFETCH(QByteArray, manifest);
    QFETCH(bool, accepted);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.manifest = manifest;
    package.with_manifest = !manifest.isNull();
    package.wlan = pattern(150, 4);
    package.txu = pattern(120, 5);
    QVERIFY(package.write(dir, zip));

    sim::DeviceOptions options = txu_device();
    options.wlanVersion = quint16(device_wlan);
    options.dspMajor = quint8(device_major);
    options.dspMinor = quint8(device_minor);
    Bench bench(options);
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    // A manifest without its four lines or without a WLAN number is refused
    // when the package is picked: Start stays disabled, and the dialog says why.
    const bool refused_at_pick = manifest.isNull() || read_manifest(manifest).lines < 4
        || package_wlan_version(read_manifest(manifest).wlan_version) == 0;
    QString said;
    bool pick_again = false;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        if (refused_at_pick) {
            QVERIFY(!start_enabled(dialog));
            said = info_text(dialog);
            return;
        }
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(!box_titles(bench.answerer).isEmpty(), 10000);
        if (accepted)
            return;
        // After a refusal the dialog acts on nothing the device sends.
        QSignalSpy reads(bench.window->serial_port, &QSerialPort::readyRead);
        bench.device->writeRaw(frame_of(RPL_DEVICE_TYPE, UNIT_DSP, {4}) + frame_of(RPL_VERSION, UNIT_DSP, {12, 3})
                               + frame_of(RPL_FW_ACK, UNIT_WLAN, {0, 0}) + frame_of(RPL_FW_DONE, UNIT_DSP));
        QTRY_VERIFY(reads.count() > 0 && bench.window->serial_port->bytesAvailable() == 0);
        // It says which side is newer, and another package may be picked.
        said = module_text(dialog);
        pick_again = child<QToolButton>(dialog, "get_fw_button")->isEnabled() && !start_enabled(dialog);
    });
    QVERIFY(run.dialog_shown);
    // The program stays open, whatever the update's end.
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    const QList<int> queries = {CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION};
    if (refused_at_pick) {
        QVERIFY2(said.contains(QStringLiteral("fw.txt")) && said.contains(QStringLiteral("Pick another package.")),
                 qPrintable(said));
        QCOMPARE(box_titles(bench.answerer), QStringList());
        QCOMPARE(codes_but_status(*bench.device), QList<int>());
    } else if (accepted) {
        QCOMPARE(box_titles(bench.answerer), QStringList({"Firmware Update"}));
        QCOMPARE(bench.device->receivedImage(UNIT_WLAN), package.wlan);
        QCOMPARE(bench.device->receivedImage(UNIT_DSP), package.txu);
        QCOMPARE(codes_but_status(*bench.device), queries + repeated(CMD_FW_DATA, 4) + QList<int>({CMD_FW_FINISH}));
        QCOMPARE(bench.device->violations(), QStringList());
    } else {
        QCOMPARE(box_titles(bench.answerer), QStringList({"Version Mismatch"}));
        QCOMPARE(boxes(bench.answerer).constFirst().text, MISMATCH_TEXT);
        QCOMPARE(boxes(bench.answerer).constFirst().icon, int(QMessageBox::Information));
        QCOMPARE(codes_but_status(*bench.device), queries);
        QVERIFY2(said.startsWith(QStringLiteral("The package does not fit this device: ")) &&
                     said.endsWith(QStringLiteral(". Nothing was sent; pick another package.")),
                 qPrintable(said));
        QVERIFY(pick_again);
    }
}

void FirmwareUpdateTest::transfer_survives_link_faults_data()
{
    QTest::addColumn<int>("duplicate_at");
    QTest::addColumn<int>("split");
    QTest::addColumn<int>("merge");
    QTest::addColumn<bool>("pacing");
    QTest::addColumn<bool>("stray");
    QTest::addColumn<QString>("damage");  // a console command of the device, run as it takes data frame 1

    // Data frames 0-2 carry the WLAN image, 3-5 the DSP image.
    QTest::newRow("acknowledgement of a middle chunk twice") << 1 << 0 << 0 << false << false << QString();
    QTest::newRow("last WLAN acknowledgement twice") << 2 << 0 << 0 << false << false << QString();
    QTest::newRow("last DSP acknowledgement twice") << 5 << 0 << 0 << false << false << QString();
    QTest::newRow("replies in pieces") << -1 << 7 << 0 << false << false << QString();
    QTest::newRow("replies held and merged") << -1 << 0 << 2 << false << false << QString();
    QTest::newRow("wire speed") << -1 << 0 << 0 << true << false << QString();
    QTest::newRow("stray replies mid-transfer") << -1 << 0 << 0 << false << true << QString();
    for (const auto &fault : acknowledgement_faults())
        QTest::newRow(qPrintable(fault.first)) << -1 << 0 << 0 << false << false << fault.second;
}

void FirmwareUpdateTest::transfer_survives_link_faults()
{
    QFETCH(int, duplicate_at);
    QFETCH(int, split);
    QFETCH(int, merge);
    QFETCH(bool, pacing);
    QFETCH(bool, stray);
    QFETCH(QString, damage);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(250, 6);
    package.txu = pattern(230, 7);
    QVERIFY(package.write(dir, zip));

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();
    sim::DeviceOptions &faults = bench.device->options();
    faults.duplicateAckAt = duplicate_at;
    faults.splitSize = split;
    faults.mergeCount = merge;
    faults.mergeHoldMs = 5;
    faults.wirePacing = pacing;

    // Replies that fit no step of the transfer, sent by the device ahead of
    // its acknowledgement of the second chunk.
    int data_seen = 0;
    QObject context;
    if (!damage.isEmpty()) {
        connect(bench.device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
            if (quint8(frame.at(7)) == CMD_FW_DATA && ++data_seen == 2)
                bench.device->runCommand(damage);
        });
    }
    if (stray) {
        connect(bench.device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
            if (quint8(frame.at(7)) != CMD_FW_DATA || ++data_seen != 2)
                return;
            bench.device->sendFrame(RPL_FW_DONE, UNIT_DSP, QByteArray());
            bench.device->sendFrame(RPL_FW_ACK, UNIT_DSP, QByteArray("\x01\x00", 2));
            bench.device->sendFrame(RPL_FW_ACK, UNIT_WLAN, QByteArray("\x07\x00", 2));
            bench.device->sendFrame(RPL_FW_ACK, UNIT_WLAN, QByteArray("\xff\xff", 2));
            bench.device->sendFrame(RPL_DEVICE_TYPE, UNIT_DSP, QByteArray(1, 8));
            bench.device->sendFrame(RPL_VERSION, UNIT_WLAN, QByteArray("\x72\x06", 2));
            bench.device->sendFrame(RPL_VERSION, UNIT_DSP, QByteArray("\x0c\x03", 2));
        });
    }

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Firmware Update"), 20000);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    faults = txu_device();
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    QCOMPARE(bench.device->violations(), QStringList());
    QCOMPARE(bench.device->malformedCount(), 0);
    QCOMPARE(bench.device->receivedImage(UNIT_WLAN), package.wlan);
    QCOMPARE(bench.device->receivedImage(UNIT_DSP), package.txu);
    QCOMPARE(sequences(data_frames(*bench.device, UNIT_WLAN)), QList<int>({0, 1, LAST}));
    QCOMPARE(sequences(data_frames(*bench.device, UNIT_DSP)), QList<int>({0, 1, LAST}));
    QCOMPARE(codes_but_status(*bench.device),
             QList<int>({CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION}) + repeated(CMD_FW_DATA, 6)
                 + QList<int>({CMD_FW_FINISH}));
    QCOMPARE(box_titles(bench.answerer), QStringList({"Firmware Update"}));
}

void FirmwareUpdateTest::unknown_device_type_stops_before_any_image()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.wlan = pattern(250, 8);
    QVERIFY(package.write(dir, zip));

    sim::DeviceOptions options = txu_device();
    options.deviceType = 6;
    Bench bench(options);
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(!box_titles(bench.answerer).isEmpty(), 10000);
    });
    QVERIFY(run.dialog_shown);
    // Nothing was sent: closing the dialog leaves the program running.
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    QCOMPARE(box_titles(bench.answerer), QStringList({"Error!"}));
    QCOMPARE(boxes(bench.answerer).constFirst().icon, int(QMessageBox::Critical));
    QCOMPARE(codes_but_status(*bench.device), QList<int>({CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION}));
}

void FirmwareUpdateTest::unusable_image_is_refused_before_sending_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message_part");
    QTest::newRow("wlan.bin missing") << 0 << QStringLiteral("The package package.zip has no wlan.bin.");
    QTest::newRow("wlan.bin a symbolic link") << 1 << QStringLiteral("wlan.bin");
    QTest::newRow("wlan.bin a folder") << 2 << QStringLiteral("wlan.bin");
    QTest::newRow("txu.ldr too large") << 3 << QStringLiteral("6553601");
    // The WLAN image is fine, but the device would be left without its DSP image.
    QTest::newRow("txu.ldr missing") << 4 << QStringLiteral("The package package.zip has no txu.ldr.");
}

void FirmwareUpdateTest::unusable_image_is_refused_before_sending()
{
    QFETCH(int, kind);
    QFETCH(QString, message_part);

    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    const QString outside = write_file(dir, "outside.bin", pattern(300, 9));
    Package package;
    switch (kind) {
    case 0:
        package.with_wlan = false;
        break;
    case 1:
        package.with_wlan = false;
        package.extra = [&](const QString &staging) { QFile::link(outside, staging + "/wlan.bin"); };
        break;
    case 2:
        package.with_wlan = false;
        package.extra = [](const QString &staging) {
            QDir().mkpath(staging + "/wlan.bin");
            QFile file(staging + "/wlan.bin/inside");
            if (file.open(QIODevice::WriteOnly))
                file.write("x");
        };
        break;
    case 3:
        package.txu = QByteArray(int(OVERSIZED), '\0');
        break;
    case 4:
        package.with_txu = false;
        break;
    }
    QVERIFY(package.write(dir, zip));

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    // A package without a WLAN image that can be sent serves no device: it is
    // refused when picked. A DSP image is known to be needed only once the
    // device has said its type.
    const bool at_pick = kind <= 2;
    QString said;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        if (at_pick) {
            QVERIFY(!start_enabled(dialog));
            said = info_text(dialog);
            return;
        }
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(!box_titles(bench.answerer).isEmpty(), 10000);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    if (at_pick) {
        QVERIFY2(said.contains(message_part.toHtmlEscaped()), qPrintable(said));
        QCOMPARE(box_titles(bench.answerer), QStringList());
        QCOMPARE(codes_but_status(*bench.device), QList<int>());
        return;
    }
    QCOMPARE(box_titles(bench.answerer), QStringList({"Error!"}));
    const ModalAnswerer::Seen box = boxes(bench.answerer).constFirst();
    QCOMPARE(box.icon, int(QMessageBox::Critical));
    QVERIFY(!box.text.isEmpty());
    QVERIFY2(box.text.contains(message_part), qPrintable(box.text));
    QCOMPARE(codes_but_status(*bench.device), QList<int>({CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION}));
}

void FirmwareUpdateTest::unpack_failure_leaves_nothing_to_start_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("corrupt zip") << "corrupt" << "bad.zip is not a zip archive.";
    QTest::newRow("damaged image") << "damaged" << "wlan.bin is damaged (its checksum does not match).";
    QTest::newRow("encrypted image") << "encrypted" << "txu.ldr is encrypted in the package; it cannot be read.";
}

void FirmwareUpdateTest::unpack_failure_leaves_nothing_to_start()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString good = dir.filePath("good.zip");
    QVERIFY(Package().write(dir, good));
    QByteArray bad_bytes = "PK\x03\x04 this is not a zip archive at all" + pattern(500, 1);
    if (kind != "corrupt") {
        const Package files;
        QList<ZipEntry> entries = {zip_entry("fw.txt", files.manifest), zip_entry("wlan.bin", files.wlan),
                                   zip_entry("txu.ldr", files.txu), zip_entry("rxu.ldr", files.rxu)};
        if (kind == "damaged")
            entries[1].wrong_checksum = true;
        else
            entries[2].flags = 1;
        bad_bytes = zip_archive(entries);
    }
    const QString bad = write_file(dir, "bad.zip", bad_bytes);

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        auto *path = child<QLineEdit>(dialog, "fw_path");
        auto *start_button = child<QPushButton>(dialog, "start_fw_button");
        pick(dialog, bench.answerer, good);
        QCOMPARE(path->text(), good);
        QVERIFY(start_button->isEnabled());

        pick(dialog, bench.answerer, bad);

        QCOMPARE(path->text(), QString());
        QVERIFY(!start_button->isEnabled());
        QCOMPARE(written_to_tmp(), QStringList());
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    QCOMPARE(box_titles(bench.answerer), QStringList({"Error!"}));
    const ModalAnswerer::Seen box = boxes(bench.answerer).constLast();
    QCOMPARE(box.icon, int(QMessageBox::Critical));
    QCOMPARE(box.text, "The firmware package " + bad + " could not be unpacked.\n" + reason);
    QCOMPARE(codes_but_status(*bench.device), QList<int>());
}

void FirmwareUpdateTest::closing_without_start_cleans_up_and_returns_the_port()
{
    QTemporaryDir dir;
    Package first;
    first.manifest = "PACKAGE:First\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    const QString first_zip = dir.filePath("first.zip");
    QVERIFY(first.write(dir, first_zip));
    Package second;
    second.manifest = "PACKAGE:Second\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    second.with_rxu = false;
    const QString second_zip = dir.filePath("second.zip");
    QVERIFY(second.write(dir, second_zip));
    const QString no_programs = dir.filePath("no-programs");
    QVERIFY(QDir().mkpath(no_programs));

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *) {});
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);

    const FirmwareDialogRun picked = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        // Packages are read by the program itself: no other program is needed.
        const QByteArray saved_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(no_programs));
        pick(dialog, bench.answerer, first_zip);
        QCOMPARE(child<QLineEdit>(dialog, "fw_path")->text(), first_zip);
        pick(dialog, bench.answerer, second_zip);
        qputenv("PATH", saved_path);
        QCOMPARE(child<QLineEdit>(dialog, "fw_path")->text(), second_zip);
        QVERIFY(child<QPushButton>(dialog, "start_fw_button")->isEnabled());
        // Nothing of either package is written anywhere.
        QCOMPARE(written_to_tmp(), QStringList());
    });
    QVERIFY(picked.dialog_shown);
    QVERIFY(!picked.quit_requested);
    QCOMPARE(written_to_tmp(), QStringList());
    QCOMPARE(box_titles(bench.answerer), QStringList());

    // The main window reads the port again.
    bench.device->options().slot = 4;
    bench.device->sendInfo();
    QTRY_COMPARE(device_line(*bench.window), QStringLiteral("<b>TXU Client (Slot 4)</b><br>"));
    QVERIFY(drain_to_device(*bench.window, *bench.device));
    // The device was only asked for its type and versions.
    QList<int> codes = codes_but_status(*bench.device);
    codes.removeAll(CMD_DEVICE_TYPE);
    codes.removeAll(CMD_VERSION);
    QCOMPARE(codes, QList<int>());
}

void FirmwareUpdateTest::picking_without_a_device()
{
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list([] { return QList<SerialPortEntry>(); }));
    QCOMPARE(device_line(window), no_device_text());
    QCOMPARE(box_titles(answerer), QStringList({"Welcome"}));
    answerer.clear();

    const FirmwareDialogRun run = run_firmware_dialog(window, [&](QDialog *dialog) {
        auto *button = child<QToolButton>(dialog, "get_fw_button");
        button->click();
        QVERIFY(!button->isEnabled());
        button->click();
        QVERIFY(!child<QPushButton>(dialog, "start_fw_button")->isEnabled());
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QCOMPARE(box_titles(answerer), QStringList({"Connected devices"}));
    QCOMPARE(boxes(answerer).constFirst().text, QStringLiteral("No devices found"));
    QCOMPARE(answerer.count(), 1);  // no file dialog either
}

void FirmwareUpdateTest::cable_pulled_before_start()
{
    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        bench.device->hangUp();
        QTRY_VERIFY(!bench.window->serial_port->isOpen());
        // Picking a package now says why it cannot be.
        child<QToolButton>(dialog, "get_fw_button")->click();
        QCOMPARE(box_titles(bench.answerer), QStringList({"Connected devices"}));
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QCOMPARE(device_line(*bench.window), no_device_text());
}

void FirmwareUpdateTest::package_name_bytes_read_as_latin1()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.manifest = QByteArray("PACKAGE:Caf\xe9 \xb5", 14) + QByteArray(1, '\0') + "hidden\nWLAN:1500\nTXU:3.12\nRXU:4.5\n";
    QVERIFY(package.write(dir, zip));

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();

    QString shown;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Version Mismatch"), 10000);
        shown = child<QLabel>(dialog, "dev_info")->text();
    });
    QVERIFY(run.dialog_shown);
    // Each byte is one character; the name ends at its NUL byte.
    QVERIFY2(shown.contains(QStringLiteral("Package: Caf\u00e9 \u00b5 WLAN")), qPrintable(shown));
    QVERIFY(!shown.contains("hidden"));
}

void FirmwareUpdateTest::package_name_shown_as_written_at_pick_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("ampersand") << "R&D build";
    QTest::newRow("quotes and greater-than") << "\"Pro\" > 4";
    QTest::newRow("markup") << "<b>Tavero</b> & Co";
}

void FirmwareUpdateTest::package_name_shown_as_written_at_pick()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.manifest = "PACKAGE:" + name.toLatin1() + "\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    QVERIFY(package.write(dir, zip));

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    QString seen;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        // What the label shows: its text, or what the text's markup makes.
        auto *info = child<QLabel>(dialog, "dev_info");
        const bool rich = info->textFormat() == Qt::RichText
            || (info->textFormat() == Qt::AutoText && Qt::mightBeRichText(info->text()));
        seen = rich ? QTextDocumentFragment::fromHtml(info->text()).toPlainText() : info->text();
    });
    QVERIFY(run.dialog_shown);
    QVERIFY2(seen.startsWith("Package \"" + name + "\": WLAN 1660"), qPrintable(seen));
}

void FirmwareUpdateTest::manifest_that_is_no_file_is_refused_at_pick_data()
{
    QTest::addColumn<bool>("as_link");
    QTest::newRow("fw.txt a link to a good manifest") << true;
    QTest::newRow("fw.txt a folder") << false;
}

void FirmwareUpdateTest::manifest_that_is_no_file_is_refused_at_pick()
{
    QFETCH(bool, as_link);

    QTemporaryDir dir;
    const QString outside = write_file(dir, "outside.txt", Package().manifest);
    Package package;
    package.with_manifest = false;
    package.extra = [&](const QString &staging) {
        if (as_link)
            QFile::link(outside, staging + "/fw.txt");
        else
            QDir().mkpath(staging + "/fw.txt/inside");
    };
    const QString zip = dir.filePath("package.zip");
    QVERIFY(package.write(dir, zip));

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        QCOMPARE(child<QLineEdit>(dialog, "fw_path")->text(), QString());
        QVERIFY(!child<QPushButton>(dialog, "start_fw_button")->isEnabled());
        QCOMPARE(written_to_tmp(), QStringList());
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));
    QCOMPARE(box_titles(bench.answerer), QStringList({"Error!"}));
    QVERIFY2(boxes(bench.answerer).constFirst().text.contains("fw.txt is not a regular file"),
             qPrintable(boxes(bench.answerer).constFirst().text));
    QCOMPARE(codes_but_status(*bench.device), QList<int>());
}

// --- Service mode ------------------------------------------------------------

void FirmwareUpdateTest::service_image_goes_out_frame_by_frame_data()
{
    QTest::addColumn<QString>("file_name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("unit");
    // The bar's value as each chunk goes out: the bytes acknowledged so far.
    QTest::addColumn<QList<int>>("progress");

    QTest::newRow("250-byte .bin") << "wlan.bin" << 250 << int(UNIT_WLAN) << QList<int>({0, 100, 200});
    QTest::newRow("101-byte .ldr") << "txu.ldr" << 101 << int(UNIT_DSP) << QList<int>({0, 100});
    QTest::newRow("100-byte .BIN") << "WLAN.BIN" << 100 << int(UNIT_DSP) << QList<int>({0});
    QTest::newRow("empty .bin") << "empty.bin" << 0 << int(UNIT_WLAN) << QList<int>({0});
}

void FirmwareUpdateTest::service_image_goes_out_frame_by_frame()
{
    QFETCH(QString, file_name);
    QFETCH(int, size);
    QFETCH(int, unit);
    QFETCH(QList<int>, progress);

    QTemporaryDir dir;
    const QByteArray image = pattern(size, 10);
    const QString path = write_file(dir, file_name, image);

    Bench bench;
    WAIT_CONNECTED(bench);
    enter_service_code(*bench.window, bench.answerer, SERVICE_CODE);
    QCOMPARE(int(bench.window->service_level), 2);
    bench.answerer.clear();
    bench.device->clearReceived();

    QList<int> values;
    int maximum = -1;
    int value_at_end = -1;
    QString module_while_sending;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        auto *bar = child<QProgressBar>(dialog, "fw_progress_bar");
        const auto watch = connect(bench.device.get(), &sim::Device::frameReceived, dialog,
                                   [&](const QByteArray &frame) {
                                       if (quint8(frame.at(7)) != CMD_FW_DATA)
                                           return;
                                       values.append(bar->value());
                                       maximum = bar->maximum();
                                       module_while_sending = module_text(dialog);
                                   });
        pick(dialog, bench.answerer, path);
        QCOMPARE(child<QLineEdit>(dialog, "fw_path")->text(), path);
        start(dialog);
        // In service mode the dialog is ready for another image once this
        // one has ended.
        QVERIFY(child<QToolButton>(dialog, "get_fw_button")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Firmware Update"), 10000);
        QVERIFY(child<QPushButton>(dialog, "start_fw_button")->isEnabled());
        disconnect(watch);
        value_at_end = bar->value();
        QCOMPARE(module_text(dialog), QString());
        QVERIFY(info_text(dialog).contains(QStringLiteral("Update complete")));
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    const QList<QByteArray> frames = data_frames(*bench.device);
    QCOMPARE(frames.size(), chunk_count(size));
    const QList<int> expected = expected_sequences(size);
    for (int i = 0; i < frames.size(); ++i) {
        const QByteArray bytes = image.mid(i * 100, 100);
        QCOMPARE(hex(frames.at(i)), hex(expected_data_frame(quint8(unit), quint16(expected.at(i)), bytes)));
    }
    QCOMPARE(values, progress);
    QCOMPARE(maximum, size);
    // The bar stays full after the image went out.
    QCOMPARE(value_at_end, maximum);
    QCOMPARE(module_while_sending,
             unit == UNIT_WLAN ? QStringLiteral("Updating WLAN Firmware...") : QStringLiteral("Updating DSP Firmware..."));
    QCOMPARE(bench.device->violations(), QStringList());

    // A WLAN image ends with its last acknowledgement; a DSP image with the
    // device's answer to the finish request.
    QList<int> codes = repeated(CMD_FW_DATA, chunk_count(size));
    if (unit == UNIT_DSP)
        codes.append(CMD_FW_FINISH);
    QCOMPARE(codes_but_status(*bench.device), codes);
    if (unit == UNIT_DSP)
        QCOMPARE(hex(received_with_code(*bench.device, CMD_FW_FINISH).value(0)), hex(frame_of(CMD_FW_FINISH, UNIT_DSP)));
    QCOMPARE(box_titles(bench.answerer), QStringList({"Firmware Update"}));
    QCOMPARE(boxes(bench.answerer).constLast().text, SERVICE_DONE_TEXT);

    // The main window has the port back.
    bench.device->options().slot = 5;
    bench.device->sendInfo();
    QTRY_COMPARE(device_line(*bench.window), QStringLiteral("<b>TXU Client (Slot 5)</b><br>"));
}

void FirmwareUpdateTest::service_oversized_image_is_refused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("huge %1.bin");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(OVERSIZED));  // sparse
    }

    Bench bench;
    WAIT_CONNECTED(bench);
    enter_service_code(*bench.window, bench.answerer, SERVICE_CODE);
    bench.answerer.clear();
    bench.device->clearReceived();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, path);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Error!"), 10000);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    QCOMPARE(box_titles(bench.answerer), QStringList({"Error!"}));
    QVERIFY2(boxes(bench.answerer).constLast().text.contains("huge %1.bin holds 6553601"),
             qPrintable(boxes(bench.answerer).constLast().text));
    QCOMPARE(codes_but_status(*bench.device), QList<int>());
}

void FirmwareUpdateTest::service_start_waits_for_the_image_on_its_way()
{
    QTemporaryDir dir;
    const QByteArray image = pattern(350, 11);
    const QString path = write_file(dir, "wlan.bin", image);

    Bench bench;
    WAIT_CONNECTED(bench);
    enter_service_code(*bench.window, bench.answerer, SERVICE_CODE);
    bench.answerer.clear();
    bench.device->clearReceived();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        auto *start_button = child<QPushButton>(dialog, "start_fw_button");
        pick(dialog, bench.answerer, path);
        // While the device takes chunk 1, Start has nothing to offer, not
        // even once another file is picked; pressed anyway, it starts nothing.
        bool enabled_mid_image = true;
        int seen = 0;
        const auto press = connect(bench.device.get(), &sim::Device::frameReceived, dialog,
                                   [&](const QByteArray &frame) {
                                       if (quint8(frame.at(7)) != CMD_FW_DATA || ++seen != 2)
                                           return;
                                       pick(dialog, bench.answerer, path);
                                       enabled_mid_image = start_button->isEnabled();
                                       start(dialog);
                                   });
        start(dialog);
        QTRY_COMPARE_WITH_TIMEOUT(count_of(box_titles(bench.answerer), "Firmware Update"), 1, 10000);
        disconnect(press);
        QVERIFY(!enabled_mid_image);
        // Once the image has ended, another may follow.
        QVERIFY(start_button->isEnabled());
        start(dialog);
        QTRY_COMPARE_WITH_TIMEOUT(count_of(box_titles(bench.answerer), "Firmware Update"), 2, 10000);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));

    const QList<QByteArray> frames = data_frames(*bench.device);
    QCOMPARE(sequences(frames), QList<int>({0, 1, 2, LAST, 0, 1, 2, LAST}));
    QCOMPARE(carried(frames.mid(4)), image);
    QCOMPARE(bench.device->completedImages().size(), 2);
    QCOMPARE(bench.device->violations(), QStringList());
    QCOMPARE(box_titles(bench.answerer), QStringList({"Firmware Update", "Firmware Update"}));
}

void FirmwareUpdateTest::service_image_cut_while_sending_goes_out_as_checked()
{
    QTemporaryDir dir;
    const QByteArray image = pattern(20000, 15);
    const QString path = write_file(dir, "wlan.bin", image);

    Bench bench;
    WAIT_CONNECTED(bench);
    enter_service_code(*bench.window, bench.answerer, SERVICE_CODE);
    bench.answerer.clear();
    bench.device->clearReceived();

    // The file is cut to 150 bytes once the device has its second chunk.
    int seen = 0;
    QObject context;
    connect(bench.device.get(), &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
        if (quint8(frame.at(7)) == CMD_FW_DATA && ++seen == 2)
            QFile::resize(path, 150);
    });
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, path);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(!box_titles(bench.answerer).isEmpty(), 10000);
    });
    QVERIFY(run.dialog_shown);
    QCOMPARE(QFileInfo(path).size(), qint64(150));
    QCOMPARE(box_titles(bench.answerer), QStringList({"Firmware Update"}));
    QCOMPARE(bench.device->receivedImage(UNIT_WLAN), image);
    QCOMPARE(bench.device->violations(), QStringList());
}

void FirmwareUpdateTest::service_hang_up_shows_one_error_and_main_window_recovers()
{
    QTemporaryDir dir;
    const QString path = write_file(dir, "wlan.bin", pattern(1000, 12));

    sim::DeviceOptions options = txu_device();
    options.hangUpAt = 3;
    Bench bench(options);
    WAIT_CONNECTED(bench);
    const QString port = bench.device->slavePath();
    enter_service_code(*bench.window, bench.answerer, SERVICE_CODE);
    bench.answerer.clear();

    bool port_open_during_box = true;
    bench.answerer.set_inspector([&](const ModalAnswerer::Seen &seen) {
        if (seen.title == "Critical Error")
            port_open_during_box = bench.window->serial_port->isOpen();
    });
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, path);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Critical Error"), 10000);
        QVERIFY2(boxes(bench.answerer).constFirst().text.endsWith("serial port " + port + " was lost."),
                 qPrintable(boxes(bench.answerer).constFirst().text));
        QVERIFY(!bench.window->serial_port->isOpen());
        // In service mode Start is ready again once the image has ended;
        // pressed, it says why nothing can be sent.
        start(dialog);
        QCOMPARE(box_titles(bench.answerer), QStringList({"Critical Error", "Connected devices"}));
        QCOMPARE(boxes(bench.answerer).constLast().text, QStringLiteral("No devices found"));
        QVERIFY(!child<QPushButton>(dialog, "start_fw_button")->isEnabled());
    });
    bench.answerer.set_inspector(nullptr);
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY(!port_open_during_box);
    QCOMPARE(bench.device->firmwareDataFrames(), 3);
    bench.answerer.clear();

    QCOMPARE(device_line(*bench.window), no_device_text());
    QVERIFY(!bench.window->serial_port->isOpen());

    // Plugged in again, found by a refresh.
    QVERIFY(bench.device->start());
    child<QAction>(bench.window.get(), "actionRefresh")->trigger();
    QTRY_COMPARE(device_line(*bench.window), QStringLiteral("<b>TXU Client (Slot 1)</b><br>"));
    bench.device->options().slot = 6;
    bench.device->sendInfo();
    QTRY_COMPARE(device_line(*bench.window), QStringLiteral("<b>TXU Client (Slot 6)</b><br>"));

    QVERIFY(box_titles(bench.answerer).isEmpty());
}

void FirmwareUpdateTest::a_refused_package_leaves_a_way_forward()
{
    // A new user's package was refused: the dialog said only that it was
    // skipped, both buttons were grey and closing it ended the program
    // although nothing was sent. Now the dialog says which side is newer,
    // and another package can be picked and sent.
    QTemporaryDir dir;
    const QString old_zip = dir.filePath("old.zip");
    const QString new_zip = dir.filePath("new.zip");
    Package old_package;
    old_package.manifest = "PACKAGE:Old package\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    QVERIFY(old_package.write(dir, old_zip));
    Package new_package;
    new_package.manifest = "PACKAGE:New package\nWLAN:1660\nTXU:3.14\nRXU:4.5\n";
    new_package.wlan = pattern(250, 21);
    QVERIFY(new_package.write(dir, new_zip));

    sim::DeviceOptions options = txu_device();
    options.dspMinor = 13;
    Bench bench(options);
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    QString refusal;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, old_zip);
        QVERIFY(info_text(dialog).contains(QStringLiteral("Old package")));
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Version Mismatch"), 10000);
        refusal = module_text(dialog);
        QCOMPARE(bench.device->firmwareDataFrames(), 0);
        pick(dialog, bench.answerer, new_zip);
        QVERIFY(info_text(dialog).contains(QStringLiteral("New package")));
        QTRY_VERIFY(start_enabled(dialog));
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Firmware Update"), 10000);
    });
    QVERIFY(run.dialog_shown);
    QCOMPARE(refusal, QStringLiteral("The package does not fit this device: the device's DSP is newer than the "
                                     "package's. Nothing was sent; pick another package."));
    QVERIFY(!run.quit_requested);
    QCOMPARE(bench.device->receivedImage(UNIT_WLAN), new_package.wlan);
}

void FirmwareUpdateTest::hang_up_outside_service_mode_is_silent_and_stays_open()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    QVERIFY(package.write(dir, zip));

    sim::DeviceOptions options = txu_device();
    options.hangUpAt = 2;
    Bench bench(options);
    WAIT_CONNECTED(bench);
    bench.answerer.clear();

    QString shown;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(!bench.device->isConnected(), 10000);
        QTRY_VERIFY(!bench.window->serial_port->isOpen());
        shown = module_text(dialog);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QCOMPARE(box_titles(bench.answerer), QStringList());
    // No box, but the dialog does not look alive either.
    QCOMPARE(shown, LINK_LOST_TEXT);
}

// --- Progress while waiting --------------------------------------------------

void FirmwareUpdateTest::time_left_appears_after_a_second()
{
    QTemporaryDir dir;
    const QString path = write_file(dir, "wlan.bin", pattern(10000, 13));

    sim::DeviceOptions options = txu_device();
    options.ackDelayMs = 25;  // about 2.5 s for the whole image
    Bench bench(options);
    WAIT_CONNECTED(bench);
    enter_service_code(*bench.window, bench.answerer, SERVICE_CODE);
    bench.answerer.clear();

    QString early_format;
    QString shown;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        auto *bar = child<QProgressBar>(dialog, "fw_progress_bar");
        pick(dialog, bench.answerer, path);
        start(dialog);
        early_format = bar->format();
        const QRegularExpression estimate(QStringLiteral("^\\d+% .*about \\d+ s left$"));
        QTRY_VERIFY_WITH_TIMEOUT(estimate.match(bar->text()).hasMatch(), 10000);
        shown = bar->text();
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Firmware Update"), 20000);
        QVERIFY2(!bar->format().contains("left"), qPrintable(bar->format()));
    });
    QVERIFY(run.dialog_shown);
    QCOMPARE(early_format, QStringLiteral("%p%"));
    QVERIFY(!shown.isEmpty());
}

void FirmwareUpdateTest::silence_notice_while_waiting_for_an_acknowledgement()
{
    QTemporaryDir dir;
    const QString path = write_file(dir, "wlan.bin", pattern(150, 14));

    sim::DeviceOptions options = txu_device();
    options.ackDelayMs = 7000;
    Bench bench(options);
    WAIT_CONNECTED(bench);
    enter_service_code(*bench.window, bench.answerer, SERVICE_CODE);
    bench.answerer.clear();

    qint64 notice_after_ms = -1;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, path);
        QElapsedTimer clock;
        clock.start();
        start(dialog);
        QCOMPARE(module_text(dialog), QStringLiteral("Updating WLAN Firmware..."));
        // The first acknowledgement takes 7 s; the notice comes after 5.
        QTRY_VERIFY_WITH_TIMEOUT(module_text(dialog).contains(SILENT_MARK), 6800);
        notice_after_ms = clock.elapsed();
        QVERIFY2(module_text(dialog).contains("not complete"), qPrintable(module_text(dialog)));
        QVERIFY(dialog->isVisible());
        QCOMPARE(box_titles(bench.answerer), QStringList());
        QCOMPARE(bench.device->acksSent(), 1);

        // The late acknowledgement takes the notice away; the last one is
        // held long enough to see that.
        bench.device->options().ackDelayMs = 2500;
        QTRY_COMPARE_WITH_TIMEOUT(module_text(dialog), QStringLiteral("Updating WLAN Firmware..."), 4000);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Firmware Update"), 6000);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY2(notice_after_ms >= 4500, qPrintable(QString::number(notice_after_ms)));
    QCOMPARE(bench.device->receivedImage(UNIT_WLAN), pattern(150, 14));
    QCOMPARE(box_titles(bench.answerer), QStringList({"Firmware Update"}));
}

void FirmwareUpdateTest::silence_notice_gone_once_the_device_answered_a_query()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    Package package;
    package.manifest = "PACKAGE:Old package\nWLAN:1500\nTXU:3.12\nRXU:4.5\n";
    QVERIFY(package.write(dir, zip));

    Bench bench;
    WAIT_CONNECTED(bench);
    bench.answerer.clear();
    bench.device->clearReceived();

    QString module_after_refusal;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        // The device holds its answer to the device-type request for 6.5 s.
        bench.device->options().mergeCount = 100;
        bench.device->options().mergeHoldMs = 6500;
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(module_text(dialog).contains(SILENT_MARK), 6400);
        bench.device->options().mergeCount = 0;
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Version Mismatch"), 5000);
        module_after_refusal = module_text(dialog);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY(drain_to_device(*bench.window, *bench.device));
    // The question went out again each second, four times in all; its four
    // answers, arriving together, moved the update on once.
    QCOMPARE(codes_but_status(*bench.device), QList<int>({CMD_DEVICE_TYPE, CMD_DEVICE_TYPE, CMD_DEVICE_TYPE,
                                                          CMD_DEVICE_TYPE, CMD_VERSION, CMD_VERSION}));
    // The device did answer, and the dialog waits for nothing any more.
    QVERIFY2(!module_after_refusal.contains(SILENT_MARK), qPrintable(module_after_refusal));
}

void FirmwareUpdateTest::silent_device_ends_the_update_after_half_a_minute()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("package.zip");
    QVERIFY(Package().write(dir, zip));

    sim::DeviceOptions options = txu_device();
    options.ackDelayMs = 120000;
    Bench bench(options);
    WAIT_CONNECTED(bench);
    bench.answerer.clear();

    qint64 ended_after_ms = -1;
    QString module_at_end;
    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, zip);
        QElapsedTimer clock;
        clock.start();
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Error!"), 45000);
        ended_after_ms = clock.elapsed();
        module_at_end = module_text(dialog);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QVERIFY2(ended_after_ms >= 29000, qPrintable(QString::number(ended_after_ms)));
    QVERIFY2(module_at_end.contains("the update is not complete"), qPrintable(module_at_end));
    QCOMPARE(box_titles(bench.answerer), QStringList({"Error!"}));
    QVERIFY2(boxes(bench.answerer).constFirst().text.contains("has not answered for 30 seconds"),
             qPrintable(boxes(bench.answerer).constFirst().text));
    QCOMPARE(bench.device->firmwareDataFrames(), 1);
}

void FirmwareUpdateTest::slow_finish_asks_not_to_disconnect()
{
    QTemporaryDir dir;
    const QString path = write_file(dir, "txu.ldr", pattern(150, 16));

    sim::DeviceOptions options = txu_device();
    options.finishDelayMs = 6500;  // a flash commit
    Bench bench(options);
    WAIT_CONNECTED(bench);
    enter_service_code(*bench.window, bench.answerer, SERVICE_CODE);
    bench.answerer.clear();

    const FirmwareDialogRun run = run_firmware_dialog(*bench.window, [&](QDialog *dialog) {
        pick(dialog, bench.answerer, path);
        start(dialog);
        QTRY_COMPARE_WITH_TIMEOUT(module_text(dialog), FINISHING_TEXT, 6400);
        QCOMPARE(box_titles(bench.answerer), QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(box_titles(bench.answerer).contains("Firmware Update"), 5000);
    });
    QVERIFY(run.dialog_shown);
    QCOMPARE(received_with_code(*bench.device, CMD_FW_FINISH).size(), 1);
    QCOMPARE(bench.device->receivedImage(UNIT_DSP), pattern(150, 16));
}

QTEST_MAIN(FirmwareUpdateTest)
#include "test_firmware_update.moc"
