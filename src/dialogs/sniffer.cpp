#include "sniffer.h"
#include "ui_sniffer.h"

#include "accessibility.h"
#include "tvc.h"

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
}

Sniffer::~Sniffer()
{
    delete ui;
}

void Sniffer::append_line(const QString &html)
{
    ui->sniffer_info->appendHtml(html);
}

void Sniffer::clear_lines()
{
    ui->sniffer_info->clear();
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
