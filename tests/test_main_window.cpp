// The main window as it starts: the welcome box, the form, its starting state
// and the shared constants.

#include "constants.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLCDNumber>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

// A port list that records when it is asked.
struct CountingPorts
{
    int calls = 0;
    PortFinder finder()
    {
        return PortFinder::from_list([this] {
            ++calls;
            return QList<SerialPortEntry>{};
        });
    }
};

QStringList entry_texts(QMenu *menu, bool visible_only)
{
    QStringList texts;
    const auto actions = menu->actions();
    for (QAction *action : actions) {
        if (visible_only && !action->isVisible())
            continue;
        texts.append(action->isSeparator() ? QStringLiteral("|") : action->text());
    }
    return texts;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void constants();
    void welcome_box_comes_before_the_window_and_the_port();
    void form_widgets_texts_and_menus();
    void layouts_and_frames();
    void starts_idle_with_no_device();
    void service_channel_lists_are_filled_once();
    void shortcuts_trigger_their_actions();
    void closing_closes_the_port_before_the_form_goes();
    void window_icon_from_the_installation_or_our_own();
    void command_line_help_and_version();
};

void MainWindowTest::constants()
{
    QCOMPARE(welcome_text().size(), 281);
    QVERIFY(welcome_text().startsWith("<p>Please wait for the device to startup and then press OK.<br>"
                                    + QString(36, ' ') + "For TXU"));
    QVERIFY(welcome_text().endsWith("turns green." + QString(36, ' ') + "<p>More information"
                                  " on various device startup modes can be found in the user guide.</p>"));
    QCOMPARE(ABOUT_TEXT, QStringLiteral("<b>Tavero Companion</b> 1.5.0.0"));

    const QString pad(8, ' ');
    const QString red = "QLabel {" + pad + "background: qradialgradient(cx: 0.4, cy: -0.1," + pad
        + "fx: 0.4, fy: -0.1," + pad + "radius: 1.35, stop: 0 #fff, stop: 1 #f00);" + pad
        + "border-style: solid;" + pad + "border-width:2px;" + pad + "border-radius:9px;" + pad
        + "border-color: #A4A49D;" + pad + "max-width:16px;" + pad + "max-height:16px;" + pad
        + "min-width:16px;" + pad + "min-height:16px;" + pad + "}";
    QCOMPARE(LED_RED, red);
    QCOMPARE(LED_GREEN, QString(red).replace("#f00", "#0f0"));
    QCOMPARE(LED_ORANGE, QString(red).replace("#f00", "#f80"));
    QCOMPARE(LED_GREY, QString(red).replace("#f00", "#bbb"));
}

void MainWindowTest::welcome_box_comes_before_the_window_and_the_port()
{
    CountingPorts ports;
    ModalAnswerer answerer;
    bool window_visible_during_box = true;
    int port_lookups_during_box = -1;
    connect(&answerer, &ModalAnswerer::answered, this, [&] {
        if (answerer.count() != 1)
            return;
        window_visible_during_box = false;
        const auto tops = QApplication::topLevelWidgets();
        for (QWidget *w : tops) {
            if (qobject_cast<TVC *>(w) && w->isVisible())
                window_visible_during_box = true;
        }
        port_lookups_during_box = ports.calls;
    });

    TVC window(ports.finder());
    QCOMPARE(answerer.count(), 1);
    const ModalAnswerer::Seen welcome = answerer.seen().first();
    QCOMPARE(welcome.kind, QStringLiteral("QMessageBox"));
    QCOMPARE(welcome.title, QStringLiteral("Welcome"));
    QCOMPARE(welcome.text, welcome_text());
    QCOMPARE(welcome.icon, int(QMessageBox::Information));
    QVERIFY(!window_visible_during_box);
    QCOMPARE(port_lookups_during_box, 0);
    // After the box, one search for the device; with none, no further box.
    QCOMPARE(ports.calls, 1);
    QCOMPARE(answerer.count(), 1);
    QCOMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), no_device_text());
    QVERIFY(!window.serial_port->isOpen());
}

