// The link history: its window, and what the main window records for it.

#include "tvc.h"
#include "ui_tvc.h"

#include "device_session.h"
#include "frame.h"
#include "history_clock.h"
#include "report_log.h"
#include "signal_history.h"

void TVC::on_actionSignal_History_triggered()
{
    if (!signal_history) {
        // The recording starts here, with what is known of the link.
        signal_history = new SignalHistory(ui->cbox_rssi, this);
        ReportLog &log = signal_history->log();
        const HistoryTime time = history_now();
        log.follow_wall_clock(time);
        const qint64 now = time.ms;
        const DeviceState &device = session->state();
        if (!serial_port->isOpen()) {
            log.add_event(now, LinkEvent::Connection, CONNECTION_CLOSED);
        } else {
            log.add_event(now, LinkEvent::Connection, CONNECTION_OPEN);
            if (device.info_known) {
                log.add_event(now, LinkEvent::RepeaterMode, device.rep_mode ? 1 : 0);
                log.add_event(now, LinkEvent::LinkState, device.link_state);
            }
            log.add_event(now, LinkEvent::ReportMode, device.report_mode);
        }
        session->set_history(&log);
    }
    // Its sniffer tab goes with the Sniffer menu entry.
    signal_history->show_sniffer(ui->actionSniffer->isVisible());
    signal_history->show();
    signal_history->raise();
    signal_history->activateWindow();
}
