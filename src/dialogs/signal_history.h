#pragma once

#include "history_navigator.h"
#include "report_log.h"

#include <QDialog>
#include <QTimer>

namespace Ui {
class SignalHistory;
}
class QAbstractButton;

// The link monitor: the signal levels (and, in service mode, the sniffer's
// reports) over time, with their dropouts, and the whole recording to save.
// The main window creates it when it is first asked for and feeds its log from
// then on, shown or not; the window itself only reads the log.
class SignalHistory : public QDialog
{
    Q_OBJECT

public:
    // `reports_box` is the main window's Signal Strength check box: the
    // window's own box shows its state and acts through it.
    SignalHistory(QAbstractButton *reports_box, QWidget *parent = nullptr);
    ~SignalHistory() override;

    ReportLog &log() { return m_log; }
    // The sniffer's tab is there only in service mode.
    void show_sniffer(bool shown);

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

    Ui::SignalHistory *ui;
    QAbstractButton *m_reports_box;
    ReportLog m_log;
    HistoryNavigator m_navigator;
    QTimer m_refresh;
    const qint64 m_started_ms;
    bool m_updating_scroll = false;
    // What the plots show now, to skip work when nothing moved.
    quint64 m_shown_size = ~quint64(0);
    qint64 m_shown_to = -1;
    int m_shown_columns = -1;
};
