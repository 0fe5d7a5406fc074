#include "show_log_window.h"
#include "ui_show_log_window.h"

#include "background_save.h"
#include "show_log.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QSaveFile>

ShowLogWindow::ShowLogWindow(ShowLog *log, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ShowLogWindow)
    , m_log(log)
    , m_filter(new ShowLogFilter(this))
{
    ui->setupUi(this);
    m_filter->setSourceModel(m_log);
    ui->log_table->setModel(m_filter);
    ui->log_table->verticalHeader()->hide();
    ui->log_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui->log_table->horizontalHeader()->setStretchLastSection(true);
    // A name of any length is cut short in its cell rather than widening it.
    ui->log_table->horizontalHeader()->setMaximumSectionSize(320);
    connect(ui->alarms_only_box, &QCheckBox::toggled, m_filter, &ShowLogFilter::set_alarms_only);
    connect(m_log, &QAbstractItemModel::rowsInserted, this, &ShowLogWindow::update_summary);
    connect(m_log, &QAbstractItemModel::rowsRemoved, this, &ShowLogWindow::update_summary);
    connect(m_log, &QAbstractItemModel::modelReset, this, &ShowLogWindow::update_summary);
    connect(m_log, &ShowLog::dropped_changed, this, &ShowLogWindow::update_summary);
    update_summary();
    ui->log_table->resizeColumnsToContents();
}

ShowLogWindow::~ShowLogWindow()
{
    delete ui;
}

void ShowLogWindow::update_summary()
{
    //: The show log's size: "12 entries since the program started."
    QString text = tr("%n entries since the program started.", nullptr, m_log->size());
    const QString dropped = m_log->dropped_text();
    if (!dropped.isEmpty())
        text += QLatin1Char(' ') + dropped;
    if (ui->summary_label->text() != text)
        ui->summary_label->setText(text);
}

QString ShowLogWindow::save(const QString &path, bool json_lines) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const bool written = json_lines ? m_log->write_json_lines(&file) : m_log->write_csv(&file);
    if (!written) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

void ShowLogWindow::save_as(bool json_lines)
{
    const QString path = json_lines
        ? QFileDialog::getSaveFileName(this, tr("Save as JSON Lines"),
                                       suggested_save_path(QStringLiteral("show-log-"), QStringLiteral(".jsonl")),
                                       tr("JSON lines (*.jsonl)"))
        : QFileDialog::getSaveFileName(this, tr("Save as CSV"),
                                       suggested_save_path(QStringLiteral("show-log-"), QStringLiteral(".csv")),
                                       tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    const QString error = save(path, json_lines);
    if (!error.isEmpty()) {
        QMessageBox::critical(this, tr("Error"),
                              tr("Could not save the show log to %1: %2").arg(QDir::toNativeSeparators(path), error),
                              QMessageBox::Ok);
    }
}

void ShowLogWindow::on_save_csv_button_clicked()
{
    save_as(false);
}

void ShowLogWindow::on_save_json_button_clicked()
{
    save_as(true);
}

void ShowLogWindow::on_close_button_clicked()
{
    close();
}
