#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

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
    // The next message box is answered with its button labelled `text`.
    void queue_button(const QString &text);

    // Called with each widget found, while it is still open, before it is
    // answered: the test's view of the program during a nested event loop.
    void set_inspector(std::function<void(const Seen &)> inspector) { m_inspector = std::move(inspector); }

    // Stops looking for modal widgets until resume(): its polling would
    // otherwise wake the event loop every 2 ms, as in a benchmark's run.
    void pause() { m_timer.stop(); }
    void resume() { m_timer.start(); }

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
        enum Kind { Accept, Cancel, Text, File, Button } kind;
        QString value;
    };
    QList<Answer> m_queue;
    QList<Seen> m_seen;
    QTimer m_timer;
    std::function<void(const Seen &)> m_inspector;
};
