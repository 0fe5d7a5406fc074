// The main window's controls: each sends one command and returns at once; the
// device's replies update the display.

#include "tvc.h"
#include "ui_tvc.h"

#include "constants.h"
#include "device_session.h"
#include "form_widgets.h"
#include "frame.h"
#include "status_display.h"

#include <QTimer>

void TVC::on_mute_button_clicked()
{
    session->press_mute();
}

void TVC::on_gain_up_button_clicked()
{
    session->press_gain(true);
}

void TVC::on_gain_down_button_clicked()
{
    session->press_gain(false);
}

void TVC::mute_gain_guard()
{
    session->end_guard();
}

void TVC::on_link_button_clicked()
{
    send_command(CMD_LINK, UNIT_DSP, 0);
}

void TVC::on_actionDevice_Version_triggered()
{
    send_command(CMD_VERSION, UNIT_WLAN, 0);
}

void TVC::on_cbox_rssi_clicked(bool checked)
{
    if (!checked) {
        show_signal_level(ui->progressBar, SIGNAL_FLOOR);
        show_signal_level(ui->progressBar_rep, SIGNAL_FLOOR);
    }
    session->set_signal_reports(checked);
}

void TVC::on_chanlist_currentTextChanged(const QString &text)
{
    if (text.isEmpty())
        return;
    bool ok = false;
    int value = text.toInt(&ok, 10);
    if (!ok)
        value = 0;
    session->choose_channel(quint8(value & 0xFF));
}

// The channel list's change notification is bound by name when the form is
// built; it is detached and attached with the same kind of connection so that
// a list being refilled never sends a channel command.
void TVC::detach_channel_slot()
{
    disconnect(ui->chanlist, SIGNAL(currentTextChanged(QString)), this,
               SLOT(on_chanlist_currentTextChanged(QString)));
}

void TVC::attach_channel_slot()
{
    connect(ui->chanlist, SIGNAL(currentTextChanged(QString)), this,
            SLOT(on_chanlist_currentTextChanged(QString)), Qt::UniqueConnection);
}

// A master reports itself again and again (on its own, after a request): only
// channels not yet listed are added, so the list, its order and its current
// entry stay as they are.
void TVC::setup_channel_list()
{
    detach_channel_slot();
    for (const QString &channel : channels_for_level(service_level)) {
        if (ui->chanlist->findText(channel) < 0)
            ui->chanlist->addItem(channel);
    }
    attach_channel_slot();
}

void TVC::switch_channel_list(bool full)
{
    detach_channel_slot();
    const QString current = ui->chanlist->currentText();
    ui->chanlist->clear();
    ui->chanlist->addItems(full ? CHANNELS_SERVICE_2 : CHANNELS_SERVICE_1);
    ui->chanlist->setCurrentText(current);
    attach_channel_slot();
}

void TVC::request_temperature()
{
    send_command(CMD_TEMPERATURE, UNIT_WLAN, 0);
}

void TVC::start_sniffer(quint8 mode)
{
    session->start_sniffer(mode);
}

void TVC::stop_sniffer()
{
    session->stop_sniffer();
}
