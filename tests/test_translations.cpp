// The program's languages: under a made-up language that is a third longer,
// every text a user reads in the window, its dialogs and the Signal History is
// translated and none is clipped (nor in each real language); German reaches
// the firmware dialog and tvc-update; the language follows the desktop's variables.

#include "all_devices.h"
#include "language.h"
#include "number_text.h"
#include "modal_answerer.h"
#include "pseudo_translator.h"
#include "test_support.h"
#include "tvc.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionProgressBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// Words that are the same in every language: the device's names and units.
const QStringList NAMES = {"TXU", "RXU", "LINK", "MUTE", "WLAN", "DSP", "dBm", "RSSI", "Tavero", "Companion",
                           "V", "Hi", "Z", "KB", "MB", "kB", "s", "h", "min"};

// Text outside the made-up language's brackets that is a word of English.
QStringList unmarked_words(QString text)
{
    // Innermost first: a translated text may hold others.
    const QRegularExpression marked(QStringLiteral("\u27E6[^\u27E6\u27E7]*\u27E7"));
    while (text.contains(marked))
        text.remove(marked);
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>|&[a-z]+;")));
    // Paths and port names are the system's, not the program's.
    text.remove(QRegularExpression(QStringLiteral("\\S*/\\S*|\\btty\\w*|\\bpts\\b")));
    QStringList words;
    const auto found = QRegularExpression(QStringLiteral("[A-Za-z]+")).globalMatch(text);
    for (auto it = found; it.hasNext();) {
        const QString word = it.next().captured();
        if (!NAMES.contains(word))
            words << word;
    }
    return words;
}

struct Finding
{
    QStringList unmarked;
    QStringList clipped;
};

void check_text(Finding &f, const QString &where, const QString &text)
{
    if (!unmarked_words(text).isEmpty())
        f.unmarked << where + QStringLiteral(": ") + text;
}

bool translated(const QWidget *w)
{
    QString text;
    if (auto *label = qobject_cast<const QLabel *>(w))
        text = label->text();
    else if (auto *button = qobject_cast<const QAbstractButton *>(w))
        text = button->text();
    else if (auto *box = qobject_cast<const QGroupBox *>(w))
        text = box->title();
    else if (auto *combo = qobject_cast<const QComboBox *>(w))
        text = combo->currentText();
    return text.contains(PseudoTranslator::OPEN);
}

QString where(const QWidget *w)
{
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
}

