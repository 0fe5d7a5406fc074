#include "signal_history.h"
#include "ui_signal_history.h"

#include "accessibility.h"
#include "device_label.h"
#include "history_clock.h"
#include "history_csv.h"
#include "status_display.h"
#include "history_view.h"
#include "number_text.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QImageWriter>
#include <QMessageBox>
#include <QPainter>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

// The plots are cut and painted at most this often, and no more often than
// they move by a pixel.
constexpr int REFRESH_MS = 250;

const qint64 SPANS_MS[] = {60 * 1000, 10 * 60 * 1000, 60 * 60 * 1000, 0};

// The levels the bars show: -80 (no reading) to -25, with room around.
constexpr double LEVEL_LOW = -85;
constexpr double LEVEL_HIGH = -20;

const QColor GOOD(0x17, 0x8e, 0x85);
const QColor FAIR(0xcc, 0x66, 0x33);
const QColor WEAK(0x8e, 0x17, 0x20);
const QColor NONE(0x80, 0x80, 0x80);
const QColor SERIES_A(0x1f, 0x4e, 0x9c);
const QColor SERIES_A_LIGHT(0x4f, 0x9b, 0xd9);
const QColor SERIES_B(0xb5, 0x17, 0x9e);
const QColor SERIES_B_LIGHT(0xe3, 0x77, 0xc2);

// Colours and names of the dropouts, by DropoutKind.
const QColor DROPOUT_COLOURS[DROPOUT_KINDS] = {QColor(0x9e, 0x9e, 0x9e), QColor(0xe0, 0x8a, 0x00),
                                               QColor(0xc6, 0x28, 0x28), QColor(0x21, 0x21, 0x21)};
const char *const DROPOUT_NAMES[DROPOUT_KINDS] = {
    QT_TRANSLATE_NOOP("SignalHistory", "no reading"), QT_TRANSLATE_NOOP("SignalHistory", "no link"),
    QT_TRANSLATE_NOOP("SignalHistory", "link lost"), QT_TRANSLATE_NOOP("SignalHistory", "port lost")};

// Level bands, as the main window's bars and lamps have them.
QVector<TimePlot::Band> level_bands()
{
    return {{GOOD_SIGNAL - 0.5, LEVEL_HIGH, GOOD, band_words(SignalBand::Good)},
            {FAIR_SIGNAL - 0.5, GOOD_SIGNAL - 0.5, FAIR, band_words(SignalBand::Fair)},
            {SIGNAL_FLOOR + 0.5, FAIR_SIGNAL - 0.5, WEAK, band_words(SignalBand::Weak)},
            {LEVEL_LOW, SIGNAL_FLOOR + 0.5, NONE, band_words(SignalBand::NoReading)}};
}

QVector<TimePlot::Legend> dropout_legend()
{
    QVector<TimePlot::Legend> legend;
    for (int k = 0; k < DROPOUT_KINDS; ++k)
        legend.append({QCoreApplication::translate("SignalHistory", DROPOUT_NAMES[k]), DROPOUT_COLOURS[k]});
    return legend;
}

QVector<TimePlot::Mark> dropout_marks(const QVector<Dropout> &dropouts)
{
    QVector<TimePlot::Mark> marks;
    for (const Dropout &d : dropouts)
        marks.append({d.from_ms, d.to_ms, DROPOUT_COLOURS[int(d.kind)]});
    return marks;
}

QString stats_text(const QString &name, const SeriesStats &stats)
{
    //: %1 is a plotted series: "From TXU", "RSSI A".
    if (stats.count == 0)
        return QCoreApplication::translate("SignalHistory", "%1: no readings").arg(name);
    //: The minimum, mean and maximum of a series over the stretch shown.
    return QCoreApplication::translate("SignalHistory", "%1: min %2 \u00b7 mean %3 \u00b7 max %4")
        .arg(name, QString::number(stats.min), decimal_text(stats.mean(), 1), QString::number(stats.max));
}

