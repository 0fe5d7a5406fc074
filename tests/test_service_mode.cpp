// The About menu: the access codes of the service mode, the user guide, the
// about box and the registration page, with a simulated master on the other
// end of the link.

#include "constants.h"
#include "frame.h"
#include "modal_answerer.h"
#include "test_support.h"
#include "tvc.h"
#include "user_guide.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

QStringList visible_entries(QMenu *menu)
{
    QStringList texts;
    const auto actions = menu->actions();
    for (QAction *action : actions) {
        if (action->isVisible())
            texts.append(action->isSeparator() ? QStringLiteral("|") : action->text());
    }
    return texts;
}

// The dialogs and boxes of this menu are all shown while the call that opens
// them waits; what the test sees of them is kept here.
struct ModalView
{
    QString kind;
    QString title;
    QString text;
    bool password_echo = false;
    QString initial_text;
    QWidget *parent = nullptr;
    QMessageBox::StandardButtons buttons;
    int icon = 0;
};

void watch_modals(ModalAnswerer &answerer, QList<ModalView> &views)
{
    answerer.set_inspector([&views](const ModalAnswerer::Seen &seen) {
        ModalView view;
        view.kind = seen.kind;
        view.title = seen.title;
        view.text = seen.text;
        view.icon = seen.icon;
        QWidget *modal = QApplication::activeModalWidget();
        view.parent = modal->parentWidget();
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            view.password_echo = input->textEchoMode() == QLineEdit::Password;
            view.initial_text = input->textValue();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            view.buttons = box->standardButtons();
        }
        views.append(view);
    });
}

// Catches what the program asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class ServiceModeTest : public QObject
{
    Q_OBJECT

private slots:
    void access_codes_change_the_level_and_the_channel_choice();
    void info_box_and_registration_page();
    void user_guide_opens_where_it_is_found();
};

