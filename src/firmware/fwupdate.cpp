#include "fwupdate.h"
#include "ui_fwupdate.h"

#include "accessibility.h"
#include "frame.h"
#include "port_finder.h"
#include "tvc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// What the module line says (in the program's language: tr() at the use).
const char *const UPDATING_WLAN_TEXT = QT_TRANSLATE_NOOP("FWUpdate", "Updating WLAN Firmware...");
const char *const UPDATING_DSP_TEXT = QT_TRANSLATE_NOOP("FWUpdate", "Updating DSP Firmware...");
const char *const SILENT_TEXT = QT_TRANSLATE_N_NOOP(
    "FWUpdate", "The device has not answered for %n seconds; the update is not complete. Waiting for the device...");
const char *const FINISHING_TEXT =
    QT_TRANSLATE_NOOP("FWUpdate", "The device is finishing the update. Do not disconnect it.");
const char *const LINK_LOST_TEXT =
    QT_TRANSLATE_NOOP("FWUpdate", "Connection to the device lost: the update is not complete.");
//: %3 is the image: WLAN or DSP.
const char *const DAMAGED_TEXT = QT_TRANSLATE_NOOP("FWUpdate", "The device's answer to chunk %1 of %2 of the %3 image "
                                                               "came damaged: the update is not complete.");
const char *const GIVEN_UP_TEXT =
    QT_TRANSLATE_N_NOOP("FWUpdate", "The device has not answered for %n seconds: the update is not complete.");
// The same while the device is still asked for its type and versions.
const char *const SILENT_ASKING_TEXT = QT_TRANSLATE_N_NOOP(
    "FWUpdate", "The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...");
const char *const GIVEN_UP_ASKING_TEXT =
    QT_TRANSLATE_N_NOOP("FWUpdate", "The device has not answered for %n seconds: nothing was sent.");

// The progress bar moves in at most this many steps per image.
constexpr qint64 PROGRESS_STEPS = 500;
// The time-left estimate is refreshed at most this often.
constexpr qint64 ESTIMATE_INTERVAL_MS = 500;
// The progress bar is painted at most this often while an image goes out (five times a second).
constexpr int BAR_PAINT_INTERVAL_MS = 200;

// What to do after an update that stopped part-way: the device holds part of
// the new firmware and waits for the rest, which only a new update sends.
QString after_part_way(bool link_lost)
{
    return link_lost ? QCoreApplication::translate("FWUpdate",
                                                   "Plug the device in again, close this window, start Tavero "
                                                   "Companion again and repeat the update.")
                     : QCoreApplication::translate("FWUpdate",
                                                   "Close this window, start Tavero Companion again and repeat "
                                                   "the update.");
}

// Manifest values are shown byte for byte in a rich-text label: as text,
// never as markup.
QString shown(const QByteArray &value)
{
    return manifest_text(value).toHtmlEscaped();
}

} // namespace

FWUpdate::FWUpdate(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::FWUpdate)
    , window(qobject_cast<TVC *>(parent))
    , serial_port(window ? window->serial_port : nullptr)
    , engine(serial_port)
{
    ui->setupUi(this);
    // What the dialog says of the package and the device is markup, with the
    // manifest's values escaped in it: a name such as "R&D" must not be shown
    // as "R&amp;D" where no tag makes the label take it for markup.
    ui->dev_info->setTextFormat(Qt::RichText);
    press_buttons_on_enter(this);
    ui->fw_progress_bar->hide();
    ui->start_fw_button->setEnabled(false);

    bar_painting.setSingleShot(true);
    bar_painting.setInterval(BAR_PAINT_INTERVAL_MS);
    connect(&bar_painting, &QTimer::timeout, this, [this] { ui->fw_progress_bar->setUpdatesEnabled(true); });

    connect(&engine, &UpdateEngine::notice_changed, this, &FWUpdate::show_module);
    connect(&engine, &UpdateEngine::versions_known, this, &FWUpdate::show_versions);
    connect(&engine, &UpdateEngine::image_started, this, [this](quint8, qint64 size) {
        // The bar shows the image; its text keeps the time the whole update needs.
        ui->fw_progress_bar->setMaximum(int(size));
        reset_progress(engine.seconds_left());
        show_module(UpdateEngine::Notice::None, 0);
    });
    connect(&engine, &UpdateEngine::progress, this, &FWUpdate::show_progress);
    connect(&engine, &UpdateEngine::refused, this, &FWUpdate::show_refusal);
    connect(&engine, &UpdateEngine::failed, this, &FWUpdate::show_failure);
    // The program ends when the dialog closes only once the device holds part
    // of a new firmware: an update that sent nothing leaves it as it was.
    connect(&engine, &UpdateEngine::image_started, this, [this] {
        if (window)
            window->update_started = true;
    });
    connect(&engine, &UpdateEngine::link_lost, this, &FWUpdate::show_link_lost);
    connect(&engine, &UpdateEngine::completed, this, &FWUpdate::show_completion);

    // The dialog answers for the port from the start: a cable pulled before
    // Start would otherwise go unnoticed, its read errors repeating unheard.
    // The device's bytes wait for Start.
    if (serial_port)
        connect(serial_port, &QSerialPort::errorOccurred, this, &FWUpdate::fwupdate_handle_serialport_error,
                Qt::UniqueConnection);
}

