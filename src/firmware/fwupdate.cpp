#include "fwupdate.h"
#include "ui_fwupdate.h"

#include "accessibility.h"
#include "device_label.h"
#include "frame.h"
#include "number_text.h"
#include "port_finder.h"
#include "tvc.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>

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
                                                   "Plug the device in again and repeat the update; the main window "
                                                   "links it again when it answers.")
                     : QCoreApplication::translate("FWUpdate",
                                                   "Repeat the update: pick the package again, or close this window "
                                                   "and open it again.");
}

const char *const HALF_WRITTEN_TEXT = QT_TRANSLATE_NOOP(
    "FWUpdate", "The device keeps a half-written image and needs the update again.");

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
    // Long messages wrap: the dialog keeps its width whatever it says.
    ui->dev_info->setWordWrap(true);
    ui->cur_module->setWordWrap(true);
    ui->target_device->setWordWrap(true);
    setMinimumWidth(width());
    press_buttons_on_enter(this);
    ui->fw_progress_bar->hide();
    ui->start_fw_button->setEnabled(false);

    bar_painting.setSingleShot(true);
    bar_painting.setInterval(BAR_PAINT_INTERVAL_MS);
    connect(&bar_painting, &QTimer::timeout, this, [this] { ui->fw_progress_bar->setUpdatesEnabled(true); });

    connect(&engine, &UpdateEngine::notice_changed, this, &FWUpdate::show_module);
    connect(&engine, &UpdateEngine::versions_known, this, &FWUpdate::show_versions);
    connect(&engine, &UpdateEngine::queried, this, [this] {
        querying = false;
        show_device();
        if (completed)
            ui->cur_module->setText(tr("The device answers again: it runs the new firmware."));
    });
    connect(&engine, &UpdateEngine::image_started, this, [this](quint8, qint64 size) {
        // The bar shows the image; its text keeps the time the whole update needs.
        ui->fw_progress_bar->setMaximum(int(size));
        reset_progress(engine.seconds_left());
        show_module(UpdateEngine::Notice::None, 0);
    });
    connect(&engine, &UpdateEngine::progress, this, &FWUpdate::show_progress);
    connect(&engine, &UpdateEngine::refused, this, &FWUpdate::show_refusal);
    connect(&engine, &UpdateEngine::failed, this, &FWUpdate::show_failure);
    connect(&engine, &UpdateEngine::link_lost, this, &FWUpdate::show_link_lost);
    connect(&engine, &UpdateEngine::completed, this, &FWUpdate::show_completion);

    // The dialog answers for the port from the start: a cable pulled before
    // Start would otherwise go unnoticed, its read errors repeating unheard.
    // The device's bytes wait for Start.
    if (serial_port)
        connect(serial_port, &QSerialPort::errorOccurred, this, &FWUpdate::fwupdate_handle_serialport_error,
                Qt::UniqueConnection);

    // The device the dialog would write is named at once, and asked for its
    // versions, so that a package is seen to fit or not before Start.
    if (serial_port && serial_port->isOpen() && !service_mode()) {
        connect(serial_port, &QSerialPort::readyRead, this, &FWUpdate::fwupdate_read_serial, Qt::UniqueConnection);
        querying = true;
        engine.start_query();
    }
    show_device();
}

std::optional<DeviceFirmware> FWUpdate::new_firmware() const
{
    if (!completed || querying || !versions_known)
        return std::nullopt;
    return device_versions.device;
}

bool FWUpdate::update_in_progress() const
{
    return engine.running() && engine.data_sent();
}

bool FWUpdate::ask_to_stop()
{
    if (!update_in_progress())
        return false;
    QMessageBox box(QMessageBox::Warning, tr("Firmware Update"),
                    tr("Stop the update?") + QLatin1Char(' ') + tr(HALF_WRITTEN_TEXT), QMessageBox::NoButton, this);
    QPushButton *go_on = box.addButton(tr("Continue"), QMessageBox::RejectRole);
    QPushButton *stop = box.addButton(tr("Stop Update"), QMessageBox::DestructiveRole);
    box.setDefaultButton(go_on);
    box.setEscapeButton(go_on);
    stop_question = &box;
    box.exec();
    stop_question = nullptr;
    // The update may have ended while the question was open: then there is
    // nothing left to stop.
    if (box.clickedButton() != stop || !update_in_progress())
        return false;
    engine.cancel();
    show_stopped();
    ui->cur_module->setText(tr("Update stopped.") + QLatin1Char(' ') + tr(HALF_WRITTEN_TEXT) + QLatin1Char(' ')
                            + after_part_way(false));
    ready_for_another(false);
    image_ended();
    return true;
}

bool FWUpdate::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::LayoutRequest && layout()) {
        const int needed = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                         : layout()->totalSizeHint().height();
        if (needed > height())
            resize(width(), needed);
    }
    return handled;
}

void FWUpdate::reject()
{
    // A stray Escape or close never ends an update: it asks, and a stop
    // leaves the dialog open to say what the device needs.
    if (update_in_progress()) {
        ask_to_stop();
        return;
    }
    QDialog::reject();
}

