#pragma once

#include <QObject>

class QSocketNotifier;

// The signals tvc-update answers, brought into the event loop through a pipe
// that the handlers write to:
//   SIGINT, SIGTERM  interrupted(): the user wants the run stopped. A SIGINT
//                    ignored when the tool starts stays ignored: a shell
//                    starts a script's background jobs that way, so that
//                    Ctrl+C stops the script and not them. SIGTERM still
//                    stops the run;
//   SIGWINCH         resized(): the terminal has a new size;
//   SIGHUP, SIGPIPE  nothing: a closed terminal or a reader that has gone
//                    must never leave a device half written, so the update
//                    goes on to its end and output that cannot be written is
//                    dropped. (They are caught, not ignored, so that the
//                    programs tvc-update starts get them as usual.)
class SignalWatch : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatch(QObject *parent = nullptr);
    ~SignalWatch() override;

    // Installs the handlers; false when the pipe cannot be made (then no
    // handler is installed).
    bool install();

    // Whether SIGINT or SIGTERM has come: known at once, also while the event
    // loop is held up (reading a package).
    static bool interrupt_requested();

    // How many times SIGINT or SIGTERM has come (the count may stop short
    // of the number of signals; it changes with each of them that is seen).
    static int interrupt_count();

signals:
    void interrupted();
    void resized();

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
    int m_interrupts_told = 0;  // interrupt_count() when interrupted() was last emitted
};
