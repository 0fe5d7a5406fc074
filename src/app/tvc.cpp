#include "tvc.h"
#include "ui_tvc.h"

#include "accessibility.h"
#include "constants.h"
#include "herontemp.h"
#include "sniffer.h"

#include <QEvent>
#include <QKeySequence>
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
    , update_started(false)
    , serial_port(nullptr)
    , ui(new Ui::TVC)
    , heron_temp(nullptr)
    , sniffer(nullptr)
    , port_signals_connected(false)
    , port_finder(std::move(ports))
{
    display_refresh.setSingleShot(true);
    connect(&display_refresh, &QTimer::timeout, this, &TVC::refresh_display);
    // A reply that nothing follows may wait for the line to go quiet.
    connect(&rx_frames, &FrameReader::quiet, this, &TVC::tvc_read_serial);

    serial_port = new QSerialPort(this);
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
    update_started = false;

    QMessageBox::information(nullptr, tr("Welcome"), WELCOME_TEXT, QMessageBox::Ok);

    // Watching starts before the first search, so that no port slips in between.
    watch_for_devices();
    connect_device(false);
}

TVC::~TVC()
{
    reset_connection();
    delete serial_port;
    delete heron_temp;
    delete sniffer;
    delete ui;
}

void TVC::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // The desktop's theme changed: the panels follow it where they can. (The
    // form is complete once it has set the central widget.)
    if (event->type() == QEvent::PaletteChange && centralWidget())
        keep_panels_legible({ui->devinfo_frame, ui->audioframe}, PANEL_BACKGROUND);
}