void ServiceModeTest::access_codes_change_the_level_and_the_channel_choice()
{
    sim::DeviceOptions options;
    options.role = sim::Role::Master;
    options.txu = false;
    options.channel = 44;
    auto device = start_device(options);
    ModalAnswerer answerer;
    TVC window(one_bridge(device->slavePath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto *chanlist = child<QComboBox>(&window, "chanlist");
    auto *heron = child<QAction>(&window, "actionHeron_Temperature");
    auto *sniffer = child<QAction>(&window, "actionSniffer");
    auto *ports = child<QComboBox>(&window, "comportslist");
    auto *ports_label = child<QLabel>(&window, "serialport_label");
    auto *refresh = child<QPushButton>(&window, "refresh_button");
    auto *options_menu = child<QMenu>(&window, "menuRefresh");

    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("44"));
    QCOMPARE(items(chanlist), QStringList({"36", "40", "44", "48"}));
    QCOMPARE(window.service_level, quint8(0));
    QCOMPARE(visible_entries(options_menu),
             QStringList({"Refresh", "Device Version", "Firmware Update", "Signal History", "All Devices", "Show Log",
                          "Show Settings", "|"}));
    QVERIFY(!ports->isVisible());
    QVERIFY(!ports_label->isVisible());

    QList<ModalView> views;
    watch_modals(answerer, views);
    // Level and channel choice in one line, for short comparisons.
    auto state = [&] {
        return QStringLiteral("%1: %2").arg(window.service_level).arg(items(chanlist).join(' '));
    };
    const QString level_0 = QStringLiteral("0: 36 40 44 48");

    // Cancelled, and confirmed empty: nothing happens.
    answerer.queue_cancel();
    child<QAction>(&window, "actionService_Mode")->trigger();
    QCOMPARE(views.size(), 1);
    QCOMPARE(views[0].kind, QStringLiteral("QInputDialog"));
    QCOMPARE(views[0].title, QStringLiteral("Service Mode Enable"));
    QCOMPARE(views[0].text, QStringLiteral("Enter Service Code"));
    QVERIFY(views[0].password_echo);
    QVERIFY(views[0].initial_text.isEmpty());
    QCOMPARE(views[0].parent, &window);
    QCOMPARE(state(), level_0);

    enter_service_code(window, answerer, QString());
    QCOMPARE(views.size(), 2);
    QCOMPARE(state(), level_0);

    // Codes that are almost right are refused without a word; the capitals too.
    for (const QString &code : {QStringLiteral("TAVEROX5190"), QStringLiteral("Taverox042"),
                                QStringLiteral("taverox042 "), QStringLiteral("taverox51900"),
                                QStringLiteral("taverox")}) {
        views.clear();
        enter_service_code(window, answerer, code);
        QCOMPARE(views.size(), 1);
        QVERIFY2(!heron->isVisible() && !sniffer->isVisible() && ports->isHidden(), qPrintable(code));
        QCOMPARE(state(), level_0);
    }

    // The one near miss gets a hint.
    views.clear();
    enter_service_code(window, answerer, QStringLiteral("tavero042"));
    QCOMPARE(views.size(), 2);
    QCOMPARE(views[1].kind, QStringLiteral("QMessageBox"));
    QCOMPARE(views[1].title, QStringLiteral("Almost..."));
    QCOMPARE(views[1].text, QStringLiteral("Forgot the 'x'?"));
    QCOMPARE(views[1].icon, int(QMessageBox::Information));
    QCOMPARE(views[1].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(views[1].parent, &window);
    QCOMPARE(state(), level_0);

    // Level 1: the longer channel list at once, the current channel kept,
    // nothing hidden revealed.
    views.clear();
    enter_service_code(window, answerer, QStringLiteral("taverox042"));
    QCOMPARE(views.size(), 1);
    QCOMPARE(window.service_level, quint8(1));
    QCOMPARE(items(chanlist), CHANNELS_SERVICE_1);
    QCOMPARE(chanlist->count(), 19);
    QCOMPARE(chanlist->currentText(), QStringLiteral("44"));
    QVERIFY(!heron->isVisible());
    QVERIFY(!sniffer->isVisible());
    QVERIFY(ports->isHidden());
    QVERIFY(ports_label->isHidden());

    // The device moves to 140; level 2 keeps it current in the full list.
    device->setChannel(140);
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("140"));
    views.clear();
    enter_service_code(window, answerer, QStringLiteral("taverox5190"));
    QCOMPARE(views.size(), 1);
    QCOMPARE(window.service_level, quint8(2));
    QCOMPARE(items(chanlist), CHANNELS_SERVICE_2);
    QCOMPARE(chanlist->count(), 24);
    QCOMPARE(chanlist->itemText(23), QStringLiteral("165"));
    QCOMPARE(chanlist->currentText(), QStringLiteral("140"));
    QCOMPARE(visible_entries(options_menu),
             QStringList({"Refresh", "Device Version", "Firmware Update", "Signal History", "All Devices", "Show Log",
                          "Show Settings", "|",
                          "Heron Temperature", "Sniffer"}));
    QVERIFY(ports->isVisible());
    QVERIFY(ports_label->isVisible());
    // The selector sits above the refresh button, its label beside it.
    QTRY_VERIFY(ports->geometry().bottom() < refresh->geometry().top());
    QVERIFY(ports_label->geometry().right() < ports->geometry().left());

    // Back to level 1 with 44 current: the 19 channels again, 44 kept, and the
    // revealed entries stay.
    device->setChannel(44);
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("44"));
    enter_service_code(window, answerer, QStringLiteral("taverox042"));
    QCOMPARE(window.service_level, quint8(1));
    QCOMPARE(items(chanlist), CHANNELS_SERVICE_1);
    QCOMPARE(chanlist->currentText(), QStringLiteral("44"));
    QVERIFY(heron->isVisible());
    QVERIFY(sniffer->isVisible());
    QVERIFY(ports->isVisible());
    QVERIFY(ports_label->isVisible());

    // A channel that the shorter list lacks: the device reports 165, it is
    // added; switching again drops it and the first channel is shown.
    device->setChannel(165);
    QTRY_COMPARE(chanlist->currentText(), QStringLiteral("165"));
    QCOMPARE(chanlist->count(), 20);
    enter_service_code(window, answerer, QStringLiteral("taverox042"));
    QCOMPARE(items(chanlist), CHANNELS_SERVICE_1);
    QCOMPARE(chanlist->currentText(), QStringLiteral("36"));

    // After all these switches the user's choice still goes out, once.
    QTest::keyClick(chanlist, Qt::Key_Down);
    QCOMPARE(chanlist->currentText(), QStringLiteral("40"));
    QTRY_COMPARE(received_with_code(*device, CMD_SET_CHANNEL).size(), 1);
    QCOMPARE(int(quint8(received_with_code(*device, CMD_SET_CHANNEL).first().at(8))), 40);

    // Nothing else went to the device: after the status request and the
    // master's follow-up came that choice, and then this temperature request.
    window.request_temperature();
    QTRY_VERIFY(!received_with_code(*device, CMD_TEMPERATURE).isEmpty());
    QCOMPARE(codes_received(*device), QList<int>({CMD_STATUS, CMD_MASTER_INFO, CMD_SET_CHANNEL, CMD_TEMPERATURE}));
    QCOMPARE(device->malformedCount(), 0);
}

