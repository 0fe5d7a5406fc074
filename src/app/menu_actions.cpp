// The About menu and the service mode.

#include "tvc.h"
#include "ui_tvc.h"

#include "constants.h"
#include "device_roster.h"
#include "device_session.h"
#include "fwupdate.h"
#include "herontemp.h"
#include "signal_history.h"
#include "sniffer.h"
#include "user_guide.h"

#include <QCoreApplication>

#include <optional>
#include <QDesktopServices>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace {

const QString REGISTER_URL = QStringLiteral("https://www.tavero.example/register");

const QString SERVICE_CODE_LEVEL_1 = QStringLiteral("taverox042");
const QString SERVICE_CODE_LEVEL_2 = QStringLiteral("taverox5190");
const QString SERVICE_CODE_NEAR_MISS = QStringLiteral("tavero042");

} // namespace

void TVC::on_actionUser_Guide_triggered()
{
    open_user_guide(this, QCoreApplication::applicationDirPath());
}

void TVC::on_actionVersion_triggered()
{
    QMessageBox::information(this, tr("Version"), ABOUT_TEXT, QMessageBox::Ok);
}

void TVC::on_actionRegister_triggered()
{
    QDesktopServices::openUrl(QUrl(REGISTER_URL, QUrl::TolerantMode));
}

void TVC::on_actionService_Mode_triggered()
{
    bool ok = false;
    const QString code = QInputDialog::getText(this, tr("Service Mode Enable"), tr("Enter Service Code"),
                                               QLineEdit::Password, QString(), &ok);
    if (!ok || code.isEmpty())
        return;

    if (code == SERVICE_CODE_LEVEL_1) {
        service_level = 1;
        switch_channel_list(false);
    } else if (code == SERVICE_CODE_LEVEL_2) {
        service_level = 2;
        switch_channel_list(true);
        ui->actionHeron_Temperature->setVisible(true);
        ui->actionSniffer->setVisible(true);
        ui->comportslist->setVisible(true);
        ui->serialport_label->setVisible(true);
        if (signal_history)
            signal_history->show_sniffer(true);
    } else if (code == SERVICE_CODE_NEAR_MISS) {
        QMessageBox::information(this, tr("Almost..."), tr("Forgot the 'x'?"), QMessageBox::Ok);
    }
}

void TVC::on_actionHeron_Temperature_triggered()
{
    heron_temp->show();
}

void TVC::on_actionSniffer_triggered()
{
    sniffer->clear_lines();
    sniffer->show();
}

void TVC::on_actionFirmware_Update_triggered()
{
    // The firmware dialog talks to the device alone while it is open.
    session->suspend();
    const bool port_was_open = serial_port->isOpen();
    firmware_dialog_open = true;
    std::optional<DeviceFirmware> updated;
    {
        FWUpdate dialog(this);
        firmware_dialog = &dialog;
        dialog.exec();
        firmware_dialog = nullptr;
        updated = dialog.new_firmware();
        if (dialog.asking_device())
            dialog_questions_out.start();
        else
            dialog_questions_out.invalidate();
    }
    firmware_dialog_open = false;

    // The program stays open after an update: the other devices and their
    // recordings go on, and the updated device is linked again when it
    // answers, on its port or on a new one.
    // The dialog may have lost the device (it restarts with its new
    // firmware, or its cable was pulled); then there is nothing to show,
    // unless a device was plugged in meanwhile. Without a device there was
    // no port to lose.
    if (!serial_port->isOpen()) {
        if (updated) {
            const QString port = session->port_name();
            restarting = Restarting{port, roster->serial_number(port), updated->wlan_version, updated->dsp_major,
                                    updated->dsp_minor};
        }
        forget_lost_port();
        reset_connection(port_was_open);
        look_for_plugged_device();
        give_restarted_versions();
        return;
    }
    // What the dialog left of the byte stream is not ours to decode.
    session->resume();
    if (updated)
        session->set_firmware(updated->wlan_version, updated->dsp_major, updated->dsp_minor);
}

void TVC::give_restarted_versions()
{
    if (!restarting)
        return;
    for (const DeviceRoster::Entry &entry : roster->entries()) {
        const bool same = entry.port == restarting->port
            || (!restarting->serial.isEmpty() && roster->serial_number(entry.port) == restarting->serial);
        if (!same || !entry.session || !entry.session->is_open())
            continue;
        const Restarting device = *restarting;
        restarting.reset();
        entry.session->set_firmware(device.wlan_version, device.dsp_major, device.dsp_minor);
        return;
    }
}
