// The main window's reply decoder: each frame from the device updates the
// device state and the display.

#include "tvc.h"
#include "ui_tvc.h"

#include "constants.h"
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
    set_style(bar, chunk_style(qint16(level), BAR_BASE_STYLE));
    show_signal_level(bar, level, Pace::Paced);
}

// A signal level of 0 means no reading.
int signal_level(const QByteArray &frame, int offset)
{
    const int level = frame_s16(frame, offset);
    return level == 0 ? SIGNAL_FLOOR : level;
}

} // namespace

void TVC::parse_reply(const QByteArray &frame)
{
    const quint8 b8 = frame_u8(frame, 8);
    const quint8 b9 = frame_u8(frame, 9);

    switch (frame_code(frame)) {
    case RPL_LINK_STATE:
        link_state = b8;
        ui->l_txq->show_state(link_status_lamp(link_state));
        if (is_txu) {
            ui->grpbox_gain->setEnabled(is_linked(link_state));
        } else if (link_state == 1) {
            show_signal_level(ui->progressBar, SIGNAL_FLOOR);
            show_signal_level(ui->progressBar_rep, SIGNAL_FLOOR);
            set_signal_widgets_enabled(ui, false);
        } else {
            set_signal_widgets_enabled(ui, true);
        }
        break;

    case RPL_AUDIO:
        show_audio_input(ui, b8, b9 != 0 && ph_pwr);
        break;

    case RPL_DEVICE_INFO: {
        status_again.stop();
        ui->grpbox_link->setEnabled(true);
        is_txu = (b8 & 0x04) != 0;
        dev_role = b8 & 0x03;
        rep_mode = (b8 & 0x08) != 0;
        ui->l_repmode->show_state(repeater_mode_lamp(rep_mode));

        ui->l_p2p_devtype->setText(role_text(dev_role, is_txu, quint8(b8 >> 4), rep_mode));
        if (dev_role == 0) {
            setup_channel_list();
            send_command(CMD_MASTER_INFO, UNIT_WLAN, 0);
            ui->grpbox_master->setEnabled(true);
        }

        if (is_txu) {
            muted = (b9 & 0x10) != 0;
            ui->l_mute->show_state(mute_lamp(muted));
            ph_pwr = (b9 & 0x20) != 0;
            ui->l_ph_pwr->show_state(phantom_lamp(ph_pwr));
            show_audio_input(ui, frame_u8(frame, 10), (b9 & 0x60) == 0x60);
            link_state = b9 & 0x0F;
            if (is_linked(link_state))
                ui->grpbox_gain->setEnabled(true);
        } else {
            link_state = b9;
            if (is_linked(link_state))
                set_signal_widgets_enabled(ui, true);
        }
        ui->l_txq->show_state(link_status_lamp(link_state));
        break;
    }

    case RPL_CHANNEL: {
        rf_channel = b8;
        const QString text = QString::number(b8);
        if (ui->chanlist->findText(text) < 0)
            ui->chanlist->addItem(text);
        ui->chanlist->setCurrentText(text);
        break;
    }

    case RPL_VERSION:
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
        heron_temp->show_temperature(frame_s16(frame, 8));
        break;

    case RPL_PHANTOM:
        ph_pwr = b8 != 0;
        ui->l_ph_pwr->show_state(phantom_lamp(ph_pwr));
        break;

    case RPL_MUTE:
        muted = b8 != 0;
        ui->l_mute->show_state(mute_lamp(muted));
        break;

    case RPL_SIGNAL: {
        if (!ui->cbox_rssi->isChecked())
            break;
        const int level_a = signal_level(frame, 8);
        show_signal(ui->progressBar, level_a);
        int level_b = SIGNAL_FLOOR;
        if (rep_mode) {
            level_b = signal_level(frame, 10);
        } else {
            const LampState lamp = link_status_for_signal(level_a);
            if (!lamp.text.isEmpty())
                ui->l_txq->show_state(lamp, Pace::Paced);
        }
        show_signal(ui->progressBar_rep, level_b);
        break;
    }

    case RPL_SNIFF:
        sniffer->append_report(frame, sniff_mode);
        break;

    default:
        break;
    }
    record_reply(frame);
}
