#include "sniffer.h"
#include "ui_sniffer.h"

#include "accessibility.h"
#include "history_clock.h"
#include "report_fields.h"
#include "status_display.h"
#include "tvc.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QSaveFile>

namespace {
constexpr quint8 SNIFF_NORMAL = 2;
constexpr quint8 SNIFF_REPEATER = 3;

// A line of the view as plain text: the bold field names lose their tags.
QByteArray plain_line(const QString &html)
{
    QString text = html;
    text.remove(QStringLiteral("<strong>"));
    text.remove(QStringLiteral("</strong>"));
    return text.toUtf8();
}
} // namespace

Sniffer::Sniffer(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Sniffer)
{
    ui->setupUi(this);
    press_buttons_on_enter(this);
    // Also keeps no undo history of the lines, which would hold each one again.
    ui->sniffer_info->setMaximumBlockCount(VIEW_LINES);
}

Sniffer::~Sniffer()
{
    delete ui;
}

void Sniffer::append_report(const QByteArray &frame, quint8 sniff_mode)
{
    const qint64 now = history_now_ms();
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
    QByteArray text;
    ReportLog::Cursor cursor = lines.begin();
    Record record;
    while (cursor.next(&record)) {
        if (record.kind != RecordKind::Sniff)
            continue;
        const int mode = cursor.snapshot().value(LinkEvent::ReportMode);
        text += plain_line(sniffer_line(sniff_frame(record.fields), quint8(mode))) + '\n';
        if (text.size() >= (1 << 16)) {
            if (out->write(text) != text.size())
                return false;
            text.clear();
        }
    }
    return out->write(text) == text.size();
}

void Sniffer::on_save_button_clicked()
{
    const QString suggested = QDir::home().filePath(
        QStringLiteral("sniffer-%1.txt").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    const QString path = QFileDialog::getSaveFileName(this, tr("Save Sniffer Lines"), suggested,
                                                      tr("Text files (*.txt)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = file.open(QIODevice::WriteOnly) && save_lines(&file) && file.commit();
    QApplication::restoreOverrideCursor();
    if (!written) {
        QMessageBox::critical(this, tr("Error"), file.errorString(), QMessageBox::Ok);
        return;
    }
    if (lines.dropped() > 0) {
        QMessageBox::information(this, tr("Sniffer"),
                                 tr("The oldest lines no longer fitted in memory: the file holds the newest "
                                    "lines, from %1 on.")
                                     .arg(QDateTime::fromMSecsSinceEpoch(lines.first_ms())
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
