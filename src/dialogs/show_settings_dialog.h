#pragma once

#include "show_settings.h"

#include <QDialog>

namespace Ui {
class ShowSettingsDialog;
}
class ShowMonitor;

// How the show is watched: the weak-signal threshold, how far above it the
// signal counts as good again, how long a cause lasts before it is an alarm,
// and whether new alarms are announced on the desktop. Save writes them to the
// user's settings file; a file that could not be read is said at the top, and
// stays as it was until then.
class ShowSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ShowSettingsDialog(ShowMonitor *monitor, QWidget *parent = nullptr);
    ~ShowSettingsDialog() override;

    // The settings as the dialog shows them.
    ShowSettings shown() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void load();
    void save();

    Ui::ShowSettingsDialog *ui;
    ShowMonitor *m_monitor;
};
