#pragma once

#include <QDialog>
#include <QVector>

namespace Ui {
class AllDevices;
}
class DeviceListModel;
class DeviceRoster;
class DeviceSession;
class ShowMonitor;

// Every attached device at a glance, one row a device, live: its port, role,
// link, signal levels with their bands, mute, +48V, gain, input mode and a
// master's channel; with a show monitor, each device's name and alarms. The
// device's name is edited in place (F2, or Rename). Acknowledge marks the
// chosen device's alarms as seen, Acknowledge All every device's; the title
// counts the alarms not yet seen. The rows otherwise only show; choosing one (a double click, Enter,
// or the button) makes it the main window's device, whose controls act on it.
// While the window is open, and from then on, every device is kept linked.
class AllDevices : public QDialog
{
    Q_OBJECT

public:
    AllDevices(DeviceRoster *roster, QWidget *parent = nullptr, ShowMonitor *show = nullptr);
    ~AllDevices() override;

    DeviceListModel *model() const { return m_model; }
    // Marks the row of the device the main window shows.
    void set_current(const QString &port);
    // The width the window needs to show every column whole, each as wide
    // as its title or its widest cell, without a horizontal scroll bar.
    int needed_width() const;
    // The window never scrolls sideways: it grows to needed_width() (up to
    // the screen's width), and where it stays narrower the widest columns
    // shorten their texts, each whole in its tooltip.

signals:
    // The user chose the device of `session`.
    void device_chosen(DeviceSession *session);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_show_button_clicked();
    void on_reports_button_clicked();
    void on_close_button_clicked();
    void on_rename_button_clicked();
    void on_acknowledge_button_clicked();
    void on_acknowledge_all_button_clicked();

private:
    void choose_current_row();
    void update_summary();
    void update_buttons();
    void update_title();
    QVector<int> column_widths() const;
    // The window's width that its columns cannot use: margins, the table's
    // frame and its vertical scroll bar where it shows.
    int width_besides_columns() const;
    // Widens the window to needed_width() where that grew past its width
    // (never past the screen); a window the user made narrower stays so
    // until its rows need more than before. Then squeezes.
    void fit_columns();
    // Caps the columns' width so that all of them fit the window.
    void squeeze_columns();

    Ui::AllDevices *ui;
    DeviceRoster *m_roster;
    ShowMonitor *m_show;
    DeviceListModel *m_model;
    QString m_current;
    int m_fitted_width = 0;
    // The header's own cap on a column's width, for when all fit.
    int m_widest_column = 0;
};
