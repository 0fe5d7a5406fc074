// Firmware updates end to end: the dialog, a zip package made with zip, and
// the simulated device receiving the images over a pseudo-terminal.

#include "frame.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>

namespace {

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed + i / 253) & 0xFF);
    return bytes;
}

struct Package
{
    QByteArray manifest = "PACKAGE:Test package\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    QByteArray wlan = pattern(1234, 1);
    QByteArray txu = pattern(777, 2);
    QByteArray rxu = pattern(555, 3);
    bool with_manifest = true, with_wlan = true, with_txu = true, with_rxu = true;

    // Zips the package into `zip_path` with Debian's zip.
    bool write(const QTemporaryDir &dir, const QString &zip_path) const
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
        QProcess zip;
        zip.setWorkingDirectory(staging);
        QStringList args = {"-q", "-r", zip_path, "."};
        zip.start("zip", args);
        return zip.waitForFinished(30000) && zip.exitCode() == 0;
    }
};

} // namespace

class FirmwareUpdateTest : public QObject
{
    Q_OBJECT

private slots:
    void txu_update_sends_both_images_intact();
};

void FirmwareUpdateTest::txu_update_sends_both_images_intact()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath("firmware package.zip");
    Package package;
    QVERIFY(package.write(dir, zip));

    sim::DeviceOptions options;
    options.wlanVersion = 1650;
    options.dspMajor = 3;
    options.dspMinor = 12;
    auto device = start_device(options);
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));
    QTRY_COMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), QStringLiteral("<b>TXU Client (Slot 1)</b><br>"));

    const FirmwareDialogRun run = run_firmware_dialog(window, [&](QDialog *dialog) {
        answerer.queue_file(zip);
        child<QToolButton>(dialog, "get_fw_button")->click();
        QCOMPARE(child<QLineEdit>(dialog, "fw_path")->text(), zip);
        child<QPushButton>(dialog, "start_fw_button")->click();
        QTRY_VERIFY_WITH_TIMEOUT(answerer.titles().contains("Firmware Update"), 20000);
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(run.quit_requested);
    QCOMPARE(device->receivedImage(UNIT_WLAN), package.wlan);
    QCOMPARE(device->receivedImage(UNIT_DSP), package.txu);
    QCOMPARE(device->violations(), QStringList());
    QCOMPARE(device->malformedCount(), 0);
}

QTEST_MAIN(FirmwareUpdateTest)
#include "test_firmware_update.moc"
