#pragma once

#include "update_engine.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QSerialPort>
#include <QTimer>

#include <memory>
#include <optional>

class QMessageBox;
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

    // Image data is going out (or the device finishes what it got): ending
    // now leaves the device half-written.
    bool update_in_progress() const;
    // Asks whether to stop the update in progress, Continue the default;
    // true when the user chose to stop it (it is stopped then, and the
    // dialog says what the device needs).
    bool ask_to_stop();
    // The update the dialog ran has completed.
    bool update_completed() const { return completed; }
    // The versions the device reports after a completed update, once it
    // has answered.
    std::optional<DeviceFirmware> new_firmware() const;
    // The dialog's questions for the device's versions are still out: their
    // answers may come after it closed.
    bool asking_device() const { return querying; }

    // Escape and the window's close button: during an update they ask first.
    void reject() override;

protected:
    // Wrapped texts that need more lines make the dialog taller, never wider.
    bool event(QEvent *event) override;

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
    void ready_for_another(bool may_start_again);
    // What was picked: the package's name and versions, or why it cannot be used.
    void show_package(const FirmwarePackage &picked);
    void show_package_refused(const QString &reason);
    void show_completion();
    // An image has ended, well or not.
    void image_ended();
    void reset_progress(qint64 seconds_left = -1);
    // The device the dialog writes, and its versions where known.
    void show_device();
    // Whether the picked package fits the device, as far as known.
    QString fit_line() const;
    // The update stopped part-way: the heading and the bar say where.
    void show_stopped();
    // The heading: what the update is doing or how it ended.
    void set_heading(const QString &heading);
    // The update has ended: no question about stopping it stays open.
    void close_stop_question();

    Ui::FWUpdate *ui;
    TVC *window;
    QSerialPort *serial_port;
    UpdateEngine engine;

    QString chosen_file;
    std::shared_ptr<FirmwarePackage> package;
    bool raw_update = false;  // the update started is a service-mode image
    bool querying = false;    // the engine only asks for the device's versions
    bool completed = false;
    bool versions_known = false;
    UpdateVersions device_versions;  // the device's type and versions, once told
    QString heading;                 // what the update is doing or how it ended
    QString package_line;            // what was picked
    QPointer<QMessageBox> stop_question;

    QElapsedTimer estimate_shown;  // since the time left was last shown
    QTimer bar_painting;           // while it runs, the bar's new values wait to be painted
};