// A round upper end for a plot of counts.
double round_up(double value)
{
    if (value <= 10)
        return 10;
    const double magnitude = std::pow(10.0, std::floor(std::log10(value)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (magnitude * factor >= value)
            return magnitude * factor;
    }
    return magnitude * 10;
}

QString memory_text(qint64 bytes)
{
    if (bytes < 1024 * 1024)
        return QCoreApplication::translate("SignalHistory", "%1 KB").arg(bytes / 1024);
    return QCoreApplication::translate("SignalHistory", "%1 MB").arg(decimal_text(double(bytes) / (1024.0 * 1024.0), 1));
}

QString local_time(qint64 time_ms)
{
    return QDateTime::fromMSecsSinceEpoch(time_ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// "2024-05-01 14:02:07 to 14:03:07": the date once when both ends share it.
QString stretch_text(qint64 from_ms, qint64 to_ms)
{
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(from_ms);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(to_ms);
    return QCoreApplication::translate("SignalHistory", "%1 to %2")
        .arg(local_time(from_ms),
             from.date() == to.date() ? to.toString(QStringLiteral("HH:mm:ss")) : local_time(to_ms));
}

} // namespace

SignalHistory::SignalHistory(QAbstractButton *reports_box, QWidget *parent, HistoryClock::Source clock)
    : QDialog(parent)
    , ui(new Ui::SignalHistory)
    , m_reports_box(reports_box)
    , m_now(clock ? clock : HistoryClock::Source(history_now_ms))
    , m_log(&m_spare_log)
    , m_started(clock ? HistoryTime{clock(), 0} : history_now())
{
    keep_list_names();
    ui->setupUi(this);
    press_buttons_on_enter(this);
    // Never smaller than its controls: the layout's own minimum.
    layout()->setSizeConstraint(QLayout::SetMinimumSize);
    // The plots are pictures; a screen reader gets their figures.
    set_accessible_name(ui->signal_plot, tr("Signal levels over time"));
    set_accessible_name(ui->packets_plot, tr("Beacons and audio packets over time"));
    set_accessible_name(ui->rssi_plot, tr("RSSI over time"));
    ui->signal_plot->set_value_range(LEVEL_LOW, LEVEL_HIGH);
    ui->signal_plot->set_bands(level_bands());
    ui->signal_plot->set_mark_legend(dropout_legend());
    ui->rssi_plot->set_value_range(LEVEL_LOW, LEVEL_HIGH);
    ui->rssi_plot->set_bands(level_bands());
    ui->packets_plot->set_mark_legend(dropout_legend());
    show_sniffer(false);
    ui->all_devices_box->hide();

    m_refresh.setInterval(REFRESH_MS);
    connect(&m_refresh, &QTimer::timeout, this, &SignalHistory::refresh);
    for (TimePlot *plot : {ui->signal_plot, ui->packets_plot, ui->rssi_plot}) {
        connect(plot, &TimePlot::columns_changed, this, &SignalHistory::schedule_refresh);
        // A plot's keys move the scroll bar, as the bar's own keys do.
        connect(plot, &TimePlot::move_requested, this, [this](QAbstractSlider::SliderAction action) {
            if (ui->time_scroll->isEnabled())
                ui->time_scroll->triggerAction(action);
        });
    }

    connect(&m_save, &BackgroundSave::progress, this, [this](int percent) {
        m_save_percent = percent;
        update_recording_label();
    });
    connect(&m_save, &BackgroundSave::finished, this,
            [this](const QString &, const QString &error) { save_finished(error); });

    connect(m_reports_box, &QAbstractButton::toggled, this, &SignalHistory::follow_reports_box);
    m_reports_box->installEventFilter(this);
    follow_reports_box();
}

SignalHistory::~SignalHistory()
{
    delete ui;
}

void SignalHistory::set_device_source(std::function<HistoryDevice()> source)
{
    m_device = std::move(source);
    update_recording_label();
}

HistoryDevice SignalHistory::device() const
{
    return m_device ? m_device() : HistoryDevice();
}

QString SignalHistory::device_text(const HistoryDevice &device)
{
    if (device.port.isEmpty())
        return tr("no device");
    return device_description(device.role, device.port, device.serial);
}

void SignalHistory::show_sniffer(bool shown)
{
    const int index = ui->history_tabs->indexOf(ui->sniffer_tab);
    if (shown && index < 0)
        ui->history_tabs->addTab(ui->sniffer_tab, tr("Sniffer"));
    else if (!shown && index >= 0)
        ui->history_tabs->removeTab(index);
}

void SignalHistory::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_refresh.start();
    schedule_refresh();
}

void SignalHistory::hideEvent(QHideEvent *event)
{
    m_refresh.stop();
    QDialog::hideEvent(event);
}

bool SignalHistory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_reports_box && event->type() == QEvent::EnabledChange)
        follow_reports_box();
    return QDialog::eventFilter(watched, event);
}

