// The main window's reply decoder: each frame from the device updates the
// device state and the display.

#include "tvc.h"
#include "update_engine.h"
#include "ui_tvc.h"

#include "constants.h"
#include "device_session.h"
#include "form_widgets.h"
#include "frame.h"
#include "herontemp.h"
#include "sniffer.h"
#include "status_display.h"

#include <QMessageBox>

namespace {

// Setting a style sheet re-polishes the widget even when nothing changes;
// reports repeat the same lamp colours many times a second.
void set_style(QWidget *widget, const QString &style)
{
    if (widget->styleSheet() != style)
        widget->setStyleSheet(style);
}

void show_audio_input(Ui::TVC *ui, quint8 input, bool hi_z)
{
    show_audio_input(ui->lcd_gain, ui->l_audio_in, audio_input(input, hi_z));
}

void set_signal_widgets_enabled(Ui::TVC *ui, bool enabled)
{
    ui->cbox_rssi->setEnabled(enabled);
    ui->progressBar->setEnabled(enabled);
    ui->progressBar_rep->setEnabled(enabled);
}

// Signal reports come up to 100 times a second: their words are paced.
void show_signal(QProgressBar *bar, int level)
{
    set_style(bar, chunk_style(qint16(level), bar_base_style(bar->fontMetrics())));
    show_signal_level(bar, level, Pace::Paced);
}

} // namespace

void TVC::parse_reply(const QByteArray &frame)
{
    session->decode(frame);
}

// What a reply changes on the window, once the session has decoded it.
void TVC::show_reply(quint8 code, const QByteArray &frame)
{
    const DeviceState &device = session->state();
    switch (code) {
    case RPL_LINK_STATE:
        ui->l_txq->show_state(link_status_lamp(device.link_state));
        if (device.is_txu) {
            ui->grpbox_gain->setEnabled(is_linked(device.link_state));
        } else if (device.link_state == 1) {
            show_signal_level(ui->progressBar, SIGNAL_FLOOR);
            show_signal_level(ui->progressBar_rep, SIGNAL_FLOOR);
        }
        set_signal_widgets_enabled(ui, signal_strength_allowed(device));
        break;

    case RPL_AUDIO:
        show_audio_input(ui, device.input, device.hi_z);
        break;

    case RPL_DEVICE_INFO:
        ui->grpbox_link->setEnabled(true);
        ui->l_repmode->show_state(repeater_mode_lamp(device.rep_mode));
        ui->l_p2p_devtype->setText(role_text(device.role, device.is_txu, device.slot, device.rep_mode));
        if (device.role == 0) {
            // The session asks a master for its channel once this returns.
            setup_channel_list();
            ui->grpbox_master->setEnabled(true);
        }
        if (device.is_txu) {
            ui->l_mute->show_state(mute_lamp(device.muted));
            ui->l_ph_pwr->show_state(phantom_lamp(device.ph_pwr));
            show_audio_input(ui, device.input, device.hi_z);
            if (is_linked(device.link_state))
                ui->grpbox_gain->setEnabled(true);
        }
        // The one rule for who may report signal strength (the overview's
        // "for all" asks by it too).
        set_signal_widgets_enabled(ui, signal_strength_allowed(device));
        ui->l_txq->show_state(link_status_lamp(device.link_state));
        show_device_line();
        break;

    case RPL_CHANNEL: {
        const QString text = QString::number(device.rf_channel);
        if (ui->chanlist->findText(text) < 0)
            ui->chanlist->addItem(text);
        ui->chanlist->setCurrentText(text);
        break;
    }

    case RPL_VERSION:
        // The answers to the firmware dialog's questions, late: the state
        // has them, the user asked for no box.
        if (dialog_questions_out.isValid()
            && dialog_questions_out.elapsed() < UpdateEngine::ASKS * UpdateEngine::ASK_AGAIN_MS) {
            show_device_line();
            break;
        }
        // The box runs its own event loop: the display must keep painting.
        end_display_batch();
        refresh_display();
        if (frame_unit(frame) == UNIT_WLAN) {
            QMessageBox::information(this, tr("Version"), wlan_version_text(frame), QMessageBox::Ok);
            send_command(CMD_VERSION, UNIT_DSP, 0);
        } else {
            QMessageBox::information(this, tr("Version"), dsp_version_text(frame), QMessageBox::Ok);
        }
        break;

    case RPL_TEMPERATURE:
        heron_temp->show_temperature(device.temperature);
        break;

    case RPL_PHANTOM:
        ui->l_ph_pwr->show_state(phantom_lamp(device.ph_pwr));
        break;

    case RPL_MUTE:
        ui->l_mute->show_state(mute_lamp(device.muted));
        break;

    case RPL_SIGNAL: {
        // The bars follow the reports while Signal Strength is ticked.
        if (!ui->cbox_rssi->isChecked())
            break;
        show_signal(ui->progressBar, device.level_a);
        if (!device.rep_mode) {
            const LampState lamp = link_status_for_signal(device.level_a);
            if (!lamp.text.isEmpty())
                ui->l_txq->show_state(lamp, Pace::Paced);
        }
        show_signal(ui->progressBar_rep, device.level_b);
        break;
    }

    case RPL_SNIFF:
        sniffer->append_report(frame, device.sniff_mode);
        break;

    default:
        break;
    }
}

void TVC::show_state()
{
    show_idle();
    if (!session->is_open())
        return;
    ui->l_p2p_devtype->setText(updating_text());
    const DeviceState &device = session->state();
    if (!device.info_known)
        return;
    show_reply(RPL_DEVICE_INFO, QByteArray());
    if (device.role == 0 && device.channel_known)
        show_reply(RPL_CHANNEL, QByteArray());
    ui->l_mute->show_state(mute_lamp(device.muted));
    ui->l_ph_pwr->show_state(phantom_lamp(device.ph_pwr));
    if (device.audio_known)
        show_audio_input(ui, device.input, device.hi_z);
    if (device.report_mode == REPORT_SIGNAL && ui->cbox_rssi->isEnabled()) {
        ui->cbox_rssi->setChecked(true);
        if (device.levels_live)
            show_reply(RPL_SIGNAL, QByteArray());
    }
}

// The levels shown are no longer true: no report came for a while, or the
// reports were switched off or replaced by the sniffer's. The bars say so.
void TVC::show_levels_gone()
{
    show_signal_level(ui->progressBar, SIGNAL_FLOOR);
    show_signal_level(ui->progressBar_rep, SIGNAL_FLOOR);
}

// Signal reports switched on from elsewhere (all devices at once) tick the
// window's box; nothing else changes it.
void TVC::follow_report_mode(quint8 mode)
{
    if (mode == REPORT_SIGNAL && ui->cbox_rssi->isEnabled() && !ui->cbox_rssi->isChecked())
        ui->cbox_rssi->setChecked(true);
}
