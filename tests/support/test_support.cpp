#include "test_support.h"

#include "frame.h"
#include "status_display.h"
#include "modal_answerer.h"
#include "tvc.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

sim::DeviceOptions txu_device()
{
    sim::DeviceOptions options;
    options.wlanVersion = 1650;
    options.dspMajor = 3;
    options.dspMinor = 12;
    return options;
}

PortFinder one_bridge(const QString &path)
{
    return PortFinder::from_list([path] {
        return QList<SerialPortEntry>{{path, QStringLiteral("Silicon Labs"), false}};
    });
}

PortFinder bridge_for(const sim::Device &device)
{
    return PortFinder::from_list([&device] {
        return device.isConnected()
            ? QList<SerialPortEntry>{{device.slavePath(), QStringLiteral("Silicon Labs"), false}}
            : QList<SerialPortEntry>{};
    });
}

std::unique_ptr<sim::Device> start_device(const sim::DeviceOptions &options)
{
    auto device = std::make_unique<sim::Device>(options);
    device->setQuiet(true);
    QString error;
    if (!device->start(&error))
        qFatal("cannot start the simulated device: %s", qPrintable(error));
    return device;
}

QList<int> codes_received(const sim::Device &device)
{
    QList<int> codes;
    for (const sim::ReceivedFrame &frame : device.received())
        codes.append(quint8(frame.bytes.at(7)));
    return codes;
}

QStringList items(QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list.append(box->itemText(i));
    return list;
}

QByteArray request(quint8 code, quint8 unit, const QByteArray &args)
{
    QByteArray frame(112, '\0');
    frame[0] = char(0x8D);
    frame[1] = char(args.size() + 5);
    frame[3] = char(args.size() + 1);
    frame[5] = char(unit);
    frame[7] = char(code);
    for (int i = 0; i < args.size(); ++i)
        frame[8 + i] = args.at(i);
    return frame;
}

QList<QByteArray> received_with_code(const sim::Device &device, quint8 code)
{
    QList<QByteArray> frames;
    for (const sim::ReceivedFrame &frame : device.received()) {
        if (quint8(frame.bytes.at(7)) == code)
            frames.append(frame.bytes);
    }
    return frames;
}

void enter_service_code(TVC &window, ModalAnswerer &answerer, const QString &code)
{
    answerer.queue_text(code);
    child<QAction>(&window, "actionService_Mode")->trigger();
}

QByteArray frame_of(quint8 code, quint8 unit, std::initializer_list<int> args)
{
    QByteArray bytes;
    for (int v : args)
        bytes.append(char(v & 0xFF));
    return build_frame(code, unit, bytes);
}

LinkedWindow::LinkedWindow(const sim::DeviceOptions &options)
    : device(start_device(options))
    , window(std::make_unique<TVC>(one_bridge(device->slavePath())))
{
}

bool LinkedWindow::ready()
{
    auto *line = child<QLabel>(window.get(), "l_p2p_devtype");
    if (!QTest::qWaitFor([line] { return line->text() != updating_text(); }, 5000))
        return false;
    device->clearReceived();
    return true;
}

FirmwareDialogRun run_firmware_dialog(TVC &window, const std::function<void(QDialog *)> &steps)
{
    FirmwareDialogRun run;
    // In a test the main window is often not shown, so the dialog would be the
    // last window to close; that must not count as a quit request.
    const bool quit_on_last_window = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QDialog *dialog = window.findChild<QDialog *>(QStringLiteral("FWUpdate"));
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        run.dialog_shown = true;
        steps(dialog);
        // Closed as the user closes it; an update still going (a test that
        // failed half-way) is then ended all the same.
        if (dialog->isVisible())
            dialog->reject();
        if (dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });

    QTimer::singleShot(0, &window, [&] {
        poll.start();
        child<QAction>(&window, "actionFirmware_Update")->trigger();
        poll.stop();
        // A quit request makes every event loop started afterwards return at
        // once with -1; that is how it shows.
        QEventLoop probe;
        QTimer::singleShot(0, &probe, [&probe] { probe.exit(1); });
        run.quit_requested = probe.exec() == -1;
        QCoreApplication::exit(0);
    });
    // The application's own loop: it also clears a quit request when it ends.
    QCoreApplication::exec();
    QApplication::setQuitOnLastWindowClosed(quit_on_last_window);
    return run;
}

