// The main window's serial link: finding and opening the device's port,
// sending requests, receiving frames, and tearing the link down again.

#include "tvc.h"
#include "ui_tvc.h"

#include "accessibility.h"
#include "constants.h"
#include "device_label.h"
#include "device_roster.h"
#include "device_session.h"
#include "form_widgets.h"
#include "frame.h"
#include "port_access.h"
#include "port_watcher.h"
#include "report_log.h"
#include "serial_settings.h"
#include "sniffer.h"
#include "status_display.h"

#include <QMenu>
#include <QMessageBox>
#include <QTimer>

namespace {
// The window is painted this long after the frames that changed it, and at
// least this long after it was last painted.
constexpr int DISPLAY_REFRESH_DELAY_MS = 16;
constexpr int DISPLAY_REFRESH_MIN_MS = 100;
// The one retry of a port that appeared but could not be opened.
constexpr int OPEN_RETRY_MS = 1000;

// A box's text on a port error: the port's own description first, then
// which port and what was being done.
QString port_failure_text(const QString &description, const QString &what)
{
    return description + QStringLiteral("\n\n") + what;
}
} // namespace

void TVC::watch_for_devices()
{
    open_retry.setSingleShot(true);
    open_retry.setInterval(OPEN_RETRY_MS);
    connect(&open_retry, &QTimer::timeout, this, [this] {
        if (idle())
            connect_on_its_own(false);
    });
    connect(roster, &DeviceRoster::ports_changed, this, &TVC::look_for_plugged_device);
}

void TVC::send_command(quint8 code, quint8 unit, int argument)
{
    session->send_command(code, unit, argument);
}

void TVC::reset_connection(bool port_lost)
{
    session->close(port_lost);
}

// What the window shows while no device is linked.
void TVC::show_idle()
{
    ui->l_p2p_devtype->setText(no_device_text());
    ui->l_repmode->show_state(no_device_lamp(repeater_mode_caption()));
    ui->l_ph_pwr->show_state(no_device_lamp(phantom_caption()));
    show_audio_input(ui->lcd_gain, ui->l_audio_in, AudioInput{0, QString()});
    ui->grpbox_master->setEnabled(false);
    ui->grpbox_gain->setEnabled(false);
    ui->l_txq->show_state(no_device_lamp(link_status_caption()));
    show_signal_level(ui->progressBar, SIGNAL_FLOOR);
    show_signal_level(ui->progressBar_rep, SIGNAL_FLOOR);
    ui->progressBar->setStyleSheet(bar_idle_style(ui->progressBar->fontMetrics()));
    ui->progressBar_rep->setStyleSheet(bar_idle_style(ui->progressBar_rep->fontMetrics()));
    ui->progressBar->setEnabled(false);
    ui->progressBar_rep->setEnabled(false);
    ui->cbox_rssi->setChecked(false);
    ui->cbox_rssi->setEnabled(false);
    ui->grpbox_link->setEnabled(false);
    ui->chanlist->clear();
    show_device_line();
}

void TVC::show_device_line()
{
    const QString port = session->port_name();
    const bool linked = session->is_open();
    bool others = false;
    for (const DeviceRoster::Entry &entry : roster->entries())
        others = others || (entry.session && entry.session != session && entry.present);
    const bool unplugged = !linked && session->port_lost() && others;
    QString where
        = linked || unplugged ? with_device_name(port, port_words(port, roster->serial_number(port))) : QString();
    const QString firmware = linked ? firmware_words(session->state()) : QString();
    if (!firmware.isEmpty())
        //: A device's port (and serial number), then its firmware versions: "ttyUSB0; WLAN 1660, DSP 3.13".
        where = tr("%1; %2").arg(where, firmware);
    if (ui->l_device_port->text() != where) {
        ui->l_device_port->setText(where);
        ui->l_device_port->setToolTip(where);
    }
    set_accessible_name(ui->l_device_port, linked ? device_description(*roster, port) : where);
    // The idle line tells whether the window's device went; a role decoded
    // without a port (a frame handed to the window) stays.
    const QString idle_line = ui->l_p2p_devtype->text();
    if (!linked && (idle_line == no_device_text() || idle_line == unplugged_text()))
        ui->l_p2p_devtype->setText(unplugged ? unplugged_text() : no_device_text());
    ui->choose_device_button->setVisible(!linked && others);
    show_alarm_line();
}

// The attached devices but the window's, each as the window would name it,
// and the overview of all of them.
void TVC::fill_device_menu()
{
    device_menu->clear();
    for (const DeviceRoster::Entry &entry : roster->entries()) {
        if (!entry.session || entry.session == session || !entry.present)
            continue;
        const QString port = entry.port;
        QAction *choice = device_menu->addAction(device_description(*roster, port));
        connect(choice, &QAction::triggered, this, [this, port] { choose_device(port); });
    }
    device_menu->addSeparator();
    device_menu->addAction(ui->actionAll_Devices);
}

void TVC::choose_device(const QString &port)
{
    if (firmware_dialog_open || !roster->has_session(port))
        return;
    DeviceSession *chosen = roster->session(port);
    if (chosen->is_open()) {
        show_device(chosen);
        return;
    }
    if (ui->comportslist->findText(port) < 0)
        ui->comportslist->addItem(port);
    ui->comportslist->setCurrentText(port);
    connect_device(true);
}

bool TVC::configure_port()
{
    return configure_serial_port(*serial_port);
}

