#pragma once

// A random fault campaign over firmware updates: what each run's faults are
// (drawn from its seed), what the simulator's log says they did, how a run
// ended, and the table of many runs. The runs themselves are made elsewhere
// (tvc-update against tvc-sim in bench_campaign; the same mix and the same
// classes serve any other face of the update).

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace campaign {

// The faults of one run. A mix drawn from a seed always comes out the same;
// the simulator gets the seed too, for its own random choices.
struct Mix
{
    quint32 seed = 0;
    bool fault_free = false;

    // Replies stop after a random byte now and then, and go on after a pause.
    double pause_chance = 0;
    int pause_min_ms = 41;
    int pause_max_ms = 0;
    // Replies written in pieces of 1 to piece_max bytes, piece_pause_ms apart.
    int piece_max = 0;
    int piece_pause_ms = 0;
    // Bytes lost, inserted or inverted anywhere in a reply; a stray byte or a
    // burst of noise after one: the chance per reply.
    double drop_chance = 0;
    double insert_chance = 0;
    double flip_chance = 0;
    double stray_chance = 0;
    double burst_chance = 0;
    // Each chunk acknowledged twice with this chance.
    double duplicate_ack_chance = 0;
    // A slow device: each acknowledgement and the finish take up to this long.
    int ack_delay_max_ms = 0;
    int finish_delay_max_ms = 0;
    // The device streams reports through the whole update, as one left
    // reporting by the main window would: 1 signal reports, 2 or 3 sniffer
    // reports, every report_period_ms; the faults above hit them too.
    int report_mode = 0;
    int report_period_ms = 10;
    // The tool stopped (SIGSTOP) at_ms after it started, for ms.
    struct Stop
    {
        int at_ms;
        int ms;
    };
    QList<Stop> stops;

    // A mix given as the simulator's options instead (no stops).
    QStringList given_arguments;

    // The simulator's options for these faults (not those for where it
    // writes its log and images).
    QStringList simulator_arguments() const;
    // One line per kind of fault, for a reader.
    QStringList describe() const;
};

// The mix of run `seed`: each kind of fault is there or not, and as strong as
// the seed says.
Mix draw_mix(quint32 seed);
// No fault at all, for the time an update takes.
Mix fault_free_mix();
// The faults of `arguments` (simulator options), the same in every run.
Mix given_mix(const QStringList &arguments);

// The bytes that carry a reply's meaning are 0 to 7 + L: start, lengths,
// unit, code and arguments. The replies the update acts on: the device type,
// the versions, the acknowledgements and the confirmation of the finish.
bool update_acts_on(int reply_code);
// The replies the main window acts on while it shows a device: the device
// information, the link state, audio, phantom power, mute, the channel and
// the signal reports.
bool window_acts_on(int reply_code);
using ActsOn = bool (*)(int reply_code);

// What the simulator's log tells of a run.
struct SimLog
{
    QStringList faults;          // its lines on faults, in order (line faults, duplicates)
    bool hit_meaningful = false; // a fault hit a meaningful byte of a reply the update acts on
    QStringList hits;            // those lines
    int paused_ms = 0;           // the pauses inside replies, summed
    int data_frames = 0;         // firmware data frames the device received
    QStringList violations;      // what the device found wrong in what it received
    QStringList last_exchange;   // the last request and what followed it, in a few words
    QString last_request;        // its description
    QStringList recent_faults;   // the faults on the answers to the last two requests, in short
};
// `acts_on` tells the replies whose meaningful bytes count.
SimLog read_sim_log(const QString &text, ActsOn acts_on = update_acts_on);

// Whether one "line fault in ..." line hit a meaningful byte of a reply that
// `acts_on` (the update, unless told).
bool fault_hits_meaningful(const QString &line, ActsOn acts_on = update_acts_on);

enum class Outcome
{
    Identical,      // exit 0 and the device holds the package's images
    HonestFailure,  // a documented failure that says "not complete" or "nothing was sent", truly
    OtherFailure,   // a documented failure without those words, or whose words are not true
    FalseSuccess,   // exit 0 without the images; or a failure that claims success
    Hang,           // did not end, and was killed
    Crash           // killed by a signal, or an undocumented exit status
};
constexpr int OUTCOMES = 6;
const char *outcome_name(Outcome outcome);

// How a run of the update ended, as seen from outside.
struct Ending
{
    bool killed_for_hanging = false;
    bool killed_by_signal = false;  // a signal it did not get from the campaign
    int signal = 0;
    int status = -1;
    QString words;                  // everything it printed
};

// The images the device wrote (unit number and contents, in the order
// written) against the package's: every image the package has for the
// device written once or more, all of them equal.
bool images_identical(const QList<QPair<int, QByteArray>> &written, const QMap<int, QByteArray> &expected,
                      QString *why);
// The images tvc-sim wrote into `dir` (unit<u>-<n>.bin).
QList<QPair<int, QByteArray>> images_in(const QString &dir);

Outcome classify(const Ending &ending, bool images_identical, int data_frames, QString *why);

// How an update through the firmware dialog ended: the boxes the dialog
// showed (title and text, in order) and its module line at the end. The
// completion box is titled "Firmware Update"; a failure says "not complete"
// or "nothing was sent" in a box or on the module line, and a refusal is the
// "Version Mismatch" box (nothing is sent after it).
struct DialogEnding
{
    bool killed_for_hanging = false;
    bool killed_by_signal = false;
    int signal = 0;
    int status = -1;   // the run's exit status: 0 when it saw the dialog to its end
    QList<QPair<QString, QString>> boxes;
    QString module_line;
};
Outcome classify_dialog(const DialogEnding &ending, bool images_identical, int data_frames, QString *why);

struct RunRecord
{
    Mix mix;
    Ending ending;
    SimLog log;
    Outcome outcome = Outcome::Crash;
    QString why;
    double seconds = 0;    // the update's own time, start to end
    int stopped_ms = 0;    // how long the campaign held the tool stopped
    QString tool_output;
};

// Many runs, and the fault-free ones that time them.
class Summary
{
public:
    void add(const RunRecord &run);
    void add_fault_free(const RunRecord &run);

    double base_seconds() const;
    // A run's time less the median fault-free time.
    double extra_seconds(const RunRecord &run) const;
    // The runs that break a goal: a false success, a hang, a crash, a
    // failure without its words, or a run that faults spared and that did not
    // end byte-identical; and fault-free runs that did not.
    QList<const RunRecord *> failing() const;
    bool check_passed() const { return failing().isEmpty(); }

    // The markdown tables: outcomes, extra time, goals, the failing seeds.
    QString table() const;
    int runs() const { return int(m_runs.size()); }

private:
    QList<RunRecord> m_runs;
    QList<RunRecord> m_fault_free;
};

// One run's story: its mix, the faults the simulator made, the tool's
// output, how it ended and why.
QString report(const RunRecord &run, double base_seconds);
// The median and the p-th percentile (0..100) of some values; 0 for none.
double percentile(QList<double> values, double p);

} // namespace campaign
