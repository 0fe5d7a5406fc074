#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// Answers the program's modal boxes while a test drives it: message boxes, text
// input dialogs and file dialogs that are the application's active modal widget.
// Every answered widget is recorded. With no answer queued, a box is accepted
// with its default (or only) button, and a dialog is accepted as it stands.
class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    struct Seen
    {
        QString kind;  // "QMessageBox", "QInputDialog" or "QFileDialog"
        QString title;
        QString text;  // box text, or input dialog label
        int icon = 0;  // QMessageBox::Icon
    };

    explicit ModalAnswerer(QObject *parent = nullptr);

    // The next input dialog gets `text` and is accepted.
    void queue_text(const QString &text);
    // The next file dialog selects `path` and is accepted.
    void queue_file(const QString &path);
    // The next modal widget is cancelled.
    void queue_cancel();

    // Holds answers back (for example to observe a box while it is open).
    void set_paused(bool paused) { m_paused = paused; }

    const QList<Seen> &seen() const { return m_seen; }
    int count() const { return m_seen.size(); }
    // Titles of the answered boxes, in order.
    QStringList titles() const;
    void clear() { m_seen.clear(); }

signals:
    void answered();

private:
    void poll();

    struct Answer
    {
        enum Kind { Accept, Cancel, Text, File } kind;
        QString value;
    };
    QList<Answer> m_queue;
    QList<Seen> m_seen;
    QTimer m_timer;
    bool m_paused = false;
};
