#pragma once

#include "update_engine.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>

#include <memory>

class TVC;

namespace Ui {
class FWUpdate;
}

// The firmware update dialog. While it is open it alone talks to the device,
// through its update engine: it asks for the device's type and versions,
// checks them against the package, and sends the WLAN image and then the DSP
// image chunk by chunk, each chunk acknowledged before the next. At service
// level 2 it sends one raw image without any check. The dialog picks the
// package, shows what the engine reports and answers for the port.
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

private:
    bool service_mode() const;
    // Whether the port is open; says "No devices found" when it is not.
    bool device_connected();
    void show_versions(const UpdateVersions &versions);
    // The module line: the image being sent, and what the device's silence means.
    void show_module(UpdateEngine::Notice notice, int silent_seconds);
    void show_progress(qint64 done, qint64 total, qint64 seconds_left);
    void show_link_lost(const QString &reason, bool mid_update);
    void show_refusal(const UpdateVersions &versions);
    void show_failure(UpdateEngine::Failure failure, const QString &detail);
    void sent_nothing(bool may_start_again);
    // What was picked: the package's name and versions, or why it cannot be used.
    void show_package(const FirmwarePackage &picked);
    void show_package_refused(const QString &reason);
    void show_completion();
    // An image has ended, well or not.
    void image_ended();
    void reset_progress(qint64 seconds_left = -1);

    Ui::FWUpdate *ui;
    TVC *window;
    QSerialPort *serial_port;
    UpdateEngine engine;

    QString chosen_file;
    std::shared_ptr<FirmwarePackage> package;
    bool raw_update = false;  // the update started is a service-mode image

    QElapsedTimer estimate_shown;  // since the time left was last shown
    QTimer bar_painting;           // while it runs, the bar's new values wait to be painted
};