void FWUpdate::close_stop_question()
{
    if (stop_question)
        stop_question->reject();
}

void FWUpdate::set_heading(const QString &text)
{
    heading = text;
    QString html;
    if (!heading.isEmpty())
        html += QStringLiteral("<p><b>") + heading.toHtmlEscaped() + QStringLiteral("</b></p>");
    if (!package_line.isEmpty())
        html += QStringLiteral("<p>") + package_line + QStringLiteral("</p>");
    ui->dev_info->setText(html);
}

void FWUpdate::show_device()
{
    if (!serial_port || !serial_port->isOpen()) {
        ui->target_device->setText(tr("No device is linked."));
        return;
    }
    const QString name = window ? window->device_name() : serial_port->portName();
    if (!versions_known) {
        ui->target_device->setText(querying ? tr("Device: %1 (asking for its versions...)").arg(name)
                                            : tr("Device: %1").arg(name));
        return;
    }
    const DeviceFirmware &d = device_versions.device;
    //: A device, then its firmware versions: "TXU Client (Slot 1) on ttyUSB0; WLAN 1650, DSP 3.12".
    ui->target_device->setText(tr("Device: %1; WLAN %2, DSP %3.%4")
                                   .arg(name, QString::number(d.wlan_version), QString::number(d.dsp_major),
                                        QString::number(d.dsp_minor)));
}

QString FWUpdate::fit_line() const
{
    if (!package || !versions_known)
        return QString();
    UpdateVersions v = device_versions;
    const Manifest &m = package->manifest();
    v.package_name = m.name;
    v.package_wlan = m.wlan_version;
    v.package_dsp = m.dsp_version_for(v.device_type);
    if (package_fits(v.device, v.package_wlan, v.package_dsp))
        return fits_text();
    return misfit_text(v) + QLatin1Char('.');
}

void FWUpdate::show_stopped()
{
    QProgressBar *bar = ui->fw_progress_bar;
    bar_painting.stop();
    bar->setUpdatesEnabled(true);
    const int percent = percent_done(bar->value(), bar->maximum());
    const QString image = engine.unit() == UNIT_WLAN ? QStringLiteral("WLAN") : QStringLiteral("DSP");
    //: %1 is a percentage ("40%"), %2 the image: WLAN or DSP.
    set_heading(tr("Update stopped at %1 of the %2 image").arg(percent_text(percent), image));
    bar->setFormat(tr("Stopped at %1").arg(percent_pattern(QStringLiteral("%p"))));
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
    // Start waits for that image to end. A question for the device's
    // versions gives way to Start.
    ui->start_fw_button->setEnabled(!engine.running() || querying);
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
    if (querying) {
        engine.cancel();
        querying = false;
    }
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
    versions_known = true;
    device_versions = versions;
    show_device();
    if (querying) {
        // The versions named, and a package picked meanwhile judged.
        if (package && !completed && heading.isEmpty())
            show_package(*package);
        return;
    }
    // One pass over the format: a "%1" inside a value stays as it is.
    //: %1 is the device's type: TXU or RXU.
    package_line = tr("Package: %1 WLAN: %2 -> %3 DSP: %4.%5 -> %6")
                       .arg(shown(versions.package_name), QString::number(versions.device.wlan_version),
                            shown(versions.package_wlan), QString::number(versions.device.dsp_major),
                            QString::number(versions.device.dsp_minor), shown(versions.package_dsp));
    //: %1 is the device's type: TXU or RXU.
    set_heading(tr("Updating %1...").arg(versions.device_type));
}