FWUpdate::~FWUpdate()
{
    package.reset();
    if (serial_port) {
        disconnect(serial_port, &QSerialPort::errorOccurred, this, &FWUpdate::fwupdate_handle_serialport_error);
        disconnect(serial_port, &QSerialPort::readyRead, this, &FWUpdate::fwupdate_read_serial);
    }
    delete ui;
}

bool FWUpdate::service_mode() const
{
    return window && window->service_level == 2;
}

bool FWUpdate::device_connected()
{
    if (serial_port && serial_port->isOpen())
        return true;
    QMessageBox::information(this, tr("Connected devices"), tr("No devices found"), QMessageBox::Ok);
    return false;
}

void FWUpdate::on_get_fw_button_clicked()
{
    if (!device_connected()) {
        ui->get_fw_button->setEnabled(false);
        return;
    }

    if (service_mode()) {
        chosen_file = QFileDialog::getOpenFileName(this, tr("Open Firmware Package"), QString(),
                                                   tr("Firmware Files (*.bin *.ldr)"));
        if (chosen_file.isEmpty())
            return;
    } else {
        chosen_file = QFileDialog::getOpenFileName(this, tr("Open Firmware Package"), QStringLiteral("/"),
                                                   tr("Firmware Files (*.zip)"));
        if (chosen_file.isEmpty())
            return;
        // The package is read and checked once, here; Start sends what was
        // read, whatever happens to the file meanwhile.
        package.reset();
        QString error;
        package = FirmwarePackage::read(chosen_file, &error);
        if (!package) {
            ui->fw_path->clear();
            ui->start_fw_button->setEnabled(false);
            const QString text = tr("The firmware package %1 could not be unpacked.")
                                     .arg(QDir::toNativeSeparators(chosen_file))
                + QLatin1Char('\n') + error;
            show_package_refused(text);
            QMessageBox::critical(this, tr("Error!"), text, QMessageBox::Ok);
            return;
        }
        // A package that can serve no device is refused now, in the words
        // tvc-update uses, not after Start.
        const QString problem = package_problem(*package, QDir::toNativeSeparators(chosen_file));
        if (!problem.isEmpty()) {
            package.reset();
            ui->fw_path->setText(chosen_file);
            ui->start_fw_button->setEnabled(false);
            show_package_refused(problem);
            return;
        }
        show_package(*package);
    }
    ui->fw_path->setText(chosen_file);
    // In service mode a file may be picked while an image is on its way;
    // Start waits for that image to end.
    ui->start_fw_button->setEnabled(!engine.running());
}

void FWUpdate::on_start_fw_button_clicked()
{
    // The link may have been lost since the package was picked.
    if (!device_connected()) {
        ui->start_fw_button->setEnabled(false);
        return;
    }
    ui->fw_progress_bar->show();
    // No second start while an image is on its way; outside service mode the
    // dialog updates once.
    ui->start_fw_button->setEnabled(false);
    if (!service_mode())
        ui->get_fw_button->setEnabled(false);
    // Once only, however often Start is pressed in service mode.
    if (serial_port)
        connect(serial_port, &QSerialPort::readyRead, this, &FWUpdate::fwupdate_read_serial, Qt::UniqueConnection);

    raw_update = service_mode();
    if (!raw_update) {
        engine.start_update(package);
        return;
    }
    const bool wlan = QFileInfo(chosen_file).suffix() == QLatin1String("bin");
    engine.start_raw(chosen_file, wlan ? UNIT_WLAN : UNIT_DSP);
    if (engine.running())
        ui->dev_info->setText(tr("Firmware update in progress..."));
}