void pick(QDialog *dialog, ModalAnswerer &answerer, const QString &path)
{
    // The dialog asks the device for its versions when it opens; the
    // questions are answered first, so that the update's frames follow them.
    QLabel *device = child<QLabel>(dialog, "target_device");
    QElapsedTimer waited;
    waited.start();
    while (device->text().contains(QStringLiteral("asking for its versions")) && waited.elapsed() < 5000)
        QTest::qWait(5);
    answerer.queue_file(path);
    child<QToolButton>(dialog, "get_fw_button")->click();
}

void start(QDialog *dialog)
{
    child<QPushButton>(dialog, "start_fw_button")->click();
}

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed + i / 253) & 0xFF);
    return bytes;
}

QString write_file(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

bool Package::write(const QTemporaryDir &dir, const QString &zip_path) const
{
    const QString staging = dir.filePath("staging-" + QFileInfo(zip_path).completeBaseName());
    QDir().mkpath(staging);
    auto put = [&](bool wanted, const char *name, const QByteArray &content) {
        if (!wanted)
            return true;
        QFile file(staging + "/" + name);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    };
    if (!put(with_manifest, "fw.txt", manifest) || !put(with_wlan, "wlan.bin", wlan)
        || !put(with_txu, "txu.ldr", txu) || !put(with_rxu, "rxu.ldr", rxu))
        return false;
    if (extra)
        extra(staging);
    QDir().mkpath(QFileInfo(zip_path).absolutePath());
    QProcess zip;
    zip.setWorkingDirectory(staging);
    zip.start("zip", {"-q", "-r", "-y", zip_path, "."});
    return zip.waitForFinished(30000) && zip.exitCode() == 0;
}

QList<QPair<QString, QString>> acknowledgement_faults()
{
    return {
        {QStringLiteral("extra zero in an acknowledgement's padding"), QStringLiteral("insert 60 0")},
        {QStringLiteral("extra start byte in an acknowledgement's padding"), QStringLiteral("insert 40 141")},
        {QStringLiteral("padding byte of an acknowledgement lost"), QStringLiteral("drop 100")},
        {QStringLiteral("stray byte after an acknowledgement"), QStringLiteral("stray 7")},
        {QStringLiteral("burst of noise after an acknowledgement"), QStringLiteral("burst 64")},
    };
}

QString update_tool_binary()
{
    return QStringLiteral(TVC_UPDATE_BINARY);
}

ToolRun run_program(const QString &program, const QStringList &arguments, qint64 *pid,
                    const std::function<void(QProcess &)> &setup)
{
    QTemporaryDir tmp;
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), tmp.path());
    // The program's own words, whatever the desktop running the tests speaks.
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    tool.setProcessEnvironment(environment);
    if (setup)
        setup(tool);
    tool.start(program, arguments);
    ToolRun run;
    if (!tool.waitForStarted(10000))
        return run;
    if (pid)
        *pid = tool.processId();
    if (!QTest::qWaitFor([&tool] { return tool.state() == QProcess::NotRunning; }, 30000))
        return run;
    run.status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = QString::fromLocal8Bit(tool.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(tool.readAllStandardError());
    run.left_behind = QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    return run;
}

ToolRun run_update_tool(const QList<const sim::Device *> &devices, QStringList arguments, qint64 *pid)
{
    for (int i = devices.size() - 1; i >= 0; --i)
        arguments = QStringList({QStringLiteral("--port"), devices.at(i)->slavePath()}) + arguments;
    return run_program(update_tool_binary(), arguments, pid);
}