void FWUpdate::show_module(UpdateEngine::Notice notice, int silent_seconds)
{
    // After the update the line tells the device's restart, whatever its silence.
    if (completed)
        return;
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
        // The time left no longer holds while the device is silent.
        ui->fw_progress_bar->setFormat(progress_format(-1));
        estimate_shown.start();
        ui->cur_module->setText(engine.data_sent() ? (module.isEmpty() ? QString() : module + QLatin1Char(' '))
                                        + tr(SILENT_TEXT, nullptr, silent_seconds)
                                                   : tr(SILENT_ASKING_TEXT, nullptr, silent_seconds));
        break;
    case UpdateEngine::Notice::Finishing:
        ui->fw_progress_bar->setFormat(progress_format(-1));
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
    if (estimate_shown.elapsed() >= ESTIMATE_INTERVAL_MS && engine.notice() == UpdateEngine::Notice::None) {
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
    close_stop_question();
    const bool was_querying = querying;
    querying = false;
    image_ended();
    if (!service_mode())
        ui->start_fw_button->setEnabled(false);
    show_device();
    // The port's own description, then which port.
    if (service_mode()) {
        QMessageBox::critical(this, tr("Critical Error"),
                              reason + QStringLiteral("\n\n")
                                  + tr("The link to the device on the serial port %1 was lost.")
                                        .arg(serial_port ? port_location(serial_port->portName()) : QString()),
                              QMessageBox::Ok);
        return;
    }
    if (completed) {
        // The device restarts with its new firmware.
        ui->cur_module->setText(tr("The device is restarting; the main window links it again when it answers."));
        return;
    }
    // After an update ended, its words stay; the device line tells the link is gone.
    if (!mid_update)
        return;
    if (engine.data_sent() && !was_querying) {
        show_stopped();
        ui->cur_module->setText(tr(LINK_LOST_TEXT) + QLatin1Char(' ') + tr(HALF_WRITTEN_TEXT) + QLatin1Char(' ')
                                + after_part_way(true));
        return;
    }
    // Nothing was sent: the device is as it was; the main window links it
    // again once it is plugged in and this window is closed.
    set_heading(tr("Connection to the device lost"));
    ui->fw_progress_bar->setFormat(tr("Nothing was sent"));
    ui->cur_module->setText(tr("Connection to the device lost: nothing was sent. Close this window; the device "
                               "is linked again when it is plugged in."));
}

void FWUpdate::show_refusal(const UpdateVersions &versions)
{
    set_heading(tr("Update refused"));
    reset_progress();
    ui->fw_progress_bar->setFormat(tr("Nothing was sent"));
    QMessageBox::information(this, tr("Version Mismatch"), tr("Skipping firmware update for this portable"),
                             QMessageBox::Ok);
    // Which side is newer, and the way on: another package.
    ui->cur_module->setText(tr("The package does not fit this device: %1. Nothing was sent; pick another package.")
                                .arg(misfit_reason(versions)));
    ready_for_another(false);
}

void FWUpdate::show_failure(UpdateEngine::Failure failure, const QString &detail)
{
    close_stop_question();
    if (querying) {
        // Only the versions were asked for: the device stays named without them.
        querying = false;
        show_device();
        return;
    }
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
    // The heading, the bar and the line say what happened and what to do.
    if (engine.data_sent()) {
        show_stopped();
        ui->cur_module->setText(text + QLatin1Char(' ') + tr(HALF_WRITTEN_TEXT) + QLatin1Char(' ')
                                + after_part_way(false));
    } else {
        set_heading(tr("Update not started"));
        reset_progress();
        ui->fw_progress_bar->setFormat(tr("Nothing was sent"));
        ui->cur_module->setText(text + QLatin1Char(' ')
                                + tr("Nothing was sent; start again or pick another package."));
    }
    QMessageBox::critical(this, tr("Error!"), text, QMessageBox::Ok);
    // Another package may be picked, and the same one started again where
    // the device was silent before any data went out.
    ready_for_another(failure == UpdateEngine::Failure::Silence && !engine.data_sent());
}

// The update has ended without completing: a package may be picked (the same
// again, where the device needs the update again), and, where the same one
// may yet go as it is (the device was silent before any data), started again.
void FWUpdate::ready_for_another(bool may_start_again)
{
    const bool linked = serial_port && serial_port->isOpen();
    ui->get_fw_button->setEnabled(linked);
    ui->start_fw_button->setEnabled(may_start_again && package && linked);
}

void FWUpdate::show_package(const FirmwarePackage &picked)
{
    const Manifest &m = picked.manifest();
    package_line = tr("Package \"%1\": WLAN %2, DSP %3 for TXU and %4 for RXU.")
                       .arg(shown(m.name).trimmed(), shown(m.wlan_version).trimmed(),
                            shown(m.txu_dsp_version).trimmed(), shown(m.rxu_dsp_version).trimmed());
    const QString fit = fit_line();
    if (!fit.isEmpty())
        package_line += QStringLiteral("<br>") + fit.toHtmlEscaped();
    set_heading(QString());
    ui->cur_module->setText(QString());
}

void FWUpdate::show_package_refused(const QString &reason)
{
    package_line = reason.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) + QStringLiteral("<br>")
        + tr("Pick another package.");
    set_heading(QString());
    ui->cur_module->setText(QString());
}

void FWUpdate::show_completion()
{
    close_stop_question();
    completed = true;
    image_ended();
    // The bar stays full: the whole update went out.
    bar_painting.stop();
    ui->fw_progress_bar->setUpdatesEnabled(true);
    ui->fw_progress_bar->setValue(ui->fw_progress_bar->maximum());
    ui->fw_progress_bar->setFormat(percent_pattern(QStringLiteral("%p")));
    set_heading(tr("Update complete"));
    // setText, not a clear(): only setText tells assistive technology.
    ui->cur_module->setText(raw_update ? QString()
                                       : tr("The device is restarting with its new firmware; the main window links "
                                            "it again when it answers."));
    if (raw_update) {
        QMessageBox::information(this, tr("Firmware Update"), tr("Firmware update completed successfully"),
                                 QMessageBox::Ok);
        return;
    }
    QMessageBox::information(this, tr("Firmware Update"),
                             tr("Firmware update completed successfully.<br>") + QString(37, QLatin1Char(' '))
                                 + tr("It is now safe to disconnect your device. Tavero Companion stays open and "
                                      "links the device again when it answers."),
                             QMessageBox::Ok);
    // The device's new versions, once it answers again.
    if (serial_port && serial_port->isOpen() && !engine.running()) {
        querying = true;
        versions_known = false;
        show_device();
        engine.start_query();
    }
}