void FWUpdate::fwupdate_read_serial()
{
    engine.read_port();
}

void FWUpdate::fwupdate_handle_serialport_error(QSerialPort::SerialPortError error)
{
    engine.port_error(error);
}

void FWUpdate::show_versions(const UpdateVersions &versions)
{
    // One pass over the format: a "%1" inside a value stays as it is.
    //: %1 is the device's type: TXU or RXU.
    ui->dev_info->setText(QStringLiteral("<p><b>") + tr("Updating %1...").arg(versions.device_type)
                          + QStringLiteral("</b></p>") + QString(20, QLatin1Char(' ')) + QStringLiteral("<p>")
                          //: The package's name, then each version of the device and of the package.
                          + tr("Package: %1 WLAN: %2 -> %3 DSP: %4.%5 -> %6")
                                .arg(shown(versions.package_name), QString::number(versions.device.wlan_version),
                                     shown(versions.package_wlan), QString::number(versions.device.dsp_major),
                                     QString::number(versions.device.dsp_minor), shown(versions.package_dsp))
                          + QStringLiteral("</p>"));
}

void FWUpdate::show_module(UpdateEngine::Notice notice, int silent_seconds)
{
    const bool sending = engine.stage() == UpdateEngine::Stage::Sending
        || engine.stage() == UpdateEngine::Stage::Finishing;
    const QString module = !sending ? QString()
        : engine.unit() == UNIT_WLAN ? tr(UPDATING_WLAN_TEXT)
                                     : tr(UPDATING_DSP_TEXT);
    switch (notice) {
    case UpdateEngine::Notice::None:
        ui->cur_module->setText(module);
        break;
    case UpdateEngine::Notice::Silent:
        ui->cur_module->setText(engine.data_sent() ? (module.isEmpty() ? QString() : module + QLatin1Char(' '))
                                        + tr(SILENT_TEXT, nullptr, silent_seconds)
                                                   : tr(SILENT_ASKING_TEXT, nullptr, silent_seconds));
        break;
    case UpdateEngine::Notice::Finishing:
        ui->cur_module->setText(tr(FINISHING_TEXT));
        break;
    }
}

void FWUpdate::show_progress(qint64 done, qint64 total, qint64 seconds_left)
{
    QProgressBar *bar = ui->fw_progress_bar;
    // A new value would repaint the bar at once, chunk after chunk; it is
    // painted later instead, with whatever value it has by then.
    if (!bar_painting.isActive()) {
        bar->setUpdatesEnabled(false);
        bar_painting.start();
    }
    // The bar moves in steps of at most 1/500 of the image, finer than it can
    // show; a large image would otherwise spend most of its time measuring
    // the bar's text.
    if (done == total || done - bar->value() >= qMax<qint64>(CHUNK_SIZE, total / PROGRESS_STEPS))
        bar->setValue(int(done));
    if (estimate_shown.elapsed() >= ESTIMATE_INTERVAL_MS) {
        estimate_shown.start();
        bar->setFormat(progress_format(seconds_left));
    }
}

void FWUpdate::reset_progress(qint64 seconds_left)
{
    bar_painting.stop();
    ui->fw_progress_bar->setUpdatesEnabled(true);
    ui->fw_progress_bar->setValue(0);
    ui->fw_progress_bar->setFormat(progress_format(seconds_left));
    estimate_shown.start();
}

void FWUpdate::image_ended()
{
    // In service mode another image may follow, once this one has ended.
    if (service_mode())
        ui->start_fw_button->setEnabled(true);
}

