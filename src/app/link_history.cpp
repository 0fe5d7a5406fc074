// The link history: its window, and what the main window records for it.

#include "tvc.h"
#include "ui_tvc.h"

#include "all_devices.h"
#include "device_label.h"
#include "device_roster.h"
#include "device_session.h"
#include "history_csv.h"
#include "frame.h"
#include "history_clock.h"
#include "report_log.h"
#include "signal_history.h"
#include "status_display.h"

#include <QTextDocumentFragment>

void TVC::on_actionSignal_History_triggered()
{
    if (!signal_history) {
        signal_history = new SignalHistory(ui->cbox_rssi, this);
        // The device as this window shows it: the port opened, and the role
        // line once the device has told it.
        signal_history->set_device_source([this] {
            HistoryDevice device;
            if (!serial_port->isOpen())
                return device;
            device.port = linked_port;
            device.serial = roster->serial_number(linked_port);
            const QString role = ui->l_p2p_devtype->text();
            if (role != updating_text() && role != no_device_text())
                device.role = QTextDocumentFragment::fromHtml(role).toPlainText().trimmed();
            return device;
        });
        // Every device's history is recorded from the moment its port
        // opens; the window shows the main window's device's.
        signal_history->set_log(session->history());
        signal_history->set_histories_source([this] {
            QList<PortHistory> histories;
            for (const DeviceRoster::Entry &entry : roster->entries()) {
                const ReportLog *log = roster->history(entry.port);
                if (log && !log->empty())
                    histories.append({entry.port, log->freeze(), ::device_name(entry.port)});
            }
            return histories;
        });
        connect(roster, &DeviceRoster::entries_changed, signal_history, [this] {
            signal_history->set_histories_source_changed();
        });
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
        all_devices = new AllDevices(roster, this, show_monitor);
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
