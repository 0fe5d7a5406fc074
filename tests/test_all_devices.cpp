// The overview of all devices against four simulated devices, each in a role
// of its own, and a port that another program holds: what the rows show, live;
// a device pulled out and plugged in again; choosing the main window's device
// in each of the three ways; signal reports for all; and what a screen reader
// gets from the table.

#include "all_devices.h"
#include "constants.h"
#include "device_list_model.h"
#include "device_session.h"
#include "device_roster.h"
#include "frame.h"
#include "language.h"
#include "options.h"
#include "port_finder.h"
#include "report_log.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QtTest>

#include <vector>

namespace {

enum { MASTER, TXU_CLIENT, RXU_CLIENT, REPEATER, DEVICES };

// The four devices, each on a stable symlink that follows it through a
// replug, as a udev rule gives a real one.
sim::DeviceOptions device_options(int which, const QString &link)
{
    sim::DeviceOptions options;
    options.symlinkPath = link;
    options.reportPeriodMs = 10;
    switch (which) {
    case MASTER:
        options.role = sim::Role::Master;
        options.channel = 44;
        break;
    case TXU_CLIENT:
        options.slot = 2;
        options.muted = true;
        options.phantom = true;
        break;
    case RXU_CLIENT:
        options.txu = false;
        options.repeaterMode = true;
        options.slot = 5;  // slot 3 in repeater mode
        options.linkState = 1;
        break;
    case REPEATER:
        options.role = sim::Role::Repeater;
        options.txu = false;
        break;
    }
    return options;
}

// The main window over four devices and a busy port, the overview open.
struct Fleet
{
    enum Finder { Bridges, CommandLine };

    // `open_overview`: All Devices opens at once, and with it every device.
    explicit Fleet(Finder how = Bridges, bool open_overview = true)
    {
        for (int i = 0; i < DEVICES; ++i)
            devices.push_back(start_device(device_options(i, path(i))));
        // The busy port holds a lock file of this very process.
        QFile lock(locks.filePath(QStringLiteral("LCK..") + QString(path(DEVICES)).replace('/', '_')));
        if (!lock.open(QIODevice::WriteOnly) || lock.write(QByteArray::number(QCoreApplication::applicationPid()) + "\n") <= 0)
            qFatal("cannot write the lock file");
        lock.close();
        window = std::make_unique<TVC>(how == Bridges ? bridges() : named_on_command_line());
        if (!open_overview)
            return;
        child<QAction>(window.get(), "actionAll_Devices")->trigger();
        overview = window->findChild<AllDevices *>();
        model = overview->model();
        table = child<QTableView>(overview, "device_table");
    }

    QString path(int i) const { return links.filePath(QStringLiteral("ttyUSB%1").arg(i)); }
    // The serial number of a device's USB bridge.
    static QString serial(int i) { return QStringLiteral("TV00%1").arg(i); }

    // The system's view: a bridge for each device plugged in, in the
    // symlinks' folder, and the busy port with whoever its lock names.
    PortFinder bridges() const
    {
        return PortFinder::from_list(
            [this] {
                QList<SerialPortEntry> ports;
                for (int i = 0; i < DEVICES; ++i) {
                    if (QFileInfo::exists(path(i)))
                        ports.append({path(i), QStringLiteral("Silicon Labs"), false, QString(), false, serial(i)});
                }
                const QString holder = port_lock_holder(path(DEVICES), {locks.path()});
                ports.append({path(DEVICES), QStringLiteral("Silicon Labs"), !holder.isEmpty(), holder});
                return ports;
            },
            {links.path()});
    }