void FWUpdate::show_link_lost(const QString &reason, bool mid_update)
{
    image_ended();
    // The port's own description, then which port.
    if (service_mode()) {
        QMessageBox::critical(this, tr("Critical Error"),
                              reason + QStringLiteral("\n\n")
                                  + tr("The link to the device on the serial port %1 was lost.")
                                        .arg(serial_port ? port_location(serial_port->portName()) : QString()),
                              QMessageBox::Ok);
        return;
    }
    if (!mid_update)
        return;
    if (engine.data_sent()) {
        ui->cur_module->setText(tr(LINK_LOST_TEXT) + QLatin1Char(' ') + after_part_way(true));
        return;
    }
    // Nothing was sent: the device is as it was; the main window links it
    // again once it is plugged in and this window is closed.
    ui->cur_module->setText(tr("Connection to the device lost: nothing was sent. Close this window; the device "
                               "is linked again when it is plugged in."));
}

void FWUpdate::show_refusal(const UpdateVersions &versions)
{
    QMessageBox::information(this, tr("Version Mismatch"), tr("Skipping firmware update for this portable"),
                             QMessageBox::Ok);
    // Which side is newer, and the way on: another package.
    ui->cur_module->setText(tr("The package does not fit this device: %1. Nothing was sent; pick another package.")
                                .arg(misfit_reason(versions)));
    sent_nothing(false);
}

void FWUpdate::show_failure(UpdateEngine::Failure failure, const QString &detail)
{
    image_ended();
    QString text = detail;
    if (failure == UpdateEngine::Failure::Device) {
        text = tr("The device did not report a type that the package has a DSP image for.");
    } else if (failure == UpdateEngine::Failure::Damaged) {
        // The device waits for a chunk the program cannot tell: the update stops here.
        text = tr(DAMAGED_TEXT).arg(engine.chunk_in_flight() + 1)
                   .arg(engine.chunks_in_image())
                   .arg(engine.unit() == UNIT_WLAN ? QStringLiteral("WLAN") : QStringLiteral("DSP"));
    } else if (failure == UpdateEngine::Failure::Silence) {
        text = tr(engine.data_sent() ? GIVEN_UP_TEXT : GIVEN_UP_ASKING_TEXT, nullptr, int(UpdateEngine::GIVE_UP_MS / 1000));
    }
    if (service_mode()) {
        QMessageBox::critical(this, tr("Error!"), text, QMessageBox::Ok);
        return;
    }
    // The line keeps saying what happened and what to do.
    if (engine.data_sent())
        ui->cur_module->setText(text + QLatin1Char(' ') + after_part_way(false));
    else
        ui->cur_module->setText(text + QLatin1Char(' ')
                                + tr("Nothing was sent; start again or pick another package."));
    QMessageBox::critical(this, tr("Error!"), text, QMessageBox::Ok);
    if (!engine.data_sent())
        sent_nothing(failure == UpdateEngine::Failure::Silence);
}

// The device is as it was: another package may be picked, and, where the
// same one may yet go (the device was silent), started again.
void FWUpdate::sent_nothing(bool may_start_again)
{
    const bool linked = serial_port && serial_port->isOpen();
    ui->get_fw_button->setEnabled(linked);
    ui->start_fw_button->setEnabled(may_start_again && package && linked);
}

void FWUpdate::show_package(const FirmwarePackage &picked)
{
    const Manifest &m = picked.manifest();
    ui->dev_info->setText(tr("Package \"%1\": WLAN %2, DSP %3 for TXU and %4 for RXU.")
                              .arg(shown(m.name).trimmed(), shown(m.wlan_version).trimmed(),
                                   shown(m.txu_dsp_version).trimmed(), shown(m.rxu_dsp_version).trimmed()));
    ui->cur_module->setText(QString());
}

void FWUpdate::show_package_refused(const QString &reason)
{
    ui->dev_info->setText(reason.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))
                          + QStringLiteral("<br>") + tr("Pick another package."));
    ui->cur_module->setText(QString());
}

void FWUpdate::show_completion()
{
    image_ended();
    reset_progress();
    // setText, not clear(): only setText tells assistive technology.
    ui->cur_module->setText(QString());
    ui->dev_info->setText(QString());
    if (raw_update)
        QMessageBox::information(this, tr("Firmware Update"), tr("Firmware update completed successfully"),
                                 QMessageBox::Ok);
    else
        QMessageBox::information(this, tr("Firmware Update"),
                                 tr("Firmware update completed successfully.<br>") + QString(37, QLatin1Char(' '))
                                     + tr("It is now safe to disconnect your device. Application will now close."),
                                 QMessageBox::Ok);
}
