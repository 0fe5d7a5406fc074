#include "fwupdate.h"
#include "ui_fwupdate.h"

#include "frame.h"
#include "tvc.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>

namespace {

// After this long without an answer the dialog says that the device is silent.
constexpr int SILENCE_MS = 5000;
// The progress bar moves in at most this many steps per image.
constexpr qint64 PROGRESS_STEPS = 500;
// The time-left estimate is refreshed at most this often.
constexpr qint64 ESTIMATE_INTERVAL_MS = 500;

constexpr quint8 DEVICE_TYPE_TXU = 4;
constexpr quint8 DEVICE_TYPE_RXU = 8;

const QString UPDATING_WLAN = QStringLiteral("Updating WLAN Firmware...");
const QString UPDATING_DSP = QStringLiteral("Updating DSP Firmware...");
const QString LINK_LOST = QStringLiteral("Connection to the device lost: the update is not complete.");
const QString FINISHING = QStringLiteral("The device is finishing the update. Do not disconnect it.");

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
{
    ui->setupUi(this);
    ui->fw_progress_bar->hide();
    ui->start_fw_button->setEnabled(false);

    silence.setSingleShot(true);
    silence.setInterval(SILENCE_MS);
    connect(&silence, &QTimer::timeout, this, &FWUpdate::device_silent);

    // The dialog answers for the port from the start: a cable pulled before
    // Start would otherwise go unnoticed, its read errors repeating unheard.
    // The device's bytes wait for Start.
    if (serial_port)
        connect(serial_port, &QSerialPort::errorOccurred, this, &FWUpdate::fwupdate_handle_serialport_error,
                Qt::UniqueConnection);
}

FWUpdate::~FWUpdate()
{
    work_dir.reset();
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
        // A fresh private folder for each package; the previous one goes with
        // everything in it.
        work_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tvc-XXXXXX"));
        QString error;
        if (!work_dir->isValid())
            error = work_dir->errorString();
        else if (unpack_package(chosen_file, work_dir->path(), &error))
            error = not_a_regular_file(QFileInfo(work_dir->filePath(MANIFEST_FILE)));
        if (!error.isEmpty()) {
            work_dir.reset();
            ui->fw_path->clear();
            ui->start_fw_button->setEnabled(false);
            QMessageBox::critical(this, tr("Error!"),
                                  tr("The firmware package could not be unpacked.") + QLatin1Char('\n') + error,
                                  QMessageBox::Ok);
            return;
        }
    }
    ui->fw_path->setText(chosen_file);
    ui->start_fw_button->setEnabled(true);
}

void FWUpdate::on_start_fw_button_clicked()
{
    // The link may have been lost since the package was picked.
    if (!device_connected()) {
        ui->start_fw_button->setEnabled(false);
        return;
    }
    if (window)
        window->update_started = true;
    ui->fw_progress_bar->show();
    if (!service_mode()) {
        ui->start_fw_button->setEnabled(false);
        ui->get_fw_button->setEnabled(false);
    }
    // Once only, however often Start is pressed in service mode.
    if (serial_port)
        connect(serial_port, &QSerialPort::readyRead, this, &FWUpdate::fwupdate_read_serial, Qt::UniqueConnection);

    if (service_mode()) {
        start_service_image();
        return;
    }
    manifest = work_dir ? read_manifest(work_dir->filePath(MANIFEST_FILE)) : Manifest();
    device_type.clear();
    device = DeviceFirmware();
    stage = Stage::Querying;
    send_frame(CMD_DEVICE_TYPE, UNIT_DSP);
}

void FWUpdate::fwupdate_read_serial()
{
    rx_frames.append(serial_port->readAll());
    QByteArray frame;
    while (rx_frames.take(&frame))
        handle_reply(frame);
}

void FWUpdate::fwupdate_handle_serialport_error(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || !serial_port->isOpen())
        return;
    // Close first: a failing port reports its error again and again until it
    // is closed. Then tell the user once.
    const QString reason = serial_port->errorString();
    serial_port->close();
    rx_frames.clear();
    image.clear();
    dsp_image.clear();
    silence.stop();
    const bool was_updating = stage != Stage::Idle && stage != Stage::Ended;
    stage = Stage::Ended;
    if (service_mode())
        QMessageBox::critical(this, tr("Critical Error"), reason, QMessageBox::Ok);
    else if (was_updating)
        show_module(LINK_LOST);
}