// Every visible widget under `root`: its texts are translated and fit.
void walk(Finding &f, QWidget *root)
{
    // Layouts take their texts' sizes first; a window that grows for them
    // hears of its new size from the platform a turn later (Qt 6).
    for (int turn = 0; turn < 3; ++turn)
        QCoreApplication::processEvents();
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    check_text(f, where(root) + QStringLiteral(" title"), root->windowTitle());
    for (QWidget *w : widgets) {
        if (!w->isVisibleTo(root) && w != root)
            continue;
        const QString at = where(w);
        check_text(f, at + QStringLiteral(" tooltip"), w->toolTip());
        check_text(f, at + QStringLiteral(" name"), w->accessibleName());
        check_text(f, at + QStringLiteral(" description"), w->accessibleDescription());
        check_text(f, at + QStringLiteral(" what's this"), w->whatsThis());
        // A text in the made-up language must fit; the others are the same
        // in every language.
        const auto too_small = [&](const QSize &wanted) {
            if (!translated(w))
                return;
            if (wanted.width() > w->width() || wanted.height() > w->height())
                f.clipped << QStringLiteral("%1: needs %2x%3, has %4x%5")
                                 .arg(at)
                                 .arg(wanted.width())
                                 .arg(wanted.height())
                                 .arg(w->width())
                                 .arg(w->height());
        };
        if (auto *label = qobject_cast<QLabel *>(w)) {
            check_text(f, at, label->text());
            if (label->text().isEmpty())
                continue;
            if (label->wordWrap())
                too_small(QSize(label->width(), label->heightForWidth(label->width())));
            else
                too_small(label->minimumSizeHint());
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            check_text(f, at, button->text());
            if (!button->text().isEmpty())
                too_small(button->sizeHint());
        } else if (auto *box = qobject_cast<QGroupBox *>(w)) {
            check_text(f, at, box->title());
            too_small(box->minimumSizeHint());
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                check_text(f, at + QStringLiteral(" item"), combo->itemText(i));
            too_small(combo->minimumSizeHint());
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            check_text(f, at + QStringLiteral(" placeholder"), edit->placeholderText());
        } else if (auto *bar = qobject_cast<QProgressBar *>(w)) {
            if (bar->isTextVisible())
                check_text(f, at, bar->text());
        } else if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                check_text(f, at + QStringLiteral(" tab"), tabs->tabText(i));
                const int needed = tabs->fontMetrics().horizontalAdvance(tabs->tabText(i))
                    + tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
                if (needed > tabs->tabRect(i).width())
                    f.clipped << at + QStringLiteral(" tab ") + tabs->tabText(i);
            }
        } else if (auto *header = qobject_cast<QHeaderView *>(w)) {
            const Qt::Orientation side = header->orientation();
            for (int i = 0; i < header->count(); ++i) {
                const QString title = header->model()->headerData(i, side).toString();
                check_text(f, at + QStringLiteral(" section"), title);
                // What the header sizes the section from is what it needs to
                // show the title unelided; a shortened one gives it whole in
                // its tooltip.
                const int needed = header->fontMetrics().horizontalAdvance(title)
                    + 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
                if (side == Qt::Horizontal && !header->isSectionHidden(i) && needed > header->sectionSize(i)
                    && header->model()->headerData(i, side, Qt::ToolTipRole).toString() != title)
                    f.clipped << QStringLiteral("%1 section %2: needs %3, has %4")
                                     .arg(at, title)
                                     .arg(needed)
                                     .arg(header->sectionSize(i));
            }
        } else if (auto *table = qobject_cast<QTableView *>(w)) {
            const QAbstractItemModel *model = table->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                for (int column = 0; column < model->columnCount(); ++column) {
                    const QModelIndex index = model->index(row, column);
                    check_text(f, at + QStringLiteral(" cell"), index.data().toString());
                    check_text(f, at + QStringLiteral(" spoken"), index.data(Qt::AccessibleTextRole).toString());
                    if (!table->isColumnHidden(column)
                        && table->sizeHintForIndex(index).width() > table->columnWidth(column)
                        && !index.data(Qt::ToolTipRole).toString().contains(index.data().toString()))
                        f.clipped << QStringLiteral("%1 column %2").arg(at).arg(column);
                }
            }
            // Nor is a column hidden behind a scroll bar.
            if (table->horizontalScrollBar()->isVisible() || table->horizontalHeader()->length() > table->viewport()->width())
                f.clipped << at + QStringLiteral(" scrolls sideways");
        }
    }
    for (QAction *action : root->findChildren<QAction *>()) {
        if (action->isSeparator())
            continue;
        check_text(f, QStringLiteral("action ") + action->objectName(), action->text());
        check_text(f, QStringLiteral("action tip ") + action->objectName(), action->toolTip());
    }
    for (QMenu *menu : root->findChildren<QMenu *>())
        check_text(f, QStringLiteral("menu ") + menu->objectName(), menu->title());
}

// The main window's signal bars: the text right of the frame clears it.
void check_bar_texts(Finding &f, QWidget *window)
{
    for (QProgressBar *bar : {child<QProgressBar>(window, "progressBar"), child<QProgressBar>(window, "progressBar_rep")}) {
        QStyleOptionProgressBar option;
        option.initFrom(bar);
        const QRect frame = bar->style()->subElementRect(QStyle::SE_ProgressBarGroove, &option, bar);
        if (bar->width() - bar->fontMetrics().horizontalAdvance(bar->text()) <= frame.right())
            f.clipped << where(bar) + QStringLiteral(" runs into its frame: ") + bar->text();
    }
}