void MainWindowTest::form_widgets_texts_and_menus()
{
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list({}));

    QCOMPARE(window.objectName(), QStringLiteral("TVC"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavero Companion"));
    QCOMPARE(window.size(), QSize(556, 485));
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(window.findChildren<QToolBar *>().isEmpty());
    QVERIFY(window.findChildren<QStatusBar *>().isEmpty());
    QCOMPARE(window.menuBar()->geometry(), QRect(0, 0, 556, 19));

    QCOMPARE(child<QLabel>(&window, "label_5")->text(), QStringLiteral("Repeater Mode"));
    QCOMPARE(child<QLabel>(&window, "serialport_label")->text(), QStringLiteral("Serial Port:"));
    QCOMPARE(child<QPushButton>(&window, "refresh_button")->text(), QStringLiteral("Refresh"));
    QCOMPARE(child<QGroupBox>(&window, "grpbox_link")->title(), QStringLiteral("Transmission Quality"));
    QCOMPARE(child<QLabel>(&window, "label_6")->text(), QStringLiteral("Link Status"));
    QCOMPARE(child<QLabel>(&window, "l_txq")->text(), QStringLiteral("<br>"));
    QCOMPARE(child<QCheckBox>(&window, "cbox_rssi")->text(), QStringLiteral("Signal Strength"));
    QCOMPARE(child<QLabel>(&window, "label_3")->text(), QStringLiteral("From TXU:"));
    QCOMPARE(child<QLabel>(&window, "label_4")->text(), QStringLiteral("From Repeater:"));
    QCOMPARE(child<QGroupBox>(&window, "grpbox_gain")->title(), QStringLiteral("Gain/Mute"));
    QCOMPARE(child<QLabel>(&window, "label_2")->text(), QStringLiteral("+48V"));
    QCOMPARE(child<QToolButton>(&window, "mute_button")->text(), QStringLiteral("MUTE"));
    QCOMPARE(child<QGroupBox>(&window, "grpbox_master")->title(), QStringLiteral("Master Mode"));
    QCOMPARE(child<QLabel>(&window, "label")->text(), QStringLiteral("RF Channel"));
    QCOMPARE(child<QPushButton>(&window, "link_button")->text(), QStringLiteral("LINK"));
    for (const char *name : {"l_repmode", "l_ph_pwr", "l_mute"})
        QVERIFY2(child<QLabel>(&window, name)->text().isEmpty(), name);

    // The gain buttons draw arrows, not their "..." text.
    auto *up = child<QToolButton>(&window, "gain_up_button");
    auto *down = child<QToolButton>(&window, "gain_down_button");
    QCOMPARE(up->arrowType(), Qt::UpArrow);
    QCOMPARE(down->arrowType(), Qt::DownArrow);
    QCOMPARE(up->toolButtonStyle(), Qt::ToolButtonIconOnly);

    auto *lcd = child<QLCDNumber>(&window, "lcd_gain");
    QCOMPARE(lcd->segmentStyle(), QLCDNumber::Flat);
    QCOMPARE(lcd->digitCount(), 5);

    for (const char *name : {"progressBar", "progressBar_rep"}) {
        auto *bar = child<QProgressBar>(&window, name);
        QCOMPARE(bar->minimum(), -80);
        QCOMPARE(bar->maximum(), -25);
    }

    auto *chanlist = child<QComboBox>(&window, "chanlist");
    QVERIFY(!chanlist->isEditable());
    QCOMPARE(chanlist->maxVisibleItems(), 25);
    QCOMPARE(chanlist->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(chanlist->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    auto *refresh = child<QPushButton>(&window, "refresh_button");
    QCOMPARE(refresh->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(refresh->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);

    // Menus: Options, then About; the diagnostic entries hidden below level 2.
    const auto menus = window.menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus.at(0)->text(), QStringLiteral("Options"));
    QCOMPARE(menus.at(1)->text(), QStringLiteral("About"));
    auto *options = child<QMenu>(&window, "menuRefresh");
    auto *about = child<QMenu>(&window, "menuAbout");
    QCOMPARE(entry_texts(options, false),
             QStringList({"Refresh", "Device Version", "Firmware Update", "Signal History", "All Devices", "Show Log",
                          "Show Settings", "|",
                          "Heron Temperature", "Sniffer"}));
    QCOMPARE(entry_texts(about, false), QStringList({"User Guide", "Info", "Register", "Service Mode"}));
    QVERIFY(!child<QAction>(&window, "actionHeron_Temperature")->isVisible());
    QVERIFY(!child<QAction>(&window, "actionSniffer")->isVisible());

    // Only Refresh and Device Version have shortcuts.
    const auto actions = window.findChildren<QAction *>();
    for (QAction *action : actions) {
        if (action->objectName() == "actionRefresh")
            QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F5));
        else if (action->objectName() == "actionDevice_Version")
            QCOMPARE(action->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_V));
        else
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    }

    // The window style reaches the named widgets.
    const QString style = window.styleSheet();
    for (const char *selector : {"#devinfo_frame", "#audioframe", "#muteled_frame", "#mute_button",
                                 "#gain_up_button:disabled", "#link_button:pressed", "QLCDNumber:disabled",
                                 "#mute_frame", "#gain_frame", "#l_repmode"})
        QVERIFY2(style.contains(selector), selector);
}