    // tvc --port A --port B ..., the devices in reverse order.
    PortFinder named_on_command_line() const
    {
        QStringList arguments = {QStringLiteral("tvc")};
        for (int i = DEVICES - 1; i >= 0; --i)
            arguments << QStringLiteral("--port") << path(i);
        QCommandLineParser parser;
        add_options(parser);
        if (!parser.parse(arguments))
            qFatal("%s", qPrintable(parser.errorText()));
        return port_finder_for(read_options(parser));
    }

    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < model->rowCount(); ++row)
            cells << model->index(row, column).data().toString();
        return cells;
    }
    QString cell(int row, int column) const { return model->index(row, column).data().toString(); }
    // Listed in the colour of disabled text.
    bool greyed(int row) const
    {
        return model->index(row, DeviceListModel::Device).data(Qt::ForegroundRole).value<QBrush>().color()
            == QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
    }
    QString shown_device() const
    {
        return QTextDocumentFragment::fromHtml(child<QLabel>(window.get(), "l_p2p_devtype")->text())
            .toPlainText()
            .trimmed();
    }
    void forget_received()
    {
        for (auto &device : devices)
            device->clearReceived();
    }
    // Which devices received a request with one of `codes`.
    QList<int> receivers(std::initializer_list<quint8> codes) const
    {
        QList<int> who;
        for (int i = 0; i < DEVICES; ++i) {
            for (quint8 code : codes) {
                if (!received_with_code(*devices[size_t(i)], code).isEmpty() && !who.contains(i))
                    who << i;
            }
        }
        return who;
    }

    QTemporaryDir links;
    QTemporaryDir locks;
    ModalAnswerer answerer;
    std::vector<std::unique_ptr<sim::Device>> devices;
    std::unique_ptr<TVC> window;
    AllDevices *overview = nullptr;
    DeviceListModel *model = nullptr;
    QTableView *table = nullptr;
};

const QStringList ROLES = {QStringLiteral("Master"), QStringLiteral("TXU Client (Slot 2)"),
                           QStringLiteral("RXU Client (Slot 3)"), QStringLiteral("Repeater")};

} // namespace

class AllDevicesTest : public QObject
{
    Q_OBJECT

private slots:
    // The program's English: its counts in the singular and the plural.
    void initTestCase() { QVERIFY(install_translations(*qApp, QString())); }
    void every_device_in_a_row_live_and_a_pulled_one_greyed();
    void a_chosen_row_becomes_the_main_windows_device();
    void the_window_names_its_device_and_offers_the_others_once_it_goes();
    void signal_strength_for_all_asks_whom_the_window_lets_tick();
    void ports_named_on_the_command_line_are_all_listed();
    void a_device_named_by_a_link_and_its_path_is_one_row();
    void a_port_taken_by_another_program_is_listed_once();
    void columns_give_way_at_any_width();
    void updating_one_device_leaves_the_others_reporting();
};