// The window's box shows the main window's: checked, and enabled, alike.
void SignalHistory::follow_reports_box()
{
    const QSignalBlocker blocker(ui->history_reports);
    ui->history_reports->setEnabled(m_reports_box->isEnabled());
    ui->history_reports->setChecked(m_reports_box->isChecked());
}

// A click here is a click on the main window's box, which sends the report
// mode; the sniffer's rules about that mode stay with it.
void SignalHistory::on_history_reports_clicked(bool checked)
{
    if (m_reports_box->isChecked() != checked)
        m_reports_box->click();
    follow_reports_box();
}

void SignalHistory::on_span_box_currentIndexChanged(int index)
{
    if (index < 0 || index >= int(sizeof(SPANS_MS) / sizeof(SPANS_MS[0])))
        return;
    m_navigator.set_span(SPANS_MS[index]);
    schedule_refresh();
}

void SignalHistory::on_pause_button_toggled(bool paused)
{
    if (paused)
        m_navigator.pause(m_now());
    else
        m_navigator.resume();
    schedule_refresh();
}

// At the end of the bar, however it got there (a drag at any pace, a click,
// a key, the wheel), the view follows the newest data again; anywhere else it
// stays where it was put.
void SignalHistory::on_time_scroll_valueChanged(int value)
{
    if (m_updating_scroll)
        return;
    const qint64 now = m_now();
    if (value >= ui->time_scroll->maximum())
        m_navigator.scroll_to(now, now, 0);
    else
        m_navigator.scroll_to(scroll_base_ms() + qint64(value) * 1000, now, 0);
    schedule_refresh();
}

void SignalHistory::on_history_tabs_currentChanged(int)
{
    schedule_refresh();
}

// One refresh for all that changed in this turn of the event loop: a resize
// changes the width of every plot at once.
void SignalHistory::schedule_refresh()
{
    if (m_refresh_pending || !isVisible())
        return;
    m_refresh_pending = true;
    QTimer::singleShot(0, this, [this] {
        m_refresh_pending = false;
        if (isVisible())
            refresh();
    });
}

qint64 SignalHistory::scroll_base_ms() const
{
    return m_log->dropped() > 0 && !m_log->empty() ? m_log->first_ms() : m_started.ms;
}

void SignalHistory::update_scroll(qint64 now_ms)
{
    // The user's hand on the slider decides where it is.
    if (ui->time_scroll->isSliderDown())
        return;
    m_updating_scroll = true;
    const qint64 span = m_navigator.span();
    const qint64 base = scroll_base_ms();
    const int newest = int(std::max<qint64>(now_ms - base, 0) / 1000);
    const int oldest = int(std::min<qint64>(span / 1000, newest));
    const qint64 first = m_log->empty() ? -1 : m_log->first_ms();
    const bool movable = span > 0 && newest > oldest;
    // A view held back where the bar can no longer move it (a span as long
    // as the recording) follows again.
    if (!movable && !m_navigator.paused() && !m_navigator.following())
        m_navigator.scroll_to(now_ms, now_ms, 0);
    const HistoryNavigator::Stretch shown = m_navigator.stretch(first, now_ms);
    ui->time_scroll->setEnabled(movable);
    ui->time_scroll->setRange(oldest, newest);
    ui->time_scroll->setPageStep(int(std::max<qint64>(span / 1000, 1)));
    ui->time_scroll->setSingleStep(int(std::max<qint64>(span / 10000, 1)));
    ui->time_scroll->setValue(int((shown.to_ms - base) / 1000));
    m_updating_scroll = false;
}