void show_and_walk(Finding &f, QWidget *root)
{
    root->show();
    QVERIFY(QTest::qWaitForWindowExposed(root));
    QCoreApplication::processEvents();
    walk(f, root);
}

// Removes the translators that the application holds, and shows numbers
// as English writes them.
void speak_english()
{
    set_shown_language(QString());
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { speak_english(); }
    void every_text_has_a_finished_translation();
    void language_follows_the_desktop_data();
    void language_follows_the_desktop();
    void pseudo_translation_reaches_every_text_and_nothing_is_clipped();
    void each_language_fits_and_counts_data();
    void each_language_fits_and_counts();
    void firmware_dialog_speaks_german_end_to_end();
    void update_tool_refuses_a_package_in_german();
};

namespace {

// The placeholders of a text, sorted: %1 to %99 and %n, with or without L.
QStringList placeholders(const QString &text)
{
    QStringList found;
    const auto all = QRegularExpression(QStringLiteral("%L?(\\d{1,2}|n)")).globalMatch(text);
    for (auto it = all; it.hasNext();)
        found << it.next().captured(1);
    found.sort();
    return found;
}

// What is wrong with one translation file, one line for each message.
QStringList problems(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {path + QStringLiteral(": cannot be read")};
    QStringList found;
    QXmlStreamReader xml(&file);
    QString context, source, type;
    QStringList forms;
    bool numerus = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.name();
        if (xml.isStartElement()) {
            if (name == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (name == QLatin1String("message")) {
                numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
                source.clear();
                forms.clear();
                type.clear();
            } else if (name == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (name == QLatin1String("translation")) {
                type = xml.attributes().value(QLatin1String("type")).toString();
                if (!numerus)
                    forms << xml.readElementText();
            } else if (name == QLatin1String("numerusform")) {
                forms << xml.readElementText();
            }
        } else if (xml.isEndElement() && name == QLatin1String("message")) {
            const QString at = context + QStringLiteral(" \"") + source + QStringLiteral("\": ");
            if (!type.isEmpty()) {
                found << at + type;
                continue;
            }
            if (forms.isEmpty() || forms.contains(QString())) {
                found << at + QStringLiteral("no translation");
                continue;
            }
            QStringList expected = placeholders(source);
            // A singular may leave out the count ("Eine Datei"); the plural
            // has every placeholder.
            for (int i = 0; i < forms.size(); ++i) {
                QStringList got = placeholders(forms.at(i));
                if (numerus && i + 1 < forms.size() && !got.contains(QStringLiteral("n"))) {
                    got << QStringLiteral("n");
                    got.sort();
                }
                if (got != expected)
                    found << at + QStringLiteral("placeholders %1 in \"%2\"")
                                      .arg(got.join(QLatin1Char(',')), forms.at(i));
            }
        }
    }
    if (xml.hasError())
        found << path + QStringLiteral(": ") + xml.errorString();
    return found;
}

} // namespace

void TranslationsTest::every_text_has_a_finished_translation()
{
    // The files brought up to date with the sources, as a translator would
    // get them: a text added, changed or removed in the sources without its
    // translation shows as unfinished or vanished. The English file holds
    // the texts that count, each with its singular and plural.
    QTemporaryDir dir;
    QStringList copies;
    const QDir translations(QStringLiteral(TVC_TRANSLATIONS_DIR));
    const QStringList files = translations.entryList({QStringLiteral("tvc_*.ts")}, QDir::Files);
    QVERIFY(files.size() >= 2);
    for (const QString &ts : files) {
        const QString copy = dir.filePath(ts);
        QVERIFY(QFile::copy(translations.filePath(ts), copy));
        copies << copy;
    }
    const QString english = dir.filePath(QStringLiteral("tvc_en.ts"));
    QVERIFY(copies.removeOne(english));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(TVC_SOURCE_DIR));
    lupdate.start(QStringLiteral(TVC_LUPDATE), QStringList{QStringLiteral("-silent"), QStringLiteral("-locations"),
                                                          QStringLiteral("none"), QStringLiteral("src"),
                                                          QStringLiteral("-ts")}
                                                   + copies);
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);
    lupdate.start(QStringLiteral(TVC_LUPDATE), {QStringLiteral("-silent"), QStringLiteral("-pluralonly"),
                                                QStringLiteral("src"), QStringLiteral("-ts"), english});
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);
    copies << english;
    QStringList found;
    for (const QString &copy : copies) {
        for (const QString &problem : problems(copy))
            found << QFileInfo(copy).fileName() + QStringLiteral(": ") + problem;
    }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