void AllDevicesTest::every_device_in_a_row_live_and_a_pulled_one_greyed()
{
    Fleet f;
    QTRY_COMPARE(f.column(DeviceListModel::Device).mid(0, DEVICES), ROLES);
    const QString busy = f.cell(DEVICES, DeviceListModel::Device);
    QVERIFY2(busy.startsWith(QStringLiteral("busy: in use by ")), qPrintable(busy));
    QVERIFY2(busy.contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())), qPrintable(busy));
    QCOMPARE(f.column(DeviceListModel::Port), QStringList({f.path(0), f.path(1), f.path(2), f.path(3), f.path(4)}));
    QCOMPARE(f.column(DeviceListModel::Link), QStringList({"linked", "linked", "no link", "linked", ""}));
    QCOMPARE(f.column(DeviceListModel::Mute), QStringList({"not muted", "muted", "", "", ""}));
    QCOMPARE(f.column(DeviceListModel::Phantom), QStringList({"off", "on", "", "", ""}));
    QTRY_COMPARE(f.column(DeviceListModel::Channel), QStringList({"44", "", "", "", ""}));
    QTRY_COMPARE(child<QLabel>(f.overview, "summary_label")->text(),
             QStringLiteral("4 linked, 1 in use by another program, 0 not connected."));

    // What a screen reader gets through the table: every cell names its device.
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(f.table);
    QAccessibleTableInterface *cells = table->tableInterface();
    QVERIFY(cells);
    QCOMPARE(cells->rowCount(), DEVICES + 1);
    QCOMPARE(cells->columnCount(), int(DeviceListModel::ColumnCount));
    const auto spoken = [cells](int row, int column) { return cells->cellAt(row, column)->text(QAccessible::Name); };
    QCOMPARE(spoken(RXU_CLIENT, DeviceListModel::Link), f.path(2) + ", RXU Client (Slot 3): Link no link");
    QCOMPARE(spoken(TXU_CLIENT, DeviceListModel::Phantom), f.path(1) + ", TXU Client (Slot 2): +48V on");
    QCOMPARE(spoken(MASTER, DeviceListModel::Channel), f.path(0) + ", Master: RF Channel 44");
    QCOMPARE(spoken(REPEATER, DeviceListModel::Mute), f.path(3) + ", Repeater: Mute none");
    QCOMPARE(spoken(DEVICES, DeviceListModel::Device), f.path(4) + ", " + busy);
    QCOMPARE(cells->columnDescription(DeviceListModel::FromRepeater), QStringLiteral("From Repeater"));

    // The rows follow what the devices report on their own.
    f.devices[RXU_CLIENT]->setLinkState(2);
    f.devices[TXU_CLIENT]->setMuted(false);
    QTRY_COMPARE(f.cell(RXU_CLIENT, DeviceListModel::Link), QStringLiteral("linked"));
    QTRY_COMPARE(f.cell(TXU_CLIENT, DeviceListModel::Mute), QStringLiteral("not muted"));
    QCOMPARE(spoken(RXU_CLIENT, DeviceListModel::Link), f.path(2) + ", RXU Client (Slot 3): Link linked");

    // Pulled out: listed greyed as unplugged, and so read.
    f.devices[REPEATER]->hangUp();
    QTRY_COMPARE(f.cell(REPEATER, DeviceListModel::Device), QStringLiteral("unplugged"));
    QVERIFY(f.greyed(REPEATER));
    QVERIFY(f.greyed(DEVICES));
    QVERIFY(!f.greyed(MASTER));
    QCOMPARE(f.cell(REPEATER, DeviceListModel::Link), QString());
    QCOMPARE(spoken(REPEATER, DeviceListModel::Link), f.path(3) + ", unplugged: Link none");
    QTRY_COMPARE(child<QLabel>(f.overview, "summary_label")->text(),
             QStringLiteral("3 linked, 1 in use by another program, 1 not connected."));

    // Plugged in again, on a new terminal behind the same symlink: linked
    // again on its own, in its old row.
    f.devices[REPEATER]->start();
    QTRY_COMPARE(f.cell(REPEATER, DeviceListModel::Device), QStringLiteral("Repeater"));
    QVERIFY(!f.greyed(REPEATER));
    QCOMPARE(f.model->rowCount(), DEVICES + 1);
    QTRY_COMPARE(child<QLabel>(f.overview, "summary_label")->text(),
             QStringLiteral("4 linked, 1 in use by another program, 0 not connected."));
}

