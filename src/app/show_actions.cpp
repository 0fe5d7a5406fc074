// The show: the line of alarms, their announcement, the show log and the
// show's settings.

#include "tvc.h"
#include "ui_tvc.h"

#include "accessibility.h"
#include "all_devices.h"
#include "desktop_notice.h"
#include "device_label.h"
#include "device_session.h"
#include "show_log.h"
#include "show_log_window.h"
#include "show_monitor.h"
#include "show_settings_dialog.h"

#include <QApplication>

void TVC::watch_show()
{
    set_device_name_source([this](const QString &port) {
        return show_monitor ? name_for_display(show_monitor->name(port)) : QString();
    });
    connect(show_monitor->watch(), &AlarmWatch::alarms_changed, this, &TVC::show_alarm_line);
    connect(show_monitor->watch(), &AlarmWatch::alarm_started, this, &TVC::announce_alarm);
    // A new name shows wherever the device is named.
    connect(show_monitor, &ShowMonitor::names_changed, this, &TVC::show_device_line);
    show_alarm_line();
}

void TVC::show_alarm_line()
{
    if (!show_monitor)
        return;
    QStringList parts;
    const QString problem = show_monitor->settings_problem();
    if (!problem.isEmpty())
        parts.append(problem);
    const QString count = show_monitor->count_text();
    if (!count.isEmpty())
        parts.append(count);
    const QString own = session ? show_monitor->alarm_line(session->port_name()) : QString();
    if (!own.isEmpty())
        //: The main window's own device's alarms, after the count of all.
        parts.append(tr("This device: %1").arg(own));
    const QString text = parts.join(QStringLiteral(" \u00b7 "));
    if (ui->l_alarms->text() != text) {
        ui->l_alarms->setText(text);
        ui->l_alarms->setToolTip(text);
    }
    ui->l_alarms->setVisible(!text.isEmpty());
    // A screen reader hears the newest alarm before the line, until alarms
    // are acknowledged.
    const int unacknowledged = show_monitor->watch()->unacknowledged();
    if (unacknowledged < alarms_counted)
        alarm_news.clear();
    alarms_counted = unacknowledged;
    set_accessible_name(ui->l_alarms, alarm_news.isEmpty() ? text : alarm_news + QStringLiteral(". ") + text);
}

void TVC::announce_alarm(const AlarmRecord &alarm)
{
    const QString port = alarm.device.port;
    const QString name = name_for_display(show_monitor->name(port));
    const QString who = name.isEmpty() ? port : tr("%1 (%2)").arg(name, port);
    ShowLogEntry entry;
    entry.alarm_id = alarm.alarm.id;
    entry.kind = quint8(alarm.alarm.kind);
    //: A new alarm as a screen reader and the desktop tell it: "Alarm: Lead vocal (ttyUSB0): link lost".
    const QString text = tr("Alarm: %1: %2").arg(who, ShowLog::what_text(entry));
    alarm_news = text;
    show_alarm_line();
    if (show_monitor->settings().notifications && !QApplication::activeWindow())
        notify_desktop(tr("Alarm"), text);
}

void TVC::on_actionShow_Log_triggered()
{
    if (!show_log_window)
        show_log_window = new ShowLogWindow(show_monitor->log(), this);
    show_log_window->show();
    show_log_window->raise();
    show_log_window->activateWindow();
}

void TVC::on_actionShow_Settings_triggered()
{
    if (!show_settings_dialog) {
        show_settings_dialog = new ShowSettingsDialog(show_monitor, this);
        connect(show_settings_dialog, &QDialog::accepted, this, &TVC::show_alarm_line);
    }
    show_settings_dialog->show();
    show_settings_dialog->raise();
    show_settings_dialog->activateWindow();
}
