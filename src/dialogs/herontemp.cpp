#include "herontemp.h"
#include "ui_herontemp.h"

#include "accessibility.h"
#include "tvc.h"

HeronTemp::HeronTemp(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::HeronTemp)
{
    ui->setupUi(this);
    press_buttons_on_enter(this);
}

HeronTemp::~HeronTemp()
{
    delete ui;
}

void HeronTemp::show_temperature(int value)
{
    ui->htemp_val->setText(QString::number(value));
}

void HeronTemp::on_htemp_ref_button_clicked()
{
    if (auto *window = qobject_cast<TVC *>(parentWidget()))
        window->request_temperature();
}