void AllDevicesTest::a_chosen_row_becomes_the_main_windows_device()
{
    Fleet f;
    f.overview->show();
    QTRY_COMPARE(f.column(DeviceListModel::Device).mid(0, DEVICES), ROLES);
    QTRY_COMPARE(f.shown_device(), QStringLiteral("Master"));
    auto *show_button = child<QPushButton>(f.overview, "show_button");
    // The main window's own device cannot be chosen again, nor a busy port.
    f.table->setCurrentIndex(f.model->index(MASTER, 0));
    QVERIFY(!show_button->isEnabled());
    f.table->setCurrentIndex(f.model->index(DEVICES, 0));
    QVERIFY(!show_button->isEnabled());

    // Enter: the TXU client, whose mute then goes to it alone.
    f.table->setCurrentIndex(f.model->index(TXU_CLIENT, DeviceListModel::Gain));
    QVERIFY(show_button->isEnabled());
    QTest::keyClick(f.table, Qt::Key_Return);
    QCOMPARE(f.shown_device(), ROLES.at(TXU_CLIENT));
    QVERIFY(!show_button->isEnabled());
    f.forget_received();
    child<QAbstractButton>(f.window.get(), "mute_button")->click();
    QTRY_COMPARE(f.receivers({CMD_UNMUTE}), QList<int>({TXU_CLIENT}));
    QTRY_COMPARE(f.cell(TXU_CLIENT, DeviceListModel::Mute), QStringLiteral("not muted"));
    QCOMPARE(f.receivers({CMD_MUTE}), QList<int>());

    // A double click: the repeater, whose signal reports are switched on
    // for it alone.
    f.table->scrollTo(f.model->index(REPEATER, DeviceListModel::Link));
    const QRect rect = f.table->visualRect(f.model->index(REPEATER, DeviceListModel::Link));
    // (A double click is a click, then the second press, which the system
    // reports as a double click.)
    QTest::mouseClick(f.table->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(f.shown_device(), ROLES.at(TXU_CLIENT));
    QTest::mouseDClick(f.table->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(f.shown_device(), ROLES.at(REPEATER));
    f.forget_received();
    child<QAbstractButton>(f.window.get(), "cbox_rssi")->click();
    QTRY_COMPARE(f.devices[REPEATER]->reportMode(), 1);
    QCOMPARE(f.receivers({CMD_REPORT_MODE}), QList<int>({REPEATER}));

    // The button: the master again, whose LINK and mute go to it alone.
    f.table->setCurrentIndex(f.model->index(MASTER, 0));
    show_button->click();
    QCOMPARE(f.shown_device(), ROLES.at(MASTER));
    f.forget_received();
    child<QAbstractButton>(f.window.get(), "mute_button")->click();
    child<QAbstractButton>(f.window.get(), "link_button")->click();
    QTRY_COMPARE(f.receivers({CMD_LINK}), QList<int>({MASTER}));
    QTRY_COMPARE(f.receivers({CMD_MUTE}), QList<int>({MASTER}));
    QCOMPARE(f.receivers({CMD_UNMUTE}), QList<int>());
    QTRY_COMPARE(f.cell(MASTER, DeviceListModel::Mute), QStringLiteral("muted"));

    // Refresh in the main window connects it to the first device again; the
    // device it showed before stays linked in the overview.
    f.table->setCurrentIndex(f.model->index(REPEATER, 0));
    show_button->click();
    QCOMPARE(f.shown_device(), ROLES.at(REPEATER));
    child<QAbstractButton>(f.window.get(), "refresh_button")->click();
    QTRY_COMPARE(f.shown_device(), ROLES.at(MASTER));
    QTRY_COMPARE(f.cell(REPEATER, DeviceListModel::Device), ROLES.at(REPEATER));

    // The keyboard reaches an unplugged device's row, and the busy port's,
    // but neither can be chosen.
    f.devices[RXU_CLIENT]->hangUp();
    QTRY_COMPARE(f.cell(RXU_CLIENT, DeviceListModel::Device), QStringLiteral("unplugged"));
    f.table->setCurrentIndex(f.model->index(TXU_CLIENT, 0));
    QTest::keyClick(f.table, Qt::Key_Down);
    QCOMPARE(f.table->currentIndex().row(), int(RXU_CLIENT));
    QVERIFY(!show_button->isEnabled());
    QTest::keyClick(f.table, Qt::Key_Return);
    QCOMPARE(f.shown_device(), ROLES.at(MASTER));
    QTest::keyClick(f.table, Qt::Key_Down);
    QTest::keyClick(f.table, Qt::Key_Down);
    QCOMPARE(f.table->currentIndex().row(), int(DEVICES));
    QTest::keyClick(f.table, Qt::Key_Return);
    QCOMPARE(f.shown_device(), ROLES.at(MASTER));
}

void AllDevicesTest::the_window_names_its_device_and_offers_the_others_once_it_goes()
{
    Fleet f(Fleet::Bridges, false);  // only the window's device linked
    auto *line = child<QLabel>(f.window.get(), "l_device_port");
    auto *choose = child<QPushButton>(f.window.get(), "choose_device_button");
    const auto where = [&f](int i) { return f.path(i) + QStringLiteral(", serial number ") + f.serial(i); };
    QTRY_COMPARE(f.shown_device(), ROLES.at(MASTER));
    QCOMPARE(line->text(), where(MASTER));
    QCOMPARE(line->accessibleName(), QStringLiteral("Master on ") + where(MASTER));
    QVERIFY(!choose->isVisibleTo(f.window.get()));

    // Its device pulled out while others are attached: the window says so and
    // where it was, and offers the others (by their ports, not linked yet).
    f.devices[MASTER]->hangUp();
    QTRY_COMPARE(child<QLabel>(f.window.get(), "l_p2p_devtype")->text(), unplugged_text());
    QCOMPARE(line->text(), where(MASTER));
    QVERIFY(choose->isVisibleTo(f.window.get()));
    emit choose->menu()->aboutToShow();
    QStringList offered;
    for (QAction *action : choose->menu()->actions())
        offered << action->text();
    QCOMPARE(offered, QStringList({where(TXU_CLIENT), where(RXU_CLIENT), where(REPEATER), QString(), "All Devices"}));
    choose->menu()->actions().at(0)->trigger();
    QTRY_COMPARE(f.shown_device(), ROLES.at(TXU_CLIENT));
    QCOMPARE(line->accessibleName(), ROLES.at(TXU_CLIENT) + QStringLiteral(" on ") + where(TXU_CLIENT));
    QVERIFY(!choose->isVisibleTo(f.window.get()));

    // With no device left at all, there is none.
    for (int i : {RXU_CLIENT, REPEATER, TXU_CLIENT})
        f.devices[size_t(i)]->hangUp();
    QTRY_COMPARE(f.shown_device(), QStringLiteral("No device found"));
    QCOMPARE(line->text(), QString());
    QVERIFY(!choose->isVisibleTo(f.window.get()));
}

void AllDevicesTest::signal_strength_for_all_asks_whom_the_window_lets_tick()
{
    // "Signal Strength for All" asks exactly the devices whose main window
    // lets Signal Strength be ticked (a user saw a master and a TXU asked
    // and listed with levels while their boxes were greyed): each device
    // shown in the window in turn, the RXU client without a link and with one.
    Fleet f;
    QTRY_COMPARE(f.column(DeviceListModel::Device).mid(0, DEVICES), ROLES);
    auto *box = child<QCheckBox>(f.window.get(), "cbox_rssi");
    auto *show_button = child<QPushButton>(f.overview, "show_button");
    const auto asked = [&f] {
        QString modes;
        for (const auto &device : f.devices)
            modes += QString::number(device->reportMode());
        return modes;
    };
    for (int link : {1, 2}) {
        f.devices[RXU_CLIENT]->setLinkState(link);
        QTRY_COMPARE(f.cell(RXU_CLIENT, DeviceListModel::Link), QString(link == 1 ? "no link" : "linked"));
        QString tickable;
        for (int i = 0; i < DEVICES; ++i) {
            f.table->setCurrentIndex(f.model->index(i, 0));
            if (show_button->isEnabled())
                show_button->click();
            tickable += box->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        }
        QCOMPARE(tickable, QString(link == 1 ? "0001" : "0011"));
        child<QPushButton>(f.overview, "reports_button")->click();
        QTRY_COMPARE(asked(), tickable);
    }
    // The rows agree: levels for those asked, the others' reports off.
    for (int row : {RXU_CLIENT, REPEATER}) {
        QTRY_VERIFY(f.model->index(row, DeviceListModel::FromTxu).data(Qt::DecorationRole).isValid());
        QVERIFY2(f.cell(row, DeviceListModel::FromTxu).contains(QStringLiteral(" dBm")),
                 qPrintable(f.cell(row, DeviceListModel::FromTxu)));
    }
    QCOMPARE(f.column(DeviceListModel::FromTxu).mid(0, 2), QStringList({"reports off", "reports off"}));

    // A hundred reports a second from each device asked; each row is told to
    // the view at most ten times a second.
    QVector<int> told(DEVICES + 1);
    connect(f.model, &QAbstractItemModel::dataChanged, this, [&told](const QModelIndex &from, const QModelIndex &to) {
        for (int row = from.row(); row <= to.row(); ++row)
            ++told[row];
    });
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(1500);
    const double tenths = double(clock.elapsed()) / DeviceListModel::REFRESH_MS;
    for (int row : {RXU_CLIENT, REPEATER}) {
        QVERIFY2(told[row] >= 3, qPrintable(QString::number(told[row])));
        QVERIFY2(told[row] <= tenths + 1, qPrintable(QStringLiteral("%1 in %2 tenths").arg(told[row]).arg(tenths)));
    }
}

void AllDevicesTest::ports_named_on_the_command_line_are_all_listed()
{
    // tvc --port .../ttyUSB3 --port .../ttyUSB2 ...: the window takes the
    // first named that is there, the overview lists them all in their order.
    Fleet f(Fleet::CommandLine);
    QTRY_COMPARE(f.shown_device(), ROLES.at(REPEATER));
    QTRY_COMPARE(f.column(DeviceListModel::Port), QStringList({f.path(3), f.path(2), f.path(1), f.path(0)}));
    QTRY_COMPARE(f.column(DeviceListModel::Device), QStringList({ROLES[3], ROLES[2], ROLES[1], ROLES[0]}));
    // One of them pulled out and plugged in again.
    f.devices[TXU_CLIENT]->hangUp();
    QTRY_COMPARE(f.cell(2, DeviceListModel::Device), QStringLiteral("unplugged"));
    f.devices[TXU_CLIENT]->start();
    QTRY_COMPARE(f.cell(2, DeviceListModel::Device), ROLES.at(TXU_CLIENT));
}

void AllDevicesTest::a_port_taken_by_another_program_is_listed_once()
{
    // A device seen once, then pulled out and plugged in again while another
    // program (a terminal) takes its port first: one row, busy, and its
    // history once in a save of every device's.
    const QString port = QStringLiteral("/nonexistent/ttyUSB7");
    QList<SerialPortEntry> ports = {{port, QStringLiteral("Silicon Labs")}};
    DeviceRoster roster(PortFinder::from_list([&] { return ports; }));
    roster.look();
    ports.clear();
    roster.look();
    ports = {{port, QStringLiteral("Silicon Labs"), true, QStringLiteral("minicom (process 42)")}};
    roster.look();
    QCOMPARE(roster.entries().size(), 1);
    AllDevices overview(&roster);
    DeviceListModel *model = overview.model();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, DeviceListModel::Device).data().toString(),
             QStringLiteral("busy: in use by minicom (process 42)"));
    QCOMPARE(child<QLabel>(&overview, "summary_label")->text(),
             QStringLiteral("0 linked, 1 in use by another program, 0 not connected."));
    // Free again: its row is the device's once more.
    ports = {{port, QStringLiteral("Silicon Labs")}};
    roster.look();
    QCOMPARE(roster.entries().size(), 1);
    QVERIFY(roster.entries().first().session);
}