void TranslationsTest::language_follows_the_desktop_data()
{
    QTest::addColumn<QStringList>("variables");  // name=value pairs that are set
    QTest::addColumn<QString>("language");

    QTest::newRow("nothing set") << QStringList() << "";
    QTest::newRow("LANG") << QStringList{"LANG=de_DE.UTF-8"} << "de";
    QTest::newRow("Swiss French, modifier") << QStringList{"LANG=fr_CH.UTF-8@euro"} << "fr";
    QTest::newRow("LC_MESSAGES over LANG") << QStringList{"LANG=de_DE.UTF-8", "LC_MESSAGES=fr_FR.UTF-8"} << "fr";
    QTest::newRow("LC_ALL over all") << QStringList{"LC_ALL=C", "LC_MESSAGES=fr_FR.UTF-8", "LANG=de_DE"} << "";
    QTest::newRow("LANGUAGE list, first known") << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=pt_BR:fr:de"} << "fr";
    QTest::newRow("LANGUAGE, English first") << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=en_GB:de"} << "";
    QTest::newRow("LANGUAGE ignored in C") << QStringList{"LANG=C.UTF-8", "LANGUAGE=de"} << "";
    QTest::newRow("no translation") << QStringList{"LANG=pt_BR.UTF-8"} << "";
}

void TranslationsTest::language_follows_the_desktop()
{
    QFETCH(QStringList, variables);
    QFETCH(QString, language);
    QHash<QString, QString> environment;
    for (const QString &pair : variables)
        environment.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    const QStringList wanted = desktop_languages(
        [&](const char *name) { return environment.value(QString::fromLatin1(name)); });
    QCOMPARE(choose_language(wanted, program_languages()), language);
}