void MainWindowTest::layouts_and_frames()
{
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list({}));

    const QStringList on_widgets = {"verticalLayout_5", "gridLayout_5", "gridLayout_4", "horizontalLayout_3",
                                    "gridLayout_3", "verticalLayout_3", "verticalLayout_2", "verticalLayout",
                                    "verticalLayout_4"};
    const QStringList nested = {"horizontalLayout_4", "gridLayout_2", "horizontalLayout_2", "horizontalLayout",
                                "gridLayout"};
    for (const QString &name : on_widgets + nested) {
        auto *layout = window.centralWidget()->findChild<QLayout *>(name);
        QVERIFY2(layout, qPrintable(name));
        QVERIFY2(layout->spacing() == 6, qPrintable(name));
        const int margin = on_widgets.contains(name) ? 11 : 0;
        QVERIFY2(layout->contentsMargins() == QMargins(margin, margin, margin, margin), qPrintable(name));
    }
    for (const char *name : {"devinfo_frame", "audioframe", "gain_frame", "mute_frame", "muteled_frame"}) {
        auto *frame = child<QFrame>(&window, name);
        QCOMPARE(frame->frameShape(), QFrame::StyledPanel);
        QCOMPARE(frame->frameShadow(), QFrame::Raised);
    }

    // A few placements that the style and the eye depend on.
    auto *grid = child<QGridLayout>(&window, "gridLayout_4");
    int row, column, rows, columns;
    grid->getItemPosition(grid->indexOf(child<QWidget>(&window, "grpbox_link")), &row, &column, &rows, &columns);
    QCOMPARE(QList<int>({row, column, rows, columns}), QList<int>({1, 0, 1, 2}));
    auto *top = child<QGridLayout>(&window, "gridLayout_5");
    top->getItemPosition(top->indexOf(child<QWidget>(&window, "l_p2p_devtype")), &row, &column, &rows, &columns);
    QCOMPARE(QList<int>({row, column, rows, columns}), QList<int>({0, 0, 1, 3}));
    QCOMPARE(child<QLabel>(&window, "l_p2p_devtype")->alignment(), Qt::AlignCenter);
    QCOMPARE(child<QLabel>(&window, "label_6")->alignment(), Qt::AlignRight | Qt::AlignVCenter);
}

void MainWindowTest::starts_idle_with_no_device()
{
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list({}));

    QCOMPARE(child<QLabel>(&window, "l_p2p_devtype")->text(), no_device_text());
    for (const char *lamp : {"l_repmode", "l_ph_pwr", "l_txq"})
        QCOMPARE(child<QLabel>(&window, lamp)->styleSheet(), LED_GREY);
    QCOMPARE(child<QLCDNumber>(&window, "lcd_gain")->intValue(), 0);
    QVERIFY(child<QLabel>(&window, "l_audio_in")->text().isEmpty());
    for (const char *name : {"grpbox_master", "grpbox_gain", "grpbox_link", "progressBar", "progressBar_rep",
                             "cbox_rssi"})
        QVERIFY2(!child<QWidget>(&window, name)->isEnabled(), name);
    QVERIFY(!child<QCheckBox>(&window, "cbox_rssi")->isChecked());
    for (const char *name : {"progressBar", "progressBar_rep"}) {
        auto *bar = child<QProgressBar>(&window, name);
        QCOMPARE(bar->value(), -80);
        QCOMPARE(bar->styleSheet(), bar_idle_style(bar->fontMetrics()));
    }
    QCOMPARE(child<QComboBox>(&window, "chanlist")->count(), 0);
    QCOMPARE(child<QComboBox>(&window, "comportslist")->count(), 0);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!child<QWidget>(&window, "comportslist")->isVisible());
    QVERIFY(!child<QWidget>(&window, "serialport_label")->isVisible());
    QVERIFY(child<QWidget>(&window, "refresh_button")->isVisible());
}