void AllDevicesTest::a_device_named_by_a_link_and_its_path_is_one_row()
{
    // tvc --port LINK --port /dev/pts/N, LINK a symbolic link to that
    // terminal: a user saw a linked row and an unplugged one, both sessions
    // having opened the device. The first name stands for the port.
    QTemporaryDir links;
    sim::DeviceOptions options;
    options.symlinkPath = links.filePath(QStringLiteral("tavero"));
    ModalAnswerer answerer;
    auto device = start_device(options);
    const QStringList names = {options.symlinkPath, device->slavePath()};
    QCommandLineParser parser;
    add_options(parser);
    QVERIFY(parser.parse({"tvc", "--port", names.at(0), "--port", names.at(1)}));
    TVC window(port_finder_for(read_options(parser)));
    child<QAction>(&window, "actionAll_Devices")->trigger();
    DeviceListModel *model = window.findChild<AllDevices *>()->model();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, DeviceListModel::Port).data().toString(), names.at(0));
    QTRY_COMPARE(model->index(0, DeviceListModel::Device).data().toString(), QStringLiteral("TXU Client (Slot 1)"));
    QCOMPARE(codes_received(*device).count(CMD_STATUS), 1);

    // The bridge of a named port is known by the file it leads to.
    const PortScan scan = PortFinder::fixed(names, [&device] {
        return QList<SerialPortEntry>{{device->slavePath(), "Silicon Labs", false, QString(), false, "TV0042"}};
    }).scan();
    QCOMPARE(scan.serial_numbers, (QHash<QString, QString>{{names.at(0), "TV0042"}}));
}

