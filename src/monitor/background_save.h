#pragma once

#include "history_csv.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class QIODevice;
class QThread;

// The file a save suggests: `stem`, the local date and time (20240501-140307,
// in ASCII digits whatever the locale), `suffix`, in the user's home folder.
QString suggested_save_path(const QString &stem, const QString &suffix);

// Writes a file on a worker thread, so that the program goes on receiving
// while a long recording is saved. The file is written whole or not at all:
// the text goes to a temporary file that replaces it at the end. Progress and
// the end are signalled to the thread that started the save.
class BackgroundSave : public QObject
{
    Q_OBJECT

public:
    // Writes the text to `out`, telling `progress` how many records it wrote.
    // It runs on the worker thread: it must read only data no other thread
    // changes (a frozen copy of a log).
    using Writer = std::function<bool(QIODevice *out, const WriteProgress &progress)>;

    // `failure` is the whole sentence that says what could not be saved,
    // with %1 for the path and %2 for why ("Could not save the signal history
    // to %1: %2" gives "Could not save the signal history to /home/ann/x.csv:
    // No such file or directory"): each thing saved has a sentence of its
    // own, for languages whose words around it change with what it is.
    explicit BackgroundSave(const QString &failure, QObject *parent = nullptr);
    // Stops a save under way (its file is not written) and waits for it.
    ~BackgroundSave() override;

    bool busy() const { return m_thread != nullptr; }
    // Starts writing `path` with `writer`, which writes `records` records;
    // false while another save is under way.
    bool start(const QString &path, quint64 records, Writer writer);

signals:
    // The part written, 0 to 100, when it moves on.
    void progress(int percent);
    // The save has ended; `error` is empty when the file was written, else
    // says what could not be saved where, and why.
    void finished(const QString &path, const QString &error);

private:
    QString failure_text(const QString &path, const QString &reason) const;
    void thread_ended();

    QThread *m_thread = nullptr;
    QString m_failure;
    QString m_path;
    QString m_error;
    std::atomic<bool> m_stop{false};
};
