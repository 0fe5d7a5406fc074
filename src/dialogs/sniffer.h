#pragma once

#include <QDialog>
#include <QTextCursor>

namespace Ui {
class Sniffer;
}

// Service dialog that switches the device's radio sniffer on and off and lists
// its reports, one line each. The main window creates it once and appends each
// report to it, shown or not.
class Sniffer : public QDialog
{
    Q_OBJECT

public:
    explicit Sniffer(QWidget *parent = nullptr);
    ~Sniffer() override;

    void append_line(const QString &html);
    void clear_lines();

    // Lines appended between these two are laid out together, once.
    void begin_lines();
    void end_lines();

private slots:
    void on_sniff_start_button_clicked();
    void on_sniff_stop_button_clicked();
    void on_sniffrep_start_button_clicked();

private:
    void start(quint8 mode);

    Ui::Sniffer *ui;
    QTextCursor batch;
};