void SignalHistory::refresh()
{
    const qint64 now = m_now();
    update_scroll(now);
    update_recording_label();
    const bool sniffer_shown = ui->history_tabs->currentWidget() == ui->sniffer_tab;
    TimePlot *first_plot = sniffer_shown ? ui->packets_plot : ui->signal_plot;
    const int columns = first_plot->columns();
    const HistoryNavigator::Stretch stretch = m_navigator.stretch(m_log->empty() ? -1 : m_log->first_ms(), now);

    // A long span moves by less than a pixel between two refreshes.
    const qint64 width_ms = stretch.to_ms - stretch.from_ms;
    m_refresh.setInterval(int(std::max<qint64>(REFRESH_MS, std::min<qint64>(width_ms / columns, 60000))));

    const Shown shown{m_log->size() + m_log->dropped(), stretch.from_ms, stretch.to_ms, columns, sniffer_shown};
    if (shown == m_shown)
        return;
    m_shown = shown;

    const HistoryView view = history_view(*m_log, stretch.from_ms, stretch.to_ms, columns, now, &m_summaries);
    const QVector<TimePlot::Mark> marks = dropout_marks(view.dropouts);
    if (!sniffer_shown) {
        ui->signal_plot->show_stretch(stretch.from_ms, stretch.to_ms,
                                      {{tr("From TXU"), SERIES_A, view.signal[0]},
                                       {tr("From Repeater"), SERIES_B, view.signal[1]}},
                                      marks);
        const QString figures = stats_text(tr("From TXU"), view.signal_stats[0]) + QStringLiteral("     ")
            + stats_text(tr("From Repeater"), view.signal_stats[1]);
        ui->signal_stats->setText(figures);
        set_accessible_description(ui->signal_plot, figures);
        return;
    }

    const QString names[SNIFF_SERIES] = {tr("Beacons A"), tr("Audio A"), tr("Beacons B"),
                                         tr("Audio B"),   tr("RSSI A"),  tr("RSSI B")};
    double packets_high = 0;
    for (int i = 0; i < 4; ++i) {
        if (view.sniff_stats[size_t(i)].count > 0)
            packets_high = std::max(packets_high, double(view.sniff_stats[size_t(i)].max));
    }
    ui->packets_plot->set_value_range(0, round_up(packets_high));
    ui->packets_plot->show_stretch(stretch.from_ms, stretch.to_ms,
                                   {{names[0], SERIES_A, view.sniff[0]},
                                    {names[1], SERIES_A_LIGHT, view.sniff[1]},
                                    {names[2], SERIES_B, view.sniff[2]},
                                    {names[3], SERIES_B_LIGHT, view.sniff[3]}},
                                   marks);
    double rssi_low = LEVEL_LOW;
    double rssi_high = LEVEL_HIGH;
    for (int i = 4; i < 6; ++i) {
        const SeriesStats &s = view.sniff_stats[size_t(i)];
        if (s.count > 0) {
            rssi_low = std::min(rssi_low, double(s.min) - 5);
            rssi_high = std::max(rssi_high, double(s.max) + 5);
        }
    }
    ui->rssi_plot->set_value_range(rssi_low, rssi_high);
    ui->rssi_plot->show_stretch(stretch.from_ms, stretch.to_ms,
                                {{names[4], SERIES_A, view.sniff[4]}, {names[5], SERIES_B, view.sniff[5]}}, marks);
    QStringList rows;
    for (int i = 0; i < SNIFF_SERIES; ++i)
        rows.append(stats_text(names[i], view.sniff_stats[size_t(i)]));
    ui->sniffer_stats->setText(rows.mid(0, 3).join(QStringLiteral("     ")) + QLatin1Char('\n')
                               + rows.mid(3).join(QStringLiteral("     ")));
    set_accessible_description(ui->packets_plot, rows.mid(0, 4).join(QStringLiteral("; ")));
    set_accessible_description(ui->rssi_plot, rows.mid(4).join(QStringLiteral("; ")));
}

