#include "show_settings_dialog.h"
#include "ui_show_settings_dialog.h"

#include "show_monitor.h"

#include <QMessageBox>
#include <QPushButton>

#include <cmath>

ShowSettingsDialog::ShowSettingsDialog(ShowMonitor *monitor, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ShowSettingsDialog)
    , m_monitor(monitor)
{
    ui->setupUi(this);
    ui->weak_box->setRange(AlarmSettings::WEAK_LOWEST, AlarmSettings::WEAK_HIGHEST);
    ui->clear_box->setRange(0, AlarmSettings::CLEAR_HIGHEST);
    ui->minimum_box->setRange(0.0, AlarmSettings::MINIMUM_HIGHEST_MS / 1000.0);
    connect(ui->buttons->button(QDialogButtonBox::Save), &QPushButton::clicked, this, &ShowSettingsDialog::save);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    load();
}

ShowSettingsDialog::~ShowSettingsDialog()
{
    delete ui;
}

void ShowSettingsDialog::showEvent(QShowEvent *event)
{
    load();
    QDialog::showEvent(event);
}

void ShowSettingsDialog::load()
{
    const ShowSettings &settings = m_monitor->settings();
    ui->weak_box->setValue(settings.alarms.weak_dbm);
    ui->clear_box->setValue(settings.alarms.clear_db);
    ui->minimum_box->setValue(settings.alarms.minimum_ms / 1000.0);
    ui->notifications_box->setChecked(settings.notifications);
    const QString problem = m_monitor->settings_problem();
    ui->problem_label->setText(problem.isEmpty()
                                   ? QString()
                                   : tr("%1 The defaults hold until you save.").arg(problem));
    ui->problem_label->setVisible(!problem.isEmpty());
}

ShowSettings ShowSettingsDialog::shown() const
{
    ShowSettings settings;
    settings.alarms.weak_dbm = ui->weak_box->value();
    settings.alarms.clear_db = ui->clear_box->value();
    settings.alarms.minimum_ms = int(std::lround(ui->minimum_box->value() * 1000.0));
    settings.notifications = ui->notifications_box->isChecked();
    return settings;
}

void ShowSettingsDialog::save()
{
    QString problem;
    if (!m_monitor->save_settings(shown(), &problem)) {
        QMessageBox::critical(this, tr("Error"),
                              tr("The settings hold until the program ends, but could not be kept: %1").arg(problem),
                              QMessageBox::Ok);
    }
    accept();
}
