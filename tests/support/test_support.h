#pragma once

#include "modal_answerer.h"
#include "port_finder.h"
#include "sim/device.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>

class QComboBox;
class QProcess;
class QDialog;
class QTemporaryDir;
class TVC;

// Looks up a widget or action of the program by object name; a missing one
// ends the test run, since every later check would be meaningless.
template <class T>
T *child(QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

// A TXU client with WLAN version 1650 and DSP version 3.12: a device that the
// firmware packages of the tests fit.
sim::DeviceOptions txu_device();

// A port list with a single device bridge on `path`.
PortFinder one_bridge(const QString &path);

// A port list with the bridge of `device` while it is plugged in, wherever it
// is plugged in at the moment (after a replug it is a new terminal).
PortFinder bridge_for(const sim::Device &device);

// A simulated device on a fresh pseudo-terminal, quiet (no frame log).
std::unique_ptr<sim::Device> start_device(const sim::DeviceOptions &options = sim::DeviceOptions());

// The command codes of the frames the device received, in order.
QList<int> codes_received(const sim::Device &device);

// The texts of a combo box's items, in order.
QStringList items(QComboBox *box);

// A request as it must go out, built byte by byte apart from the program's
// own frame code: start byte, lengths, unit, code, arguments, zeros to 112.
QByteArray request(quint8 code, quint8 unit, const QByteArray &args = QByteArray());

// Frames the device received with this command code.
QList<QByteArray> received_with_code(const sim::Device &device, quint8 code);

// Types `code` into the service-mode dialog of `window`.
void enter_service_code(TVC &window, ModalAnswerer &answerer, const QString &code);

// A frame with `code`, `unit` and argument bytes, as the device sends it.
QByteArray frame_of(quint8 code, quint8 unit, std::initializer_list<int> args = {});

// A main window linked to a simulated device. Create it first thing in a test:
// it answers the welcome box.
struct LinkedWindow
{
    explicit LinkedWindow(const sim::DeviceOptions &options = sim::DeviceOptions());
    // Waits until the device's first report is shown, then forgets what the
    // device received so far.
    bool ready();

    ModalAnswerer answerer;
    std::unique_ptr<sim::Device> device;
    std::unique_ptr<TVC> window;
};

// Opens the firmware dialog through the main window's menu entry, runs `steps`
// on it once it shows (they may use QTRY_*: the dialog's own event loop is
// below them), closes it if the steps left it open, and tells whether the
// application was asked to quit once the dialog had closed.
struct FirmwareDialogRun
{
    bool dialog_shown = false;
    bool quit_requested = false;
};
FirmwareDialogRun run_firmware_dialog(TVC &window, const std::function<void(QDialog *)> &steps);

// In the firmware dialog: picks `path` through its file dialog (the answerer
// gives it), once the device has told its versions, and presses Start.
void pick(QDialog *dialog, ModalAnswerer &answerer, const QString &path);
void start(QDialog *dialog);

// `size` bytes of a pattern that differs with `seed` and does not repeat
// every 256 bytes.
QByteArray pattern(int size, int seed);

// Writes `content` to the file `name` in `dir` and returns its path; a test
// that cannot set up its file stops at once.
QString write_file(const QTemporaryDir &dir, const QString &name, const QByteArray &content);

// A firmware package to be zipped: the manifest and the three images, each
// of which may be left out.
struct Package
{
    QByteArray manifest = "PACKAGE:Test package\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    QByteArray wlan = pattern(1234, 1);
    QByteArray txu = pattern(777, 2);
    QByteArray rxu = pattern(555, 3);
    bool with_manifest = true, with_wlan = true, with_txu = true, with_rxu = true;
    // Runs on the staging folder before zipping: for entries that are not
    // plain files. Symbolic links are stored as links.
    std::function<void(const QString &staging)> extra;

    // Zips the package into `zip_path` with Debian's zip, staging its files
    // in `dir`.
    bool write(const QTemporaryDir &dir, const QString &zip_path) const;
};

// How a run of tvc-update ended.
struct ToolRun
{
    int status = -1;          // -1: it did not end by itself within 30 s
    QString out;
    QString err;
    QStringList left_behind;  // in the tool's temporary folder
};

// The tvc-update program.
QString update_tool_binary();

// Runs `program` with `arguments` in an environment of its own whose
// temporary folder is a fresh one (what is left there is reported); the event
// loop runs meanwhile, so that simulated devices answer. `setup` may change
// the process before it starts. Its process id goes to *pid while it runs.
ToolRun run_program(const QString &program, const QStringList &arguments, qint64 *pid = nullptr,
                    const std::function<void(QProcess &)> &setup = {});

// Runs tvc-update with `arguments` and a --port for each device, first;
// the devices answer meanwhile. Its process id goes to *pid while it runs.
ToolRun run_update_tool(const QList<const sim::Device *> &devices, QStringList arguments, qint64 *pid = nullptr);

// Single faults on the line that damage an acknowledgement of the firmware
// transfer outside its meaningful bytes, as the simulator's console commands
// that cause them: each row's name and command.
QList<QPair<QString, QString>> acknowledgement_faults();

// Bytes as hex pairs, for readable failure messages.
QByteArray hex(const QByteArray &bytes);