void SignalHistory::update_recording_label()
{
    const HistoryDevice shown = device();
    QString text = tr("Recording since %1: %n records, %2 of %3.", nullptr, int(m_log->size()))
                       .arg(local_time(m_started.wall_ms()),
                            memory_text(m_log->memory_bytes()), memory_text(m_log->budget_bytes()))
        + QLatin1Char(' ')
        + (shown.port.isEmpty() ? tr("No device.") : tr("Device: %1.").arg(device_text(shown)));
    if (m_log->dropped() > 0) {
        text = tr("Memory full: the oldest %n records were dropped; the recording now starts at %1. ",
                      nullptr, int(m_log->dropped()))
                   .arg(local_time(m_log->first_wall_ms()))
            + text;
    }
    if (m_save.busy())
        text += QLatin1Char(' ') + tr("Saving as CSV\u2026 %1").arg(percent_text(m_save_percent));
    // The title names the device where the user gave it a name.
    const QString name = device_name(shown.port);
    //: The Signal History's title with the name the user gave the device: "Signal History: Lead vocal".
    const QString title = name.isEmpty() ? tr("Signal History") : tr("Signal History: %1").arg(name);
    if (windowTitle() != title)
        setWindowTitle(title);
    if (ui->recording_label->text() != text)
        ui->recording_label->setText(text);
}

// The file is written from a frozen copy of the recording on a worker
// thread, while reports go on being recorded.
void SignalHistory::set_log(ReportLog *log)
{
    ReportLog *next = log ? log : &m_spare_log;
    if (next == m_log)
        return;
    m_log = next;
    // Recorded since its first record, or from now on.
    m_started = m_log->empty() ? history_now() : HistoryTime{m_log->first_ms(), m_log->first_wall_ms() - m_log->first_ms()};
    m_shown = Shown();
    schedule_refresh();
    update_recording_label();
}

void SignalHistory::set_histories_source(std::function<QList<PortHistory>()> histories)
{
    m_histories = std::move(histories);
    update_all_devices_box();
}

// "All devices" is offered while more than one device has a history.
void SignalHistory::update_all_devices_box()
{
    const bool several = m_histories && m_histories().size() > 1;
    ui->all_devices_box->setVisible(several);
}

void SignalHistory::on_save_csv_button_clicked()
{
    if (m_save.busy())
        return;
    const QString path = QFileDialog::getSaveFileName(this, tr("Save as CSV"),
                                                      suggested_save_path(QStringLiteral("signal-history-"),
                                                                   QStringLiteral(".csv")),
                                                      tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    // Every device's history in one file, or the one shown.
    const QList<PortHistory> all = ui->all_devices_box->isVisible() && ui->all_devices_box->isChecked() && m_histories
        ? m_histories()
        : QList<PortHistory>();
    if (!all.isEmpty()) {
        quint64 records = 0;
        for (const PortHistory &history : all)
            records += history.log ? history.log->size() : 0;
        m_saved.reset();
        m_save.start(path, records, [all](QIODevice *out, const WriteProgress &progress) {
            return write_histories_csv(all, out, progress);
        });
    } else {
        m_saved = m_log->freeze();
        const std::shared_ptr<const ReportLog> copy = m_saved;
        m_save.start(path, copy->size(), [copy](QIODevice *out, const WriteProgress &progress) {
            return write_history_csv(*copy, out, progress);
        });
    }
    m_save_percent = 0;
    ui->save_csv_button->setEnabled(false);
    update_recording_label();
}

void SignalHistory::save_finished(const QString &error)
{
    const std::shared_ptr<const ReportLog> saved = std::move(m_saved);
    ui->save_csv_button->setEnabled(true);
    update_recording_label();
    if (!error.isEmpty()) {
        QMessageBox::critical(this, tr("Error"), error, QMessageBox::Ok);
        return;
    }
    if (saved && saved->dropped() > 0) {
        QMessageBox::information(this, windowTitle(),
                                 tr("The oldest records no longer fitted in memory: the file holds the newest "
                                    "records, from %1 on, after the state of the link then.")
                                     .arg(local_time(saved->first_wall_ms())),
                                 QMessageBox::Ok);
    }
}

void SignalHistory::on_save_png_button_clicked()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save as PNG"),
                                                      suggested_save_path(QStringLiteral("signal-history-"),
                                                                   QStringLiteral(".png")),
                                                      tr("PNG images (*.png)"));
    if (path.isEmpty())
        return;
    const qint64 now = m_now();
    refresh();
    QImageWriter writer(path, "png");
    if (!writer.write(picture(now)))
        QMessageBox::critical(this, tr("Error"),
                              tr("Could not save the plot to %1: %2")
                                  .arg(QDir::toNativeSeparators(path), writer.errorString()),
                              QMessageBox::Ok);
}

