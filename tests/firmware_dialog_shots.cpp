// Screenshots of the firmware dialog at its default size, in one language:
// before Start, during an update, and after each way an update ends
// (complete, refused, stopped by the user, cable pulled). Each against a
// simulated device of its own, driven as a user drives the dialog.
//
//   firmware_dialog_shots FOLDER LANGUAGE      (LANGUAGE: en, de or fr)
//
// Writes FOLDER/firmware-STATE-LANGUAGE.png; exits 1 when a state was not reached.

#include "frame.h"
#include "language.h"
#include "sim/device.h"
#include "test_support.h"
#include "tvc.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

bool wait_for(const std::function<bool()> &condition, int ms = 20000)
{
    return QTest::qWaitFor(condition, ms);
}

bool bar_at(QDialog *dialog, int percent)
{
    auto *bar = child<QProgressBar>(dialog, "fw_progress_bar");
    return bar->maximum() > 1000 && bar->value() * 100 >= percent * bar->maximum();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: firmware_dialog_shots FOLDER LANGUAGE\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString language = QString::fromLocal8Bit(argv[2]);
    if (!install_translations(app, language == QLatin1String("en") ? QString() : language))
        return 2;

    QTemporaryDir dir;
    const QString fits = dir.filePath(QStringLiteral("firmware.zip"));
    const QString misfit = dir.filePath(QStringLiteral("old-firmware.zip"));
    Package package;
    package.manifest = "PACKAGE:Tavero 2026.1\nWLAN:1660\nTXU:3.12\nRXU:4.5\n";
    package.wlan = pattern(6000, 1);
    package.txu = pattern(3000, 2);
    Package old = package;
    old.manifest = "PACKAGE:Tavero 2025.2\nWLAN:1640\nTXU:3.11\nRXU:4.4\n";
    if (!package.write(dir, fits) || !old.write(dir, misfit))
        return 2;

    int missed = 0;
    const auto shoot = [&](const QString &state, const QString &zip, int ack_delay_ms,
                           const std::function<bool(QDialog *, ModalAnswerer &, sim::Device &, TVC &)> &steps) {
        ModalAnswerer answerer;
        sim::DeviceOptions options = txu_device();
        options.ackDelayMs = ack_delay_ms;
        std::unique_ptr<sim::Device> device = start_device(options);
        TVC window(bridge_for(*device));
        window.show();
        wait_for([&] { return child<QLabel>(&window, "l_p2p_devtype")->text().contains(QStringLiteral("TXU")); });
        bool reached = false;
        run_firmware_dialog(window, [&](QDialog *dialog) {
            if (!zip.isEmpty()) {
                pick(dialog, answerer, zip);
                wait_for([&] { return !child<QLabel>(dialog, "target_device")->text().contains(QLatin1String("..."));
                });
            }
            reached = steps(dialog, answerer, *device, window);
            // The boxes are answered; what stays is the dialog.
            QTest::qWait(300);
            const QString path = QStringLiteral("%1/firmware-%2-%3.png").arg(folder, state, language);
            dialog->grab().save(path);
            std::printf("  %s%s\n", qPrintable(path), reached ? "" : " (state not reached)");
        });
        missed += reached ? 0 : 1;
    };
    const auto started = [](QDialog *dialog) {
        start(dialog);
        return true;
    };

    shoot(QStringLiteral("before-start"), fits, 0, [](QDialog *, ModalAnswerer &, sim::Device &, TVC &) { return true; });
    shoot(QStringLiteral("during"), fits, 15, [&](QDialog *dialog, ModalAnswerer &, sim::Device &device, TVC &) {
        if (!started(dialog) || !wait_for([&] { return bar_at(dialog, 45); }))
            return false;
        // The device takes its time over the next acknowledgement, so that
        // the bar is painted (it is painted a few times a second while the
        // update runs fast), well before the dialog tells a silence.
        device.options().ackDelayMs = 4000;
        QTest::qWait(600);
        return true;
    });
    shoot(QStringLiteral("complete"), fits, 0, [&](QDialog *dialog, ModalAnswerer &answerer, sim::Device &device, TVC &) {
        QObject context;
        QObject::connect(&device, &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
            if (quint8(frame.at(7)) == CMD_FW_FINISH)
                device.options().wlanVersion = 1660;
        });
        return started(dialog) && wait_for([&] { return answerer.count() > 0; })
            && wait_for([&] { return child<QLabel>(dialog, "target_device")->text().contains("1660"); });
    });
    shoot(QStringLiteral("refused"), misfit, 0, [&](QDialog *dialog, ModalAnswerer &answerer, sim::Device &, TVC &) {
        return started(dialog) && wait_for([&] { return answerer.count() > 0; });
    });
    shoot(QStringLiteral("stopped"), fits, 5, [&](QDialog *dialog, ModalAnswerer &answerer, sim::Device &, TVC &) {
        if (!started(dialog) || !wait_for([&] { return bar_at(dialog, 40); }))
            return false;
        answerer.queue_button(QCoreApplication::translate("FWUpdate", "Stop Update"));
        QTest::keyClick(dialog, Qt::Key_Escape);
        return dialog->isVisible() && answerer.count() > 0;
    });
    shoot(QStringLiteral("cable-pulled"), fits, 5, [&](QDialog *dialog, ModalAnswerer &, sim::Device &device, TVC &window) {
        if (!started(dialog) || !wait_for([&] { return bar_at(dialog, 30); }))
            return false;
        device.hangUp();
        return wait_for([&] { return !window.serial_port->isOpen(); });
    });
    return missed == 0 ? 0 : 1;
}
