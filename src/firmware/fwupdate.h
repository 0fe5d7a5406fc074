#pragma once

#include "firmware_package.h"
#include "frame_assembler.h"
#include "image_chunks.h"
#include "transfer_progress.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>

#include <memory>

class QTemporaryDir;
class TVC;

namespace Ui {
class FWUpdate;
}

// The firmware update dialog. While it is open it alone talks to the device:
// it asks for the device's type and versions, checks them against the
// package, and sends the WLAN image and then the DSP image chunk by chunk,
// each chunk acknowledged before the next. At service level 2 it sends one
// raw image without any check.
class FWUpdate : public QDialog
{
    Q_OBJECT

public:
    // `parent` is the main window, whose serial port the dialog borrows.
    explicit FWUpdate(QWidget *parent = nullptr);
    ~FWUpdate() override;

private slots:
    void fwupdate_read_serial();
    void fwupdate_handle_serialport_error(QSerialPort::SerialPortError error);
    void on_get_fw_button_clicked();
    void on_start_fw_button_clicked();
    void device_silent();

private:
    enum class Stage
    {
        Idle,       // nothing started, or a service-mode image may start again
        Querying,   // asking the device for its type and versions
        Sending,    // an image chunk is waiting for its acknowledgement
        Finishing,  // the DSP image is complete, waiting for the device to finish
        Ended       // completed, refused, or stopped by an error
    };

    bool service_mode() const;
    // Whether the port is open; says "No devices found" when it is not.
    bool device_connected();
    void handle_reply(const QByteArray &frame);
    void handle_acknowledgement(quint8 unit, quint16 sequence);
    void check_and_start_wlan_image();
    void start_dsp_image();
    void start_service_image();
    void start_image(const FirmwareImage &next, quint8 unit);
    void send_frame(quint8 code, quint8 unit);
    void send_chunk(quint16 sequence);
    void show_module(const QString &text);
    void complete(const QString &message);
    void stop_with_error(const QString &message);

    Ui::FWUpdate *ui;
    TVC *window;
    QSerialPort *serial_port;

    std::unique_ptr<QTemporaryDir> work_dir;
    QString chosen_file;
    Manifest manifest;

    QString device_type;
    DeviceFirmware device;

    Stage stage = Stage::Idle;
    FirmwareImage image;      // the image being sent
    FirmwareImage dsp_image;  // read and checked with the WLAN image, sent after it
    quint8 image_unit = 0;
    quint16 chunk_in_flight = 0;  // the sequence field of the chunk last sent
    FrameAssembler rx_frames;

    QString module_text;
    QTimer silence;
    QElapsedTimer clock;
    TimeLeft time_left;
    qint64 estimate_shown_ms = 0;
};