void ServiceModeTest::info_box_and_registration_page()
{
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list({}));
    QCOMPARE(answerer.titles(), QStringList({"Welcome"}));
    answerer.clear();
    QList<ModalView> views;
    watch_modals(answerer, views);

    child<QAction>(&window, "actionVersion")->trigger();
    QCOMPARE(views.size(), 1);
    QCOMPARE(views[0].kind, QStringLiteral("QMessageBox"));
    QCOMPARE(views[0].title, QStringLiteral("Version"));
    QCOMPARE(views[0].text, QStringLiteral("<b>Tavero Companion</b> 1.5.0.0"));
    QCOMPARE(views[0].icon, int(QMessageBox::Information));
    QCOMPARE(views[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(views[0].parent, &window);

    // The registration page goes to the desktop's browser; nothing is shown.
    UrlCatcher https;
    UrlCatcher http;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &https, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &http, "open");
    views.clear();
    child<QAction>(&window, "actionRegister")->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

    QCOMPARE(https.urls.size(), 1);
    QCOMPARE(http.urls.size(), 0);
    const QUrl url = https.urls.first();
    QVERIFY2(url.isValid(), qPrintable(url.errorString()));
    QCOMPARE(url.scheme(), QStringLiteral("https"));
    QVERIFY(!url.host().isEmpty());
    QVERIFY(!url.isRelative());
    QCOMPARE(views.size(), 0);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    const auto top_levels = QApplication::topLevelWidgets();
    for (QWidget *w : top_levels)
        QVERIFY2(!(qobject_cast<QMessageBox *>(w) && w->isVisible()), qPrintable(w->windowTitle()));
}

void ServiceModeTest::user_guide_opens_where_it_is_found()
{
    ModalAnswerer answerer;
    TVC window(PortFinder::from_list({}));
    answerer.clear();
    QList<ModalView> views;
    watch_modals(answerer, views);
    UrlCatcher files;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &files, "open");

    // Run from the build folder, About → User Guide opens the copy the build
    // made (build/docs/ beside build/tests/) in the desktop's viewer.
    child<QAction>(&window, "actionUser_Guide")->trigger();
    QCOMPARE(views.size(), 0);
    QCOMPARE(files.urls.size(), 1);
    QVERIFY(files.urls.first().isLocalFile());
    const QFileInfo opened(files.urls.first().toLocalFile());
    QVERIFY2(opened.isFile(), qPrintable(opened.filePath()));
    QVERIFY(opened.fileName().startsWith(QStringLiteral("user-guide.")));
    QCOMPARE(opened.dir().canonicalPath(), QDir(QCoreApplication::applicationDirPath() + "/../docs").canonicalPath());

    // An installed guide comes before a build folder's, HTML before Markdown.
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir top(root.path());
    QVERIFY(top.mkpath("bin") && top.mkpath("share/doc/tavero-companion") && top.mkpath("docs"));
    const auto touch = [&top](const QString &name) {
        QFile file(top.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write("guide") == 5;
    };
    const QString bin = top.filePath("bin");
    QVERIFY(touch("docs/user-guide.md"));
    QCOMPARE(find_user_guide(bin), top.filePath("docs/user-guide.md"));
    QVERIFY(touch("docs/user-guide.html"));
    QCOMPARE(find_user_guide(bin), top.filePath("docs/user-guide.html"));
    QVERIFY(touch("share/doc/tavero-companion/user-guide.md"));
    QCOMPARE(find_user_guide(bin), top.filePath("share/doc/tavero-companion/user-guide.md"));
    // A folder of that name is no guide.
    QVERIFY(top.mkpath("share/doc/tavero-companion/user-guide.html"));
    QCOMPARE(find_user_guide(bin), top.filePath("share/doc/tavero-companion/user-guide.md"));

    // No guide anywhere: a box says so, and where the package puts it;
    // nothing goes to the desktop. (Where the package is installed on this
    // machine, its guide is found instead.)
    QTemporaryDir nowhere;
    QVERIFY(QDir(nowhere.path()).mkpath("bin"));
    const QString package_guide = QStringLiteral("/usr/share/doc/tavero-companion/user-guide.html");
    if (!QFileInfo::exists(package_guide)) {
        open_user_guide(&window, QDir(nowhere.path()).filePath("bin"));
        QCOMPARE(views.size(), 1);
        QCOMPARE(views[0].title, QStringLiteral("User Guide"));
        QVERIFY2(views[0].text.contains(package_guide), qPrintable(views[0].text));
        QCOMPARE(views[0].parent, &window);
        QCOMPARE(files.urls.size(), 1);
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

QTEST_MAIN(ServiceModeTest)
#include "test_service_mode.moc"