void TranslationsTest::pseudo_translation_reaches_every_text_and_nothing_is_clipped()
{
    qApp->installTranslator(new PseudoTranslator(qApp));
    Finding f;
    {
        // An RXU client: the window's signal-strength part and the Signal
        // History's plots have something to show.
        sim::DeviceOptions rxu;
        rxu.txu = false;
        LinkedWindow t(rxu);
        QVERIFY(t.ready());
        show_and_walk(f, t.window.get());
        check_bar_texts(f, t.window.get());
        child<QAction>(t.window.get(), "actionSignal_History")->trigger();
        auto *history = t.window->findChild<QDialog *>(QStringLiteral("SignalHistory"));
        QVERIFY(history);
        show_and_walk(f, history);
        // Its other tab.
        auto *tabs = history->findChild<QTabWidget *>();
        QVERIFY(tabs);
        for (int i = 1; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            walk(f, history);
        }
        child<QAction>(t.window.get(), "actionDevice_Version")->trigger();
        QTRY_COMPARE(t.answerer.count(), 3);  // the welcome box and the two versions
        for (const ModalAnswerer::Seen &seen : t.answerer.seen()) {
            check_text(f, QStringLiteral("box title"), seen.title);
            check_text(f, QStringLiteral("box"), seen.text);
        }
    }
    {
        // A device newer than the test package: the firmware dialog refuses it.
        sim::DeviceOptions txu = txu_device();
        txu.wlanVersion = 1700;
        LinkedWindow t(txu);
        QVERIFY(t.ready());
        show_and_walk(f, t.window.get());
        child<QAction>(t.window.get(), "actionAll_Devices")->trigger();
        auto *overview = t.window->findChild<AllDevices *>();
        QVERIFY(overview);
        QTRY_COMPARE(overview->findChild<QTableView *>()->model()->rowCount(), 1);
        QTRY_VERIFY(!overview->findChild<QTableView *>()->model()->index(0, 1).data().toString().isEmpty());
        show_and_walk(f, overview);
        // The firmware dialog, with a package that does not fit: its texts of
        // refusal.
        QTemporaryDir dir;
        const QString zip = dir.filePath(QStringLiteral("package.zip"));
        Package package;
        QVERIFY(package.write(dir, zip));
        const FirmwareDialogRun run = run_firmware_dialog(*t.window, [&](QDialog *dialog) {
            walk(f, dialog);
            pick(dialog, t.answerer, zip);
            walk(f, dialog);
            const int boxes = t.answerer.count();
            start(dialog);
            QTRY_VERIFY(t.answerer.count() > boxes);
            QTRY_VERIFY(!child<QLabel>(dialog, "cur_module")->text().isEmpty());
            walk(f, dialog);
        });
        QVERIFY(run.dialog_shown);
        enter_service_code(*t.window, t.answerer, QStringLiteral("taverox5190"));
        for (const auto &[action, name] : {std::pair<const char *, const char *>{"actionSniffer", "Sniffer"},
                                           {"actionHeron_Temperature", "HeronTemp"}}) {
            child<QAction>(t.window.get(), action)->trigger();
            auto *dialog = t.window->findChild<QDialog *>(QString::fromLatin1(name));
            QVERIFY(dialog && dialog->isVisible());
            show_and_walk(f, dialog);
        }
        for (const ModalAnswerer::Seen &seen : t.answerer.seen()) {
            check_text(f, QStringLiteral("box title"), seen.title);
            check_text(f, QStringLiteral("box"), seen.text);
        }
    }
    QVERIFY2(f.unmarked.isEmpty(), qPrintable(f.unmarked.join(QLatin1Char('\n'))));
    QVERIFY2(f.clipped.isEmpty(), qPrintable(f.clipped.join(QLatin1Char('\n'))));
}

void TranslationsTest::each_language_fits_and_counts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("expected");  // "no reading", counts of 1 and 2, numbers
    QTest::newRow("en") << "" << QStringList{"no reading", "1 fits", "2 fit", "1.2", "30%"};
    QTest::newRow("de") << "de" << QStringList{"kein Messwert", "1 passt", "2 passen", "1,2", "30\u00a0%"};
    QTest::newRow("fr") << "fr" << QStringList{"aucune mesure", "1 convient", "2 conviennent", "1,2", "30\u00a0%"};
}

void TranslationsTest::each_language_fits_and_counts()
{
    QFETCH(QString, language);
    QFETCH(QStringList, expected);
    QVERIFY(install_translations(*qApp, language));
    // Both bars of an RXU client in repeater mode read "no reading" until
    // Signal Strength is ticked; All Devices shows it in a row.
    sim::DeviceOptions rxu;
    rxu.txu = false;
    rxu.repeaterMode = true;
    LinkedWindow t(rxu);
    QVERIFY(t.ready());
    Finding f;
    show_and_walk(f, t.window.get());
    check_bar_texts(f, t.window.get());
    child<QAction>(t.window.get(), "actionAll_Devices")->trigger();
    auto *overview = t.window->findChild<AllDevices *>();
    QTRY_VERIFY(!overview->findChild<QTableView *>()->model()->index(0, 1).data().toString().isEmpty());
    show_and_walk(f, overview);
    QVERIFY2(f.clipped.isEmpty(), qPrintable(f.clipped.join(QLatin1Char('\n'))));
    QCOMPARE(QStringList({child<QProgressBar>(t.window.get(), "progressBar")->text(),
                          QCoreApplication::translate("FleetReport", "%n fit", nullptr, 1),
                          QCoreApplication::translate("FleetReport", "%n fit", nullptr, 2), decimal_text(1.234, 1),
                          percent_text(30)}),
             expected);
}