void FWUpdate::handle_reply(const QByteArray &frame)
{
    const quint8 code = frame_code(frame);
    const quint8 unit = frame_unit(frame);
    const quint8 b8 = frame_u8(frame, 8);
    const quint8 b9 = frame_u8(frame, 9);

    // The device type and versions matter only while they are asked for, and
    // only outside service mode.
    if (code == RPL_DEVICE_TYPE || code == RPL_VERSION) {
        if (service_mode() || stage != Stage::Querying)
            return;
        show_module(module_text);
        if (code == RPL_DEVICE_TYPE) {
            if (b8 == DEVICE_TYPE_TXU)
                device_type = QStringLiteral("TXU");
            else if (b8 == DEVICE_TYPE_RXU)
                device_type = QStringLiteral("RXU");
            send_frame(CMD_VERSION, UNIT_WLAN);
        } else if (unit == UNIT_WLAN) {
            device.wlan_version = frame_u16(frame, 8);
            send_frame(CMD_VERSION, UNIT_DSP);
        } else {
            device.dsp_minor = b8;
            device.dsp_major = b9;
            check_and_start_wlan_image();
        }
        return;
    }
    if (code == RPL_FW_ACK) {
        handle_acknowledgement(unit, frame_u16(frame, 8));
        return;
    }
    if (code == RPL_FW_DONE && stage == Stage::Finishing) {
        show_module(module_text);
        if (service_mode())
            complete(tr("Firmware update completed successfully"));
        else
            complete(tr("Firmware update completed successfully.<br>") + QString(37, QLatin1Char(' '))
                     + tr("It is now safe to disconnect your device. Application will now close."));
    }
}

void FWUpdate::handle_acknowledgement(quint8 unit, quint16 sequence)
{
    // Only the acknowledgement of the chunk in flight moves the transfer on; a
    // repeated or stray one would otherwise send a chunk twice.
    if (stage != Stage::Sending || unit != image_unit || sequence != chunk_in_flight)
        return;
    show_module(module_text);

    if (sequence != LAST_CHUNK) {
        const qint64 done = qint64(sequence) * CHUNK_SIZE;
        // The bar moves in steps of at most 1/500 of the image, finer than it
        // can show; a large image would otherwise spend most of its time
        // measuring the bar's text.
        if (done - ui->fw_progress_bar->value() >= qMax<qint64>(CHUNK_SIZE, image.size() / PROGRESS_STEPS))
            ui->fw_progress_bar->setValue(int(done));
        time_left.update(done, clock.elapsed());
        if (clock.elapsed() - estimate_shown_ms >= ESTIMATE_INTERVAL_MS) {
            estimate_shown_ms = clock.elapsed();
            ui->fw_progress_bar->setFormat(progress_format(time_left.seconds_left()));
        }
        send_chunk(quint16(sequence + 1));
        return;
    }
    if (unit != UNIT_WLAN) {
        stage = Stage::Finishing;
        send_frame(CMD_FW_FINISH, unit);
        return;
    }
    if (service_mode())
        complete(tr("Firmware update completed successfully"));
    else
        start_dsp_image();
}

