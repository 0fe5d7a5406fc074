#pragma once

#include "background_save.h"
#include "history_clock.h"
#include "history_csv.h"
#include "history_navigator.h"
#include "history_view.h"
#include "report_log.h"

#include <QDialog>
#include <QImage>
#include <QTimer>

#include <functional>

namespace Ui {
class SignalHistory;
}
class QAbstractButton;

// The device whose link is recorded, in the main window's words: the port it
// is on (empty: none open) and its role (empty: not known yet).
struct HistoryDevice
{
    QString port;
    QString role;
    QString serial;  // the port's bridge's serial number, where it has one
};

// The link monitor: the signal levels (and, in service mode, the sniffer's
// reports) over time, with their dropouts, and the whole recording to save.
// It shows the history of the main window's device, which that device's
// session records from the moment its port opens; the window only reads it.
class SignalHistory : public QDialog
{
    Q_OBJECT

public:
    // `reports_box` is the main window's Signal Strength check box: the
    // window's own box shows its state and acts through it. `clock` tells the
    // present (by default the history clock of the log's time stamps).
    SignalHistory(QAbstractButton *reports_box, QWidget *parent = nullptr, HistoryClock::Source clock = {});
    ~SignalHistory() override;

    ReportLog &log() { return *m_log; }
    // The history shown: the main window's device's (null: none, an empty one).
    void set_log(ReportLog *log);
    // Every device's history, for "Save as CSV…" of all devices in one file;
    // offered while there is more than one.
    void set_histories_source(std::function<QList<PortHistory>()> histories);
    // The devices with a history may have changed.
    void set_histories_source_changed() { update_all_devices_box(); }
    // Where the window learns which device it records: asked whenever it
    // shows the device, and for each picture it saves.
    void set_device_source(std::function<HistoryDevice()> source);
    // The sniffer's tab is there only in service mode.
    void show_sniffer(bool shown);
    // Whether "Save as CSV…" is writing its file (on a worker thread).
    bool saving() const { return m_save.busy(); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_history_reports_clicked(bool checked);
    void on_span_box_currentIndexChanged(int index);
    void on_pause_button_toggled(bool paused);
    void on_time_scroll_valueChanged(int value);
    void on_history_tabs_currentChanged(int index);
    void on_save_csv_button_clicked();
    void on_save_png_button_clicked();

private:
    void follow_reports_box();
    // Cuts the log anew for the plots of the tab shown.
    void refresh();
    void schedule_refresh();
    qint64 scroll_base_ms() const;
    void update_scroll(qint64 now_ms);
    void update_recording_label();
    void save_finished(const QString &error);
    HistoryDevice device() const;
    // "RXU Client (Slot 1) on /dev/ttyUSB0", or "no device".
    static QString device_text(const HistoryDevice &device);
    // The tab shown, under a line that says what it shows and when.
    QImage picture(qint64 now_ms) const;
    void update_all_devices_box();

    Ui::SignalHistory *ui;
    QAbstractButton *m_reports_box;
    HistoryClock::Source m_now;
    std::function<HistoryDevice()> m_device;
    ReportLog m_spare_log;
    ReportLog *m_log;
    std::function<QList<PortHistory>()> m_histories;
    HistoryNavigator m_navigator;
    HistorySummaries m_summaries;
    QTimer m_refresh;
    bool m_refresh_pending = false;
    // When the window was made: on the history's time line, and by the wall clock.
    HistoryTime m_started;
    bool m_updating_scroll = false;
    // What the plots show now, to skip work when nothing moved.
    struct Shown
    {
        quint64 records = ~quint64(0);
        qint64 from_ms = -1;
        qint64 to_ms = -1;
        int columns = -1;
        bool sniffer = false;

        bool operator==(const Shown &o) const
        {
            return records == o.records && from_ms == o.from_ms && to_ms == o.to_ms && columns == o.columns
                && sniffer == o.sniffer;
        }
    } m_shown;
    BackgroundSave m_save{tr("Could not save the signal history to %1: %2")};
    std::shared_ptr<const ReportLog> m_saved;  // the recording being saved
    int m_save_percent = 0;
};
