#pragma once

#include <QDialog>

namespace Ui {
class AllDevices;
}
class DeviceListModel;
class DeviceRoster;
class DeviceSession;

// Every attached device at a glance, one row a device, live: its port, role,
// link, signal levels with their bands, mute, +48V, gain, input mode and a
// master's channel. The rows only show; choosing one (a double click, Enter,
// or the button) makes it the main window's device, whose controls act on it.
// While the window is open, and from then on, every device is kept linked.
class AllDevices : public QDialog
{
    Q_OBJECT

public:
    AllDevices(DeviceRoster *roster, QWidget *parent = nullptr);
    ~AllDevices() override;

    DeviceListModel *model() const { return m_model; }
    // Marks the row of the device the main window shows.
    void set_current(const QString &port);

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

private:
    void choose_current_row();
    void update_summary();
    void update_buttons();

    Ui::AllDevices *ui;
    DeviceRoster *m_roster;
    DeviceListModel *m_model;
    QString m_current;
};
