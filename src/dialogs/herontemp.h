#pragma once

#include <QDialog>

namespace Ui {
class HeronTemp;
}

// Service dialog that reads the radio module's temperature on request. The
// main window creates it once and writes each reported value into it, shown
// or not.
class HeronTemp : public QDialog
{
    Q_OBJECT

public:
    explicit HeronTemp(QWidget *parent = nullptr);
    ~HeronTemp() override;

    void show_temperature(int value);

private slots:
    void on_htemp_ref_button_clicked();

private:
    Ui::HeronTemp *ui;
};