void TranslationsTest::firmware_dialog_speaks_german_end_to_end()
{
    QVERIFY(install_translations(*qApp, QStringLiteral("de")));
    sim::DeviceOptions txu = txu_device();
    txu.wlanVersion = 1700;
    LinkedWindow t(txu);
    QVERIFY(t.ready());
    QCOMPARE(t.answerer.titles(), QStringList({QStringLiteral("Willkommen")}));
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("package.zip"));
    Package package;
    QVERIFY(package.write(dir, zip));
    const FirmwareDialogRun run = run_firmware_dialog(*t.window, [&](QDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Firmware-Aktualisierung"));
        pick(dialog, t.answerer, zip);
        start(dialog);
        auto *status = child<QLabel>(dialog, "cur_module");
        QTRY_VERIFY2_WITH_TIMEOUT(status->text().contains(QStringLiteral("Es wurde nichts gesendet")), qPrintable(status->text()), 5000);
        QVERIFY2(status->text().contains(QStringLiteral("neuer")), qPrintable(status->text()));
        QVERIFY(!child<QAbstractButton>(dialog, "start_fw_button")->isEnabled());
    });
    QVERIFY(run.dialog_shown);
    QVERIFY(!run.quit_requested);
    QCOMPARE(t.answerer.titles().last(), QStringLiteral("Versionen passen nicht"));
}

void TranslationsTest::update_tool_refuses_a_package_in_german()
{
    QTemporaryDir dir;
    const QString zip = dir.filePath(QStringLiteral("package.zip"));
    QVERIFY(Package().write(dir, zip));
    sim::DeviceOptions options = txu_device();
    options.wlanVersion = 1700;
    const auto device = start_device(options);
    const QStringList arguments = {QStringLiteral("--port"), device->slavePath(), zip};
    const auto in = [](const QString &lang) {
        return [lang](QProcess &process) {
            QProcessEnvironment environment = process.processEnvironment();
            environment.remove(QStringLiteral("LC_ALL"));
            environment.remove(QStringLiteral("LC_MESSAGES"));
            environment.remove(QStringLiteral("LANGUAGE"));
            environment.insert(QStringLiteral("LANG"), lang);
            process.setProcessEnvironment(environment);
        };
    };
    const ToolRun german = run_program(update_tool_binary(), arguments, nullptr, in(QStringLiteral("de_DE.UTF-8")));
    const ToolRun english = run_program(update_tool_binary(), arguments, nullptr, in(QStringLiteral("C.UTF-8")));
    // The same status in both; the German words, the numbers as they are.
    QCOMPARE(english.status, 1);
    QCOMPARE(german.status, english.status);
    QVERIFY2(english.err.contains(QStringLiteral("does not fit the device")), qPrintable(english.err));
    QVERIFY2(german.err.contains(QStringLiteral("passt nicht zum Gerät")), qPrintable(german.err));
    QVERIFY2(german.err.contains(QStringLiteral("WLAN 1700, DSP 3.12")), qPrintable(german.err));
    QVERIFY2(german.err.contains(QStringLiteral("es wurde nichts gesendet")), qPrintable(german.err));
    const ToolRun help = run_program(update_tool_binary(), {QStringLiteral("--help")}, nullptr,
                                     in(QStringLiteral("de_DE.UTF-8")));
    QCOMPARE(help.status, 0);
    QVERIFY2(help.out.contains(QStringLiteral("Das Firmware-Paket.")), qPrintable(help.out));
}

QTEST_MAIN(TranslationsTest)
#include "test_translations.moc"