// A picture that says by itself what it shows: a title line drawn above the
// tab (which, where, the span and when) and the same as PNG text.
QImage SignalHistory::picture(qint64 now_ms) const
{
    QWidget *tab = ui->history_tabs->currentWidget();
    const HistoryNavigator::Stretch stretch = m_navigator.stretch(m_log->empty() ? -1 : m_log->first_ms(), now_ms);
    const HistoryDevice recorded = device();
    const QString span = ui->span_box->currentText();
    const QString when = stretch_text(stretch.from_ms, stretch.to_ms);
    const QString tab_name = ui->history_tabs->tabText(ui->history_tabs->currentIndex());
    const QString title = tr("%1 \u00b7 %2 \u00b7 %3: %4").arg(tab_name, device_text(recorded), span, when);

    const QImage body = tab->grab().toImage();
    const qreal ratio = body.devicePixelRatio();
    const int width = int(body.width() / ratio);
    constexpr int MARGIN = 8;
    const QRect line = fontMetrics().boundingRect(QRect(MARGIN, MARGIN, width - 2 * MARGIN, 10000),
                                                  Qt::TextWordWrap, title);
    const int top = line.height() + 2 * MARGIN;
    QImage image(QSize(width, top + int(body.height() / ratio)) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(MARGIN, MARGIN, width - 2 * MARGIN, line.height()), Qt::TextWordWrap, title);
    painter.drawImage(QPoint(0, top), body);
    painter.end();

    image.setText(QStringLiteral("Title"), title);
    image.setText(QStringLiteral("Source"), device_text(recorded));
    if (!recorded.port.isEmpty())
        image.setText(QStringLiteral("Port"), recorded.port);
    if (!recorded.role.isEmpty())
        image.setText(QStringLiteral("Role"), recorded.role);
    const QString name = device_name(recorded.port);
    if (!name.isEmpty())
        image.setText(QStringLiteral("Name"), name);
    image.setText(QStringLiteral("Span"), span);
    image.setText(QStringLiteral("From"), QDateTime::fromMSecsSinceEpoch(stretch.from_ms).toString(Qt::ISODate));
    image.setText(QStringLiteral("To"), QDateTime::fromMSecsSinceEpoch(stretch.to_ms).toString(Qt::ISODate));
    image.setText(QStringLiteral("Creation Time"), QDateTime::fromMSecsSinceEpoch(now_ms).toString(Qt::RFC2822Date));
    const QLabel *figures = tab == ui->sniffer_tab ? ui->sniffer_stats : ui->signal_stats;
    image.setText(QStringLiteral("Description"), figures->text());
    image.setText(QStringLiteral("Software"),
                  QStringLiteral("%1 %2").arg(QCoreApplication::applicationName(),
                                              QCoreApplication::applicationVersion()).trimmed());
    return image;
}
