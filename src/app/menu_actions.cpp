// The About menu and the service mode.

#include "tvc.h"
#include "ui_tvc.h"

#include "constants.h"
#include "device_session.h"
#include "fwupdate.h"
#include "herontemp.h"
#include "signal_history.h"
#include "sniffer.h"
#include "user_guide.h"

#include <QCoreApplication>
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
    {
        FWUpdate dialog(this);
        dialog.exec();
    }
    firmware_dialog_open = false;

    if (update_started && service_level != 2) {
        QCoreApplication::quit();
        return;
    }
    // The dialog may have lost the device; then there is nothing to show,
    // unless a device was plugged in meanwhile. Without a device there was
    // no port to lose.
    if (!serial_port->isOpen()) {
        forget_lost_port();
        reset_connection(port_was_open);
        look_for_plugged_device();
        return;
    }
    // What the dialog left of the byte stream is not ours to decode.
    session->resume();
}
