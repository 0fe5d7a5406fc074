#pragma once

#include "port_finder.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QSerialPort>
#include <QTimer>

#include <optional>

namespace Ui {
class TVC;
}
class AllDevices;
class FWUpdate;
class DeviceRoster;
class DeviceSession;
class HeronTemp;
class QMenu;
class SignalHistory;
class ShowLogWindow;
class ShowMonitor;
class ShowSettingsDialog;
struct AlarmRecord;
class Sniffer;
enum class LinkEvent : quint8;

// The main window: a view of one device session (the serial link to the
// device, its decoding and its commands), the form that shows the device's
// state, and the two diagnostic dialogs.
class TVC : public QMainWindow
{
    Q_OBJECT

public:
    explicit TVC(QWidget *parent = nullptr);
    // `ports` decides where the device is looked for (see PortFinder).
    explicit TVC(PortFinder ports, QWidget *parent = nullptr);
    ~TVC() override;

    // Builds one request frame and writes it; never waits for an answer.
    void send_command(quint8 code, quint8 unit, int argument);
    // Decodes one 112-byte reply frame into the device state and the display.
    void parse_reply(const QByteArray &frame);

    // Breaks the link and returns the display to its "no device" state;
    // `port_lost`: because the port failed.
    void reset_connection(bool port_lost = false);
    // One connection attempt: with `use_selected_port` the port named in the
    // service-mode port list, otherwise the first port the finder reports.
    void connect_device(bool use_selected_port);
    // Applies 8N1, no flow control, 115200 baud; false when a setting is refused.
    bool configure_port();

    void setup_channel_list();
    void switch_channel_list(bool full);

    // Requests made by the diagnostic dialogs.
    void request_temperature();
    void start_sniffer(quint8 mode);
    void stop_sniffer();

    // The device the window shows, as every view names it: role, port and
    // the bridge's serial number where known.
    QString device_name() const;

    quint8 service_level;
    QSerialPort *serial_port;

protected:
    void changeEvent(QEvent *event) override;
    // Closing the window during a firmware update asks first, as the
    // firmware dialog does.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void tvc_read_serial();
    void tvc_handle_serialport_error(QSerialPort::SerialPortError error);
    void on_mute_button_clicked();
    void on_gain_up_button_clicked();
    void on_gain_down_button_clicked();
    void on_link_button_clicked();
    void on_refresh_button_clicked();
    void on_actionRefresh_triggered();
    void on_actionDevice_Version_triggered();
    void on_actionHeron_Temperature_triggered();
    void on_actionService_Mode_triggered();
    void on_actionSniffer_triggered();
    void on_actionUser_Guide_triggered();
    void on_actionVersion_triggered();
    void on_actionFirmware_Update_triggered();
    void on_actionSignal_History_triggered();
    void on_actionAll_Devices_triggered();
    void on_actionShow_Log_triggered();
    void on_actionShow_Settings_triggered();
    void on_actionRegister_triggered();
    void update_timeout();
    void mute_gain_guard();
    void on_cbox_rssi_clicked(bool checked);
    void on_chanlist_currentTextChanged(const QString &text);
    // Bound to activated(int), the one activation signal that Qt 5 and Qt 6
    // share; the port is read from the list's current text.
    void on_comportslist_activated(int index);

private:
    // connect_device without the box: the port's error description when
    // opening or configuring the port failed.
    std::optional<QString> open_device(bool use_selected_port);
    // A device plugged in while the window is idle is connected on its own.
    void watch_for_devices();
    void look_for_plugged_device();
    void connect_on_its_own(bool first_try);
    // No port open and no firmware dialog running.
    bool idle() const;
    // The link was lost: its port, when seen again, counts as plugged in anew.
    void forget_lost_port();

    // Makes `next` the device the window shows and acts on.
    void view_session(DeviceSession *next);
    // The device chosen in the overview becomes the window's.
    void show_device(DeviceSession *chosen);
    // Everything the session knows, shown at once (a device chosen anew).
    void show_state();
    // The session's news, shown.
    void show_reply(quint8 code, const QByteArray &frame);
    void show_idle();
    // The line beside the lamps: the port and bridge serial number of the
    // device the window shows. When that device went while others are
    // attached, "Device unplugged", and a menu of the others to choose from.
    void show_device_line();
    // The line of alarms: how many wait to be seen, and the window's
    // device's own; empty (hidden) when there are none.
    void show_alarm_line();
    // Follows the show: names for every view, the line of alarms, and the
    // announcement of new ones.
    void watch_show();
    // A new alarm: told to a screen reader, and on the desktop while the
    // program is in the background.
    void announce_alarm(const AlarmRecord &alarm);
    void fill_device_menu();
    // The device on `port` becomes the window's: shown if it is linked,
    // linked first if not.
    void choose_device(const QString &port);
    void show_port_failure(const QString &reason);
    void show_levels_gone();
    void follow_report_mode(quint8 mode);
    void detach_channel_slot();
    void attach_channel_slot();
    void begin_display_batch();
    void end_display_batch();
    void refresh_display();

    Ui::TVC *ui;
    DeviceSession *session;
    HeronTemp *heron_temp;
    Sniffer *sniffer;
    SignalHistory *signal_history = nullptr;
    AllDevices *all_devices = nullptr;
    // The show: every device's alarms, their log, names and settings.
    ShowMonitor *show_monitor = nullptr;
    ShowLogWindow *show_log_window = nullptr;
    ShowSettingsDialog *show_settings_dialog = nullptr;
    QString alarm_news;      // the newest alarm, for a screen reader
    int alarms_counted = 0;  // alarms not acknowledged at the last look
    QMenu *device_menu = nullptr;
    bool port_signals_connected;

    // Every device the program knows of; the window views one of them.
    DeviceRoster *roster;
    QStringList ports_seen;  // present at the last look
    QString linked_port;     // the port last opened
    QTimer open_retry;
    bool firmware_dialog_open = false;
    FWUpdate *firmware_dialog = nullptr;
    // Since the firmware dialog closed with its questions for the device's
    // versions still out: their answers are the dialog's, not the user's.
    QElapsedTimer dialog_questions_out;
    // A device updated while it restarts: its new versions wait for it to
    // be linked again, on its port or, by its bridge's serial number, on
    // another one.
    struct Restarting
    {
        QString port;
        QString serial;
        quint16 wlan_version = 0;
        quint8 dsp_major = 0;
        quint8 dsp_minor = 0;
    };
    std::optional<Restarting> restarting;
    void give_restarted_versions();
    bool decoding_batch = false;
    bool display_frozen = false;
    QTimer display_refresh;
    QElapsedTimer last_refresh;
};
