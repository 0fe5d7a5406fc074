// The link history: its window, and what the main window records for it.

#include "tvc.h"
#include "ui_tvc.h"

#include "frame.h"
#include "history_clock.h"
#include "report_fields.h"
#include "report_log.h"
#include "signal_history.h"
#include "status_display.h"

#include <QTextDocumentFragment>

void TVC::on_actionSignal_History_triggered()
{
    if (!signal_history) {
        // The recording starts here, with what is known of the link.
        signal_history = new SignalHistory(ui->cbox_rssi, this);
        // The device as this window shows it: the port opened, and the role
        // line once the device has told it.
        signal_history->set_device_source([this] {
            HistoryDevice device;
            if (!serial_port->isOpen())
                return device;
            device.port = linked_port;
            const QString role = ui->l_p2p_devtype->text();
            if (role != UPDATING_TEXT && role != NO_DEVICE_TEXT)
                device.role = QTextDocumentFragment::fromHtml(role).toPlainText().trimmed();
            return device;
        });
        ReportLog &log = signal_history->log();
        const qint64 now = history_now_ms();
        if (!serial_port->isOpen()) {
            log.add_event(now, LinkEvent::Connection, CONNECTION_CLOSED);
        } else {
            log.add_event(now, LinkEvent::Connection, CONNECTION_OPEN);
            // Every device information reply enables the group; a reset disables it.
            if (ui->grpbox_link->isEnabled()) {
                log.add_event(now, LinkEvent::RepeaterMode, rep_mode ? 1 : 0);
                log.add_event(now, LinkEvent::LinkState, link_state);
            }
            log.add_event(now, LinkEvent::ReportMode, report_mode);
        }
    }
    // Its sniffer tab goes with the Sniffer menu entry.
    signal_history->show_sniffer(ui->actionSniffer->isVisible());
    signal_history->show();
    signal_history->raise();
    signal_history->activateWindow();
}

void TVC::record_reply(const QByteArray &frame)
{
    if (!signal_history)
        return;
    ReportLog &log = signal_history->log();
    const qint64 now = history_now_ms();
    switch (frame_code(frame)) {
    case RPL_SIGNAL:
        // Signal reports count only while Signal Strength is ticked, as on the bars.
        if (ui->cbox_rssi->isChecked())
            log.add_signal(now, frame_s16(frame, 8), frame_s16(frame, 10));
        break;
    case RPL_SNIFF:
        log.add_sniff(now, sniff_fields(frame));
        break;
    case RPL_LINK_STATE:
        log.add_event(now, LinkEvent::LinkState, link_state);
        break;
    case RPL_DEVICE_INFO:
        log.add_event(now, LinkEvent::RepeaterMode, rep_mode ? 1 : 0);
        log.add_event(now, LinkEvent::LinkState, link_state);
        break;
    default:
        break;
    }
}

void TVC::record_event(LinkEvent event, int value)
{
    if (signal_history)
        signal_history->log().add_event(history_now_ms(), event, value);
}
