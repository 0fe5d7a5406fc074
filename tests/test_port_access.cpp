// A serial port that exists but that this user may not open: the window and
// tvc-update say how to get access, and tell a port that another program
// holds apart from it. Runs under tests/without-file-rights.sh, so that file
// permissions bind also where the tests run as root.

#include "port_access.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const CANNOT_LOCK_OUT =
    "This process may open a file whose permissions forbid it (root with CAP_DAC_OVERRIDE; run it "
    "through tests/without-file-rights.sh, as ctest does): no port can be denied to it.";

// Takes every permission on the port file `path` away; false when this
// process may open it all the same.
bool lock_out(const QString &path)
{
    if (::chmod(QFile::encodeName(path).constData(), 0) != 0)
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;
    ::close(fd);
    return false;
}

bool give_access(const QString &path)
{
    return ::chmod(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR) == 0;
}

// What QSerialPort itself says when `name` cannot be opened.
QString open_error_of(const QString &name)
{
    QSerialPort port(name);
    return port.open(QIODevice::ReadWrite) ? QString() : port.errorString();
}

// The system's view of one bridge on `path`, as the port list reports it.
PortFinder bridge_on(const QString &path)
{
    return PortFinder::from_list([path] {
        return QList<SerialPortEntry>{
            {path, QStringLiteral("Silicon Labs"), false, QString(), port_access_denied(path)}};
    });
}

QString device_tip(TVC &window)
{
    return child<QLabel>(&window, "l_p2p_devtype")->toolTip();
}

const QString DIALOUT = QStringLiteral("\"sudo adduser $USER dialout\"");
const QString RULE = QStringLiteral("70-tavero-companion.rules");

// The words for a port that this test holds (the system cuts the program's
// name short).
QString held_by_this_test()
{
    return QStringLiteral(" (process %1).").arg(QCoreApplication::applicationPid());
}

} // namespace

class PortAccessTest : public QObject
{
    Q_OBJECT

private slots:
    void window_tells_how_to_get_access();
    void tool_tells_how_to_get_access();
};

void PortAccessTest::window_tells_how_to_get_access()
{
    auto device = start_device();
    const QString path = device->slavePath();
    if (!lock_out(path))
        QSKIP(CANNOT_LOCK_OUT);
    const QString own_text = open_error_of(path);
    QVERIFY(!own_text.isEmpty());

    ModalAnswerer answerer;
    TVC window(bridge_on(path));
    QCOMPARE(answerer.titles(), QStringList({"Welcome", "Error"}));
    // The port's own words first, then how to get access.
    const QString text = answerer.seen().at(1).text;
    QVERIFY2(text.startsWith(own_text + QStringLiteral("\n\n")), qPrintable(text));
    QVERIFY2(text.contains(DIALOUT) && text.contains(RULE), qPrintable(text));
    QCOMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), no_device_text());
    QVERIFY(device->received().isEmpty());
    QVERIFY2(device_tip(window).contains(path + QStringLiteral(": device bridge, no permission")),
             qPrintable(device_tip(window)));

    // A port named on the command line says the same.
    TVC named(PortFinder::fixed(path));
    QCOMPARE(answerer.titles().last(), QStringLiteral("Error"));
    QVERIFY2(answerer.seen().last().text.contains(DIALOUT), qPrintable(answerer.seen().last().text));
    QCOMPARE(device_tip(named), QStringLiteral("Port named on the command line: %1, no permission").arg(path));

    // Access given (the rule applies once the device is plugged in again):
    // Refresh links without a box, and the device line no longer says so.
    QVERIFY(give_access(path));
    answerer.clear();
    child<QPushButton>(&window, "refresh_button")->click();
    QTRY_COMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(),
                 QStringLiteral("<b>TXU Client (Slot 1)</b><br>"));
    QCOMPARE(answerer.count(), 0);
    QVERIFY2(!device_tip(window).contains(QStringLiteral("no permission")), qPrintable(device_tip(window)));

    // Qt reports a port that another program holds as a permission error too;
    // the box then names the holder and has no word of groups.
    TVC other(PortFinder::fixed(path));
    QCOMPARE(answerer.titles(), QStringList({"Welcome", "Error"}));
    const QString busy_text = answerer.seen().last().text;
    QVERIFY2(busy_text.contains(QStringLiteral("\n\nThe port is in use by test_port_")), qPrintable(busy_text));
    QVERIFY2(busy_text.endsWith(held_by_this_test()), qPrintable(busy_text));
    QVERIFY2(!busy_text.contains(DIALOUT), qPrintable(busy_text));
}

void PortAccessTest::tool_tells_how_to_get_access()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("package.zip"));
    QVERIFY(Package().write(dir, zip));
    auto device = start_device(txu_device());
    const QString path = device->slavePath();
    if (!lock_out(path))
        QSKIP(CANNOT_LOCK_OUT);
    const QString own_text = open_error_of(path);

    ToolRun run = run_update_tool({device.get()}, {zip});
    QCOMPARE(run.status, 3);
    const QString expected_start =
        QStringLiteral("Cannot use the serial port %1 (%2): nothing was sent. To use the port without root")
            .arg(path, own_text);
    QVERIFY2(run.err.contains(expected_start), qPrintable(run.err));
    QVERIFY2(run.err.contains(DIALOUT) && run.err.contains(RULE), qPrintable(run.err));
    QCOMPARE(run.err.count('\n'), 1);  // still one line
    QVERIFY(device->received().isEmpty());

    // Held by another program: who holds it, and no word of groups.
    QVERIFY(give_access(path));
    QSerialPort held(path);
    QVERIFY(held.open(QIODevice::ReadWrite));
    run = run_update_tool({device.get()}, {zip});
    QCOMPARE(run.status, 3);
    QVERIFY2(run.err.contains(QStringLiteral(": nothing was sent. The port is in use by test_port_")),
             qPrintable(run.err));
    QVERIFY2(run.err.trimmed().endsWith(held_by_this_test()), qPrintable(run.err));
    QVERIFY2(!run.err.contains(DIALOUT), qPrintable(run.err));
    QVERIFY(device->received().isEmpty());
}

QTEST_MAIN(PortAccessTest)
#include "test_port_access.moc"