void FWUpdate::check_and_start_wlan_image()
{
    const QByteArray &package_dsp = manifest.dsp_version_for(device_type);
    // One pass over the format: a "%1" inside a value stays as it is.
    ui->dev_info->setText(QStringLiteral("<p><b>Updating %1...</b></p>").arg(device_type)
                          + QString(20, QLatin1Char(' '))
                          + QStringLiteral("<p>Package: %1 WLAN: %2 -> %3 DSP: %4.%5 -> %6</p>")
                                .arg(shown(manifest.name), QString::number(device.wlan_version),
                                     shown(manifest.wlan_version), QString::number(device.dsp_major),
                                     QString::number(device.dsp_minor), shown(package_dsp)));

    if (!package_fits(device, manifest.wlan_version, package_dsp)) {
        stage = Stage::Ended;
        silence.stop();
        QMessageBox::information(this, tr("Version Mismatch"), tr("Skipping firmware update for this portable"),
                                 QMessageBox::Ok);
        return;
    }

    // Both images are read and checked before the first chunk: a device is
    // never left with a new WLAN image and no DSP image to go with it.
    const QString dsp_file = dsp_image_file(device_type);
    if (dsp_file.isEmpty()) {
        stop_with_error(tr("The device did not report a type that the package has a DSP image for."));
        return;
    }
    FirmwareImage wlan;
    QString error;
    if (!wlan.load(work_dir->filePath(WLAN_IMAGE_FILE), &error)
        || !dsp_image.load(work_dir->filePath(dsp_file), &error)) {
        stop_with_error(error);
        return;
    }
    start_image(wlan, UNIT_WLAN);
    show_module(UPDATING_WLAN);
}

void FWUpdate::start_dsp_image()
{
    start_image(dsp_image, UNIT_DSP);
    dsp_image.clear();
    show_module(UPDATING_DSP);
}

void FWUpdate::start_service_image()
{
    image.clear();
    const bool wlan = QFileInfo(chosen_file).suffix() == QLatin1String("bin");
    FirmwareImage raw;
    QString error;
    if (!raw.load(chosen_file, &error)) {
        stop_with_error(error);
        return;
    }
    start_image(raw, wlan ? UNIT_WLAN : UNIT_DSP);
    ui->dev_info->setText(tr("Firmware update in progress..."));
    show_module(wlan ? UPDATING_WLAN : UPDATING_DSP);
}

void FWUpdate::start_image(const FirmwareImage &next, quint8 unit)
{
    image = next;
    image_unit = unit;
    ui->fw_progress_bar->setMaximum(int(image.size()));
    ui->fw_progress_bar->setValue(0);
    ui->fw_progress_bar->setFormat(progress_format(-1));
    clock.start();
    estimate_shown_ms = 0;
    time_left.start(image.size(), 0);
    stage = Stage::Sending;
    send_chunk(0);
}

void FWUpdate::send_frame(quint8 code, quint8 unit)
{
    if (serial_port && serial_port->isOpen())
        serial_port->write(build_frame(code, unit));
    silence.start();
}

void FWUpdate::send_chunk(quint16 sequence)
{
    chunk_in_flight = is_last_chunk(image.size(), sequence) ? LAST_CHUNK : sequence;
    const QByteArray frame = image.chunk_frame(image_unit, sequence);
    if (serial_port && serial_port->isOpen())
        serial_port->write(frame);
    silence.start();
}

void FWUpdate::show_module(const QString &text)
{
    module_text = text;
    ui->cur_module->setText(text);
}

void FWUpdate::device_silent()
{
    if (stage == Stage::Ended || stage == Stage::Idle)
        return;
    // The images are all out; only the device's confirmation is awaited.
    if (stage == Stage::Finishing) {
        ui->cur_module->setText(FINISHING);
        return;
    }
    ui->cur_module->setText(
        (module_text.isEmpty() ? QString() : module_text + QLatin1Char(' '))
        + tr("The device has not answered for %1 seconds; the update is not complete. Waiting for the device...")
              .arg(SILENCE_MS / 1000));
}

void FWUpdate::complete(const QString &message)
{
    stage = Stage::Ended;
    silence.stop();
    image.clear();
    ui->fw_progress_bar->setValue(0);
    ui->fw_progress_bar->setFormat(progress_format(-1));
    module_text.clear();
    ui->cur_module->clear();
    ui->dev_info->clear();
    QMessageBox::information(this, tr("Firmware Update"), message, QMessageBox::Ok);
}

void FWUpdate::stop_with_error(const QString &message)
{
    stage = Stage::Ended;
    silence.stop();
    image.clear();
    dsp_image.clear();
    QMessageBox::critical(this, tr("Error!"), message, QMessageBox::Ok);
}