void TVC::connect_device(bool use_selected_port)
{
    if (const auto failure = open_device(use_selected_port))
        QMessageBox::critical(this, tr("Error"), *failure, QMessageBox::Ok);
}

std::optional<QString> TVC::open_device(bool use_selected_port)
{
    open_retry.stop();
    reset_connection();

    QString port_name;
    if (use_selected_port) {
        port_name = ui->comportslist->currentText();
    } else {
        ui->comportslist->clear();
        const PortScan scan = roster->scan();
        ports_seen = scan.present;
        ui->comportslist->addItems(scan.candidates);
        // The first candidate that is there; with none there, the first, whose
        // failure to open tells the user what is wrong.
        for (const QString &candidate : scan.candidates) {
            if (port_name.isEmpty() || (scan.present.contains(candidate) && !scan.present.contains(port_name)))
                port_name = candidate;
        }
        // The device line tells, on hovering, why no device was found.
        ui->l_p2p_devtype->setToolTip(scan.summary);
    }
    std::optional<QString> failure;
    if (!port_name.isEmpty()) {
        // The window shows the port's device: its session, shared with the
        // overview of all devices.
        view_session(roster->session(port_name, session->parent() == this ? session : nullptr));
        QString error;
        if (session->open(port_name, &error)) {
            linked_port = port_name;
            port_signals_connected = true;
            ui->l_p2p_devtype->setText(updating_text());
        } else {
            failure = error;
        }
    }
    // The device the window showed until now was closed on the way; while
    // every device is kept linked, it is opened again (in the overview).
    if (roster->keeping_all_linked())
        roster->keep_all_linked();
    return failure;
}

// Only a port that was not there at the last look, and that discovery would
// take, starts an attempt; one that is there all along is left to Refresh.
void TVC::look_for_plugged_device()
{
    // While the firmware dialog has the port, the ports seen stay as they
    // were: what appears meanwhile is new when the dialog closes.
    if (firmware_dialog_open)
        return;
    const PortScan scan = roster->scan();
    bool plugged_in = false;
    for (const QString &name : scan.present)
        plugged_in = plugged_in || (!ports_seen.contains(name) && scan.candidates.contains(name));
    ports_seen = scan.present;
    if (plugged_in && idle())
        connect_on_its_own(true);
}

// A port may show up before it may be opened (its permissions are set a moment
// later), so a failure is kept quiet once and tried again shortly after. Only a
// port that still fails tells the user, with the box that Refresh would give.
void TVC::connect_on_its_own(bool first_try)
{
    const auto failure = open_device(false);
    if (!failure)
        return;
    if (first_try)
        open_retry.start();
    else
        QMessageBox::critical(this, tr("Error"), *failure, QMessageBox::Ok);
}

bool TVC::idle() const
{
    return !serial_port->isOpen() && !firmware_dialog_open;
}

void TVC::forget_lost_port()
{
    ports_seen.removeAll(linked_port);
}

void TVC::update_timeout()
{
    session->ask_status();
}

void TVC::tvc_read_serial()
{
    session->read_port();
}

// While frames are decoded, the signal bars and the sniffer log wait: a
// progress bar would repaint itself at once on every value and the log would
// lay out each line as it comes. (The rest of the window paints itself after
// the event, as widgets do.) Afterwards the log is laid out once, and the bars
// are painted when the refresh timer fires: 16 ms after a frame that comes
// alone, but no more than ten times a second however fast the device reports;
// painting at every report of a device that reports every 10 ms would take a
// tenth of a core.
void TVC::begin_display_batch()
{
    decoding_batch = true;
    if (!display_frozen) {
        display_frozen = true;
        ui->progressBar->setUpdatesEnabled(false);
        ui->progressBar_rep->setUpdatesEnabled(false);
        sniffer->setUpdatesEnabled(false);
    }
    sniffer->begin_lines();
}

void TVC::end_display_batch()
{
    if (!decoding_batch)
        return;
    decoding_batch = false;
    sniffer->end_lines();
    if (!display_refresh.isActive()) {
        const qint64 since = last_refresh.isValid() ? last_refresh.elapsed() : DISPLAY_REFRESH_MIN_MS;
        display_refresh.start(int(qMax<qint64>(DISPLAY_REFRESH_DELAY_MS, DISPLAY_REFRESH_MIN_MS - since)));
    }
}

void TVC::refresh_display()
{
    display_refresh.stop();
    if (!display_frozen || decoding_batch)
        return;
    display_frozen = false;
    last_refresh.start();
    ui->progressBar->setUpdatesEnabled(true);
    ui->progressBar_rep->setUpdatesEnabled(true);
    sniffer->setUpdatesEnabled(true);
}

void TVC::tvc_handle_serialport_error(QSerialPort::SerialPortError error)
{
    session->port_error(error);
}

// The port failed: the session has ended the link; tell the user once.
void TVC::show_port_failure(const QString &description)
{
    const QString reason = port_failure_text(
        description, tr("The link to the device on the serial port %1 was closed.").arg(session->port_name()));
    forget_lost_port();
    if (service_level == 2)
        QMessageBox::critical(this, tr("Critical Error"), reason, QMessageBox::Ok);
}

void TVC::on_refresh_button_clicked()
{
    connect_device(false);
}

void TVC::on_actionRefresh_triggered()
{
    connect_device(false);
}

void TVC::on_comportslist_activated(int)
{
    connect_device(true);
}
