#include "sniffer.h"
#include "ui_sniffer.h"

#include "accessibility.h"
#include "history_clock.h"
#include "history_csv.h"
#include "number_text.h"
#include "report_fields.h"
#include "status_display.h"
#include "tvc.h"

#include <QDateTime>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
constexpr quint8 SNIFF_NORMAL = 2;
constexpr quint8 SNIFF_REPEATER = 3;
} // namespace

Sniffer::Sniffer(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Sniffer)
{
    ui->setupUi(this);
    press_buttons_on_enter(this);
    // Also keeps no undo history of the lines, which would hold each one again.
    ui->sniffer_info->setMaximumBlockCount(VIEW_LINES);
    connect(&save_job, &BackgroundSave::progress, this, &Sniffer::save_progress);
    connect(&save_job, &BackgroundSave::finished, this,
            [this](const QString &, const QString &error) { save_finished(error); });
}

Sniffer::~Sniffer()
{
    delete ui;
}

void Sniffer::append_report(const QByteArray &frame, quint8 sniff_mode)
{
    const HistoryTime time = history_now();
    lines.follow_wall_clock(time);
    const qint64 now = time.ms;
    if (lines.snapshot().value(LinkEvent::ReportMode) != sniff_mode)
        lines.add_event(now, LinkEvent::ReportMode, sniff_mode);
    lines.add_sniff(now, sniff_fields(frame));
    append_line(sniffer_line(frame, sniff_mode));
}

void Sniffer::append_line(const QString &html)
{
    ui->sniffer_info->appendHtml(html);
}

void Sniffer::clear_lines()
{
    ui->sniffer_info->clear();
    lines.clear();
}

bool Sniffer::save_lines(QIODevice *out) const
{
    return write_sniffer_lines(lines, out);
}

// The file is written from a copy of the lines on a worker thread, while
// reports go on arriving; the button tells how far it is.
void Sniffer::on_save_button_clicked()
{
    if (save_job.busy())
        return;
    const QString path = QFileDialog::getSaveFileName(this, tr("Save Sniffer Lines"),
                                                      suggested_save_path(QStringLiteral("sniffer-"),
                                                                          QStringLiteral(".txt")),
                                                      tr("Text files (*.txt)"));
    if (path.isEmpty())
        return;
    saved_lines = lines.freeze();
    const std::shared_ptr<const ReportLog> copy = saved_lines;
    save_job.start(path, copy->size(), [copy](QIODevice *out, const WriteProgress &progress) {
        return write_sniffer_lines(*copy, out, progress);
    });
    ui->save_button->setEnabled(false);
    save_progress(0);
}

void Sniffer::save_progress(int percent)
{
    if (save_job.busy())
        ui->save_button->setText(tr("Saving\u2026 %1").arg(percent_text(percent)));
}

void Sniffer::save_finished(const QString &error)
{
    const std::shared_ptr<const ReportLog> saved = std::move(saved_lines);
    ui->save_button->setText(tr("Save\u2026"));
    ui->save_button->setEnabled(true);
    if (!error.isEmpty()) {
        QMessageBox::critical(this, tr("Error"), error, QMessageBox::Ok);
        return;
    }
    if (saved && saved->dropped() > 0) {
        QMessageBox::information(this, tr("Sniffer"),
                                 tr("The oldest lines no longer fitted in memory: the file holds the newest "
                                    "lines, from %1 on.")
                                     .arg(QDateTime::fromMSecsSinceEpoch(saved->first_wall_ms())
                                              .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                                 QMessageBox::Ok);
    }
}

void Sniffer::begin_lines()
{
    batch = QTextCursor(ui->sniffer_info->document());
    batch.beginEditBlock();
}

void Sniffer::end_lines()
{
    if (batch.isNull())
        return;
    batch.endEditBlock();
    batch = QTextCursor();
}

void Sniffer::start(quint8 mode)
{
    if (auto *window = qobject_cast<TVC *>(parentWidget()))
        window->start_sniffer(mode);
    ui->sniff_start_button->setEnabled(false);
    ui->sniffrep_start_button->setEnabled(false);
}

void Sniffer::on_sniff_start_button_clicked()
{
    start(SNIFF_NORMAL);
}

void Sniffer::on_sniffrep_start_button_clicked()
{
    start(SNIFF_REPEATER);
}

void Sniffer::on_sniff_stop_button_clicked()
{
    if (auto *window = qobject_cast<TVC *>(parentWidget()))
        window->stop_sniffer();
    ui->sniff_start_button->setEnabled(true);
    ui->sniffrep_start_button->setEnabled(true);
}
