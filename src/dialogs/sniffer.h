#pragma once

#include "background_save.h"
#include "report_log.h"

#include <QDialog>
#include <QTextCursor>

namespace Ui {
class Sniffer;
}
class QIODevice;

// Service dialog that switches the device's radio sniffer on and off and lists
// its reports, one line each. The main window creates it once and appends each
// report to it, shown or not. The view keeps the newest lines; every report
// since the view was last cleared is kept apart, compactly, for "Save…".
class Sniffer : public QDialog
{
    Q_OBJECT

public:
    explicit Sniffer(QWidget *parent = nullptr);
    ~Sniffer() override;

    // Lines the view keeps; older ones leave it (but not the saved lines).
    static constexpr int VIEW_LINES = 10000;

    // One report, shown in the format of the sniffer mode last started.
    void append_report(const QByteArray &frame, quint8 sniff_mode);
    void clear_lines();
    // Writes every report line since the last clear, as plain text, one a line.
    bool save_lines(QIODevice *out) const;
    // Whether "Save…" is writing its file (on a worker thread).
    bool saving() const { return save_job.busy(); }

    // Lines appended between these two are laid out together, once.
    void begin_lines();
    void end_lines();

private slots:
    void on_sniff_start_button_clicked();
    void on_sniff_stop_button_clicked();
    void on_sniffrep_start_button_clicked();
    void on_save_button_clicked();

private:
    void start(quint8 mode);
    void append_line(const QString &html);
    void save_progress(int percent);
    void save_finished(const QString &error);

    Ui::Sniffer *ui;
    QTextCursor batch;
    ReportLog lines;
    BackgroundSave save_job{tr("Could not save the sniffer lines to %1: %2")};
    // The lines being saved: what the file will hold.
    std::shared_ptr<const ReportLog> saved_lines;
};
