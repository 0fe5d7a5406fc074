// The link history: its window, and what the main window records for it.

#include "tvc.h"
#include "ui_tvc.h"

#include "all_devices.h"
#include "device_session.h"
#include "frame.h"
#include "history_clock.h"
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

void TVC::on_actionAll_Devices_triggered()
{
    if (!all_devices) {
        all_devices = new AllDevices(roster, this);
        connect(all_devices, &AllDevices::device_chosen, this, &TVC::show_device);
    }
    all_devices->set_current(session->port_name());
    all_devices->show();
    all_devices->raise();
    all_devices->activateWindow();
}

void TVC::show_device(DeviceSession *chosen)
{
    if (chosen == session || firmware_dialog_open)
        return;
    view_session(chosen);
    linked_port = chosen->port_name();
    if (ui->comportslist->findText(linked_port) >= 0)
        ui->comportslist->setCurrentText(linked_port);
    show_state();
    if (all_devices)
        all_devices->set_current(linked_port);
}
