#include "tvc.h"
#include "ui_tvc.h"

#include "accessibility.h"
#include "constants.h"
#include "device_label.h"
#include "fwupdate.h"
#include "status_display.h"
#include "device_roster.h"
#include "device_session.h"
#include "herontemp.h"
#include "signal_history.h"
#include "all_devices.h"
#include "show_log_window.h"
#include "show_monitor.h"
#include "show_settings.h"
#include "show_settings_dialog.h"
#include "sniffer.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>

// The colour of the panels' background between its green-tinted edges (the
// window's style sheet).
const QColor PANEL_BACKGROUND(0xF0, 0xF0, 0xF0);

// The window icon of the Windows installation is named by the form. Where that
// file is missing, the program's own icon is used. (The resource initialiser
// cannot be called from inside a namespace.)
static void ensure_window_icon(QWidget *window)
{
    if (!window->windowIcon().isNull())
        return;
    Q_INIT_RESOURCE(resources);
    window->setWindowIcon(QIcon(QStringLiteral(":/icons/tvc.png")));
}

TVC::TVC(QWidget *parent)
    : TVC(PortFinder::system(), parent)
{
}

TVC::TVC(PortFinder ports, QWidget *parent)
    : QMainWindow(parent)
    , service_level(0)
    , serial_port(nullptr)
    , ui(new Ui::TVC)
    , heron_temp(nullptr)
    , sniffer(nullptr)
    , port_signals_connected(false)
    , roster(nullptr)
{
    display_refresh.setSingleShot(true);
    connect(&display_refresh, &QTimer::timeout, this, &TVC::refresh_display);

    act_on_accessible_toggles();
    roster = new DeviceRoster(std::move(ports), this);
    show_monitor = new ShowMonitor(roster, user_settings_file(), this);
    // Until a port is chosen, the window's session has none; the roster
    // takes it as the session of the first port it opens.
    session = nullptr;
    view_session(new DeviceSession(this));
    heron_temp = new HeronTemp(this);
    sniffer = new Sniffer(this);

    // The port and channel lists are named by their labels' words.
    keep_list_names();
    ui->setupUi(this);
    // The two groups start disabled. They are disabled only now that their
    // controls are complete: a control made inside a disabled group is
    // described to assistive technology before it is more than a plain
    // widget, and that description would stay (no button, no press action).
    ui->grpbox_master->setEnabled(false);
    ui->grpbox_gain->setEnabled(false);
    ensure_window_icon(this);

    ui->comportslist->hide();
    ui->serialport_label->hide();
    // The other devices to choose from, once the window's device went.
    device_menu = new QMenu(ui->choose_device_button);
    connect(device_menu, &QMenu::aboutToShow, this, &TVC::fill_device_menu);
    ui->choose_device_button->setMenu(device_menu);
    ui->choose_device_button->hide();
    connect(roster, &DeviceRoster::entries_changed, this, &TVC::show_device_line);
    ui->l_alarms->hide();
    watch_show();
    connect(roster, &DeviceRoster::entries_changed, this, &TVC::give_restarted_versions);
    ui->actionHeron_Temperature->setVisible(false);
    ui->actionSniffer->setVisible(false);
    ui->actionRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    ui->actionDevice_Version->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_V));
    // The mute lamp is left as it is by a reset; it starts unlit.
    ui->l_mute->show_state(mute_lamp(false));
    press_buttons_on_enter(this);
    keep_panels_legible({ui->devinfo_frame, ui->audioframe}, PANEL_BACKGROUND);

    fill_service_channel_lists();

    port_signals_connected = false;
    service_level = 0;

    QMessageBox::information(nullptr, tr("Welcome"), welcome_text(), QMessageBox::Ok);

    // Watching starts before the first search, so that no port slips in between.
    watch_for_devices();
    connect_device(false);
}

TVC::~TVC()
{
    reset_connection();
    // The views of the show go before it, and no view asks for the devices'
    // names any more.
    set_device_name_source({});
    delete all_devices;
    all_devices = nullptr;
    delete show_log_window;
    show_log_window = nullptr;
    delete show_settings_dialog;
    show_settings_dialog = nullptr;
    delete show_monitor;
    show_monitor = nullptr;
    // The sessions' views are about to go.
    session->disconnect(this);
    if (session->parent() == this)
        delete session;
    delete roster;
    serial_port = nullptr;
    delete heron_temp;
    delete sniffer;
    delete ui;
}

void TVC::view_session(DeviceSession *next)
{
    if (next == session) {
        // Taken into the roster: it has its history now.
        if (signal_history)
            signal_history->set_log(session->history());
        return;
    }
    if (session)
        session->disconnect(this);
    session = next;
    serial_port = session->port();
    if (signal_history)
        signal_history->set_log(session->history());
    connect(session, &DeviceSession::reset, this, &TVC::show_idle);
    connect(session, &DeviceSession::opened, this, [this] {
        ui->l_p2p_devtype->setText(updating_text());
        show_device_line();
    });
    connect(session, &DeviceSession::port_failed, this, &TVC::show_port_failure);
    connect(session, &DeviceSession::reply, this, &TVC::show_reply);
    connect(session, &DeviceSession::levels_stale, this, &TVC::show_levels_gone);
    connect(session, &DeviceSession::report_mode_changed, this, &TVC::follow_report_mode);
    connect(session, &DeviceSession::firmware_known, this, &TVC::show_device_line);
    connect(session, &DeviceSession::batch_started, this, &TVC::begin_display_batch);
    connect(session, &DeviceSession::batch_ended, this, &TVC::end_display_batch);
}

void TVC::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // The desktop's theme changed: the panels follow it where they can. (The
    // form is complete once it has set the central widget.)
    if (event->type() == QEvent::PaletteChange && centralWidget())
        keep_panels_legible({ui->devinfo_frame, ui->audioframe}, PANEL_BACKGROUND);
}

QString TVC::device_name() const
{
    return device_description(*roster, session->port_name());
}

void TVC::closeEvent(QCloseEvent *event)
{
    // An update in progress ends only when the user says so; then the
    // dialog closes with the window.
    if (firmware_dialog && firmware_dialog->update_in_progress()) {
        if (!firmware_dialog->ask_to_stop()) {
            event->ignore();
            return;
        }
        firmware_dialog->done(QDialog::Rejected);
    }
    QMainWindow::closeEvent(event);
}