void AllDevicesTest::columns_give_way_at_any_width()
{
    // Whatever its rows hold and its width, the table never scrolls sideways:
    // where its columns do not fit, those that give way are all as wide and
    // use the room, each text they shorten whole in its tooltip; given what it
    // needs, none gives way. Ports held by programs with names of any length,
    // and the widths, drawn from a seed.
    QRandomGenerator random(30);
    const auto word = [&random](int most) { return QString(1 + int(random.bounded(most)), QLatin1Char('m')); };
    for (int run = 0; run < 40; ++run) {
        QList<SerialPortEntry> ports;
        for (int i = 1 + int(random.bounded(6)); i > 0; --i)
            ports.append({QStringLiteral("/dev/") + word(40), QStringLiteral("Silicon Labs"), true, word(60)});
        DeviceRoster roster(PortFinder::from_list([&] { return ports; }));
        roster.look();
        AllDevices overview(&roster);
        overview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&overview));
        QCoreApplication::processEvents();  // the rows in view, which the columns are sized to
        const int needed = overview.needed_width(), least = overview.minimumSizeHint().width();
        const int width = run % 4 ? least + int(random.bounded(qMax(1, needed + 100 - least))) : qMax(least, needed);
        overview.resize(width, overview.height());
        QTRY_COMPARE(overview.width(), width);
        QCoreApplication::processEvents();
        auto *table = child<QTableView>(&overview, "device_table");
        const QAbstractItemModel *model = table->model();
        QHeaderView *header = table->horizontalHeader();
        QFont bold = header->font();
        bold.setBold(true);
        const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        QSet<int> shortened;
        for (int column = 0; column < header->count(); ++column) {
            const int size = header->sectionSize(column);
            const QString title = model->headerData(column, Qt::Horizontal).toString();
            bool whole = QFontMetrics(bold).size(0, title).width() + margins <= size;
            for (int row = 0; row < model->rowCount(); ++row)
                whole = whole && table->sizeHintForIndex(model->index(row, column)).width() <= size;
            if (!whole) {
                shortened << size;
                QCOMPARE(model->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString(), title);
                for (int row = 0; row < model->rowCount(); ++row)
                    QCOMPARE(model->index(row, column).data(Qt::ToolTipRole).toString(), model->index(row, column).data().toString());
            }
        }
        const int room = table->viewport()->width();
        QVERIFY2(!table->horizontalScrollBar()->isVisible() && header->length() <= room
                     && (width < needed ? shortened.size() == 1 && header->length() > room - 10 : shortened.isEmpty()),
                 qPrintable(QStringLiteral("run %1: %2 of %3 px").arg(run).arg(width).arg(needed)));
    }
}