void MainWindowTest::service_channel_lists_are_filled_once()
{
    ModalAnswerer answerer;
    {
        TVC first(PortFinder::from_list({}));
    }
    TVC second(PortFinder::from_list({}));
    QCOMPARE(CHANNELS_SERVICE_1,
             QStringList({"36", "40", "44", "48", "52", "56", "60", "64", "100", "104", "108", "112", "116",
                          "120", "124", "128", "132", "136", "140"}));
    QCOMPARE(CHANNELS_SERVICE_2, CHANNELS_SERVICE_1 + QStringList({"149", "153", "157", "161", "165"}));
}

void MainWindowTest::shortcuts_trigger_their_actions()
{
    CountingPorts ports;
    ModalAnswerer answerer;
    TVC window(ports.finder());
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QSignalSpy version(child<QAction>(&window, "actionDevice_Version"), &QAction::triggered);
    QCOMPARE(ports.calls, 1);
    QTest::keyClick(&window, Qt::Key_F5);
    QCOMPARE(ports.calls, 2);
    QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(version.count(), 1);
    // The refresh button searches again as well.
    child<QPushButton>(&window, "refresh_button")->click();
    QCOMPARE(ports.calls, 3);
}

void MainWindowTest::closing_closes_the_port_before_the_form_goes()
{
    // /dev/ptmx opens like a serial port, so the window really holds an open port.
    ModalAnswerer answerer;
    auto *window = new TVC(PortFinder::fixed(QStringLiteral("/dev/ptmx")));
    QVERIFY(window->serial_port->isOpen());
    bool form_alive_at_close = false;
    connect(window->serial_port, &QIODevice::aboutToClose, this, [&] {
        form_alive_at_close = window->findChild<QLabel *>(QStringLiteral("l_p2p_devtype")) != nullptr;
    });
    delete window;
    QVERIFY(form_alive_at_close);
}

void MainWindowTest::window_icon_from_the_installation_or_our_own()
{
    QColor ours;
    {
        ModalAnswerer answerer;
        TVC window(PortFinder::from_list({}));
        QVERIFY(!window.windowIcon().isNull());
        ours = window.windowIcon().pixmap(64).toImage().pixelColor(32, 32);
    }

    // The form names the icon of a Windows installation. That path is relative
    // here, so an installation can be laid out below a scratch folder.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString installed = dir.filePath("C:/Program Files (x86)/TESSARY/TAVERO Configurator/TessaryLogo.ico");
    QVERIFY(QDir().mkpath(QFileInfo(installed).path()));
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(installed, "ICO"));

    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QColor shown;
    {
        ModalAnswerer answerer;
        TVC window(PortFinder::from_list({}));
        shown = window.windowIcon().pixmap(32).toImage().pixelColor(16, 16);
    }
    QDir::setCurrent(previous);
    QCOMPARE(shown, QColor(Qt::red));
    QVERIFY(ours != QColor(Qt::red));
}

void MainWindowTest::command_line_help_and_version()
{
    QProcess tvc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    tvc.setProcessEnvironment(env);

    tvc.start(QStringLiteral(TVC_BINARY), {QStringLiteral("--version")});
    QVERIFY(tvc.waitForFinished(30000));
    QCOMPARE(tvc.exitCode(), 0);
    QCOMPARE(tvc.readAllStandardOutput().trimmed(), QByteArray("Tavero Companion 1.5.0.0"));

    tvc.start(QStringLiteral(TVC_BINARY), {QStringLiteral("--help")});
    QVERIFY(tvc.waitForFinished(30000));
    QCOMPARE(tvc.exitCode(), 0);
    const QByteArray help = tvc.readAllStandardOutput();
    QVERIFY(help.contains("--port <NAME>"));
    QVERIFY(help.contains("--version"));
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
