#pragma once

#include <QDialog>

namespace Ui {
class ShowLogWindow;
}
class ShowLog;
class ShowLogFilter;

// The show log: every alarm and event of every device since the program
// started, newest first, all of them or the alarms alone; saved whole as CSV
// or as JSON lines. It says when the oldest entries went.
class ShowLogWindow : public QDialog
{
    Q_OBJECT

public:
    explicit ShowLogWindow(ShowLog *log, QWidget *parent = nullptr);
    ~ShowLogWindow() override;

    // Writes the whole log to `path`, as JSON lines or as CSV; the error in
    // the user's words, empty when it went well.
    QString save(const QString &path, bool json_lines) const;

private slots:
    void on_save_csv_button_clicked();
    void on_save_json_button_clicked();
    void on_close_button_clicked();

private:
    void save_as(bool json_lines);
    void update_summary();

    Ui::ShowLogWindow *ui;
    ShowLog *m_log;
    ShowLogFilter *m_filter;
};