QTEST_MAIN(AllDevicesTest)
#include "test_all_devices.moc"

void AllDevicesTest::updating_one_device_leaves_the_others_reporting()
{
    // An update of one device of four ended the program: the others' links
    // and every unsaved recording went with it.
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("package.zip"));
    QVERIFY(Package().write(dir, zip));

    Fleet f;
    f.overview->show();
    QTRY_COMPARE(f.column(DeviceListModel::Device).mid(0, DEVICES), ROLES);
    f.table->setCurrentIndex(f.model->index(TXU_CLIENT, 0));
    child<QPushButton>(f.overview, "show_button")->click();
    QCOMPARE(f.shown_device(), ROLES.at(TXU_CLIENT));
    child<QPushButton>(f.overview, "reports_button")->click();
    QTRY_VERIFY(f.cell(REPEATER, DeviceListModel::FromTxu).contains(QStringLiteral("dBm")));

    const QList<int> others = {MASTER, RXU_CLIENT, REPEATER};
    QMap<int, ReportLog *> logs;
    QMap<int, quint64> recorded;
    QMap<int, qint64> first;
    QList<int> reporting;
    for (int i : others) {
        if (f.cell(i, DeviceListModel::FromTxu).contains(QStringLiteral("dBm")))
            reporting << i;
        logs[i] = f.model->entry(i).session->history();
        recorded[i] = logs[i]->size();
        first[i] = logs[i]->first_ms();
    }

    // The device confirms the update, then restarts with its new firmware
    // and comes back on its port.
    sim::Device &updated = *f.devices[TXU_CLIENT];
    QObject context;
    connect(&updated, &sim::Device::frameReceived, &context, [&](const QByteArray &frame) {
        if (quint8(frame.at(7)) == CMD_FW_FINISH)
            updated.options().wlanVersion = 1660;
    });
    const FirmwareDialogRun run = run_firmware_dialog(*f.window, [&](QDialog *dialog) {
        QVERIFY2(child<QLabel>(dialog, "target_device")->text().contains(QStringLiteral("TXU Client (Slot 2) on ")),
                 qPrintable(child<QLabel>(dialog, "target_device")->text()));
        pick(dialog, f.answerer, zip);
        start(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(f.answerer.titles().contains(QStringLiteral("Firmware Update")), 20000);
        updated.replug(300);
        QTRY_VERIFY(child<QLabel>(dialog, "cur_module")->text().contains(QStringLiteral("restarting")));
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QCOMPARE(updated.receivedImage(UNIT_WLAN), Package().wlan);

    // The updated device is linked again, with its new versions; the others
    // went on reporting into the histories they had.
    QTRY_VERIFY_WITH_TIMEOUT(f.cell(TXU_CLIENT, DeviceListModel::Device).contains(QStringLiteral("WLAN 1660")), 10000);
    QVERIFY(!reporting.isEmpty());
    for (int i : others) {
        QVERIFY(f.model->entry(i).session->is_open());
        QCOMPARE(f.model->entry(i).session->history(), logs[i]);
        QVERIFY(logs[i]->size() >= recorded[i]);
        if (reporting.contains(i)) {
            const quint64 now = logs[i]->size();
            QVERIFY(now > recorded[i]);
            QTRY_VERIFY(logs[i]->size() > now);
        }
        QCOMPARE(logs[i]->first_ms(), first[i]);
        QCOMPARE(logs[i]->dropped(), quint64(0));
        QCOMPARE(f.cell(i, DeviceListModel::Device), ROLES.at(i));
    }
}
