#include "fleet_update.h"

#include "console_report.h"
#include "run_report.h"
#include "update_engine.h"
#include "update_run.h"

#include <QCoreApplication>

// Keeps the record of one device up to date from what its run reports, and
// passes the report on to the device's plain lines where there are any.
class FleetUpdate::Tracker : public RunReport
{
public:
    Tracker(FleetUpdate *fleet, int index, RunReport *plain)
        : m_fleet(fleet)
        , m_index(index)
        , m_plain(plain)
    {
    }

    void step(const QString &text) override
    {
        if (m_plain)
            m_plain->step(text);
    }

    void module(const QString &text) override
    {
        if (m_plain)
            m_plain->module(text);
        // The image's own name is in the stage already; anything else is a notice.
        record().note = text == UPDATING_WLAN_TEXT || text == UPDATING_DSP_TEXT ? QString() : text;
        m_fleet->changed(true);
    }

    void versions(const UpdateVersions &v) override
    {
        if (m_plain)
            m_plain->versions(v);
        DeviceRecord &r = record();
        r.type = v.device_type;
        r.versions_known = true;
        r.before = v.device;
        r.package_wlan = ConsoleReport::printable(manifest_text(v.package_wlan).trimmed());
        r.package_dsp = ConsoleReport::printable(manifest_text(v.package_dsp).trimmed());
        r.stage = QObject::tr("checking");
        m_fleet->changed(true);
    }

    void image_started(const QString &label, qint64 size) override
    {
        if (m_plain)
            m_plain->image_started(label, size);
        DeviceRecord &r = record();
        r.stage = label;
        r.total = size;
        r.done = 0;
        r.seconds_left = -1;
        r.data_sent = true;
        m_fleet->changed(true);
    }

    void progress(qint64 done, qint64 seconds_left) override
    {
        if (m_plain)
            m_plain->progress(done, seconds_left);
        DeviceRecord &r = record();
        r.done = done;
        r.seconds_left = seconds_left;
        m_fleet->changed(false);
    }

    void image_done() override
    {
        if (m_plain)
            m_plain->image_done();
        DeviceRecord &r = record();
        r.total = 0;
        r.stage = QObject::tr("finishing");
        m_fleet->changed(true);
    }

    void error(const QString &sentence) override
    {
        if (m_plain)
            m_plain->error(sentence);
        record().reason = sentence;
    }

    QElapsedTimer clock;

private:
    DeviceRecord &record() { return m_fleet->m_records[m_index]; }

    FleetUpdate *m_fleet;
    int m_index;
    RunReport *m_plain;
};

FleetUpdate::FleetUpdate(const UpdateOptions &options, const QStringList &ports, std::FILE *out, std::FILE *err,
                         bool terminal, int width, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_out(out)
    , m_err(err)
    , m_terminal(terminal)
    , m_block(out, width)
{
    for (const QString &port : ports) {
        DeviceRecord record;
        record.port = port;
        record.stage = QObject::tr("starting");
        m_records.append(record);
    }
    for (int i = 0; i < m_records.size(); ++i) {
        RunReport *plain = nullptr;
        if (!terminal) {
            m_plain.push_back(std::make_unique<ConsoleReport>(out, err, false, ports.at(i) + QStringLiteral(": ")));
            plain = m_plain.back().get();
        }
        m_trackers.push_back(std::make_unique<Tracker>(this, i, plain));
        m_runs.push_back(std::make_unique<UpdateRun>(options, m_trackers.back().get()));
        connect(m_runs.back().get(), &UpdateRun::finished, this, [this, i](int status) { device_finished(i, status); });
    }
}

FleetUpdate::~FleetUpdate() = default;

void FleetUpdate::start(const std::shared_ptr<FirmwarePackage> &package, const FirmwareImage &raw)
{
    m_running = m_records.size();
    m_starting = true;
    if (m_terminal)
        changed(true);
    for (size_t i = 0; i < m_runs.size(); ++i) {
        m_trackers[i]->clock.start();
        m_runs[i]->start(m_records.at(int(i)).port, package, raw);
    }
    m_starting = false;
    if (m_running == 0)
        end();
}

void FleetUpdate::interrupt()
{
    for (const auto &run : m_runs)
        run->interrupt();
}

void FleetUpdate::changed(bool force)
{
    if (m_terminal && !m_ended)
        m_block.draw(m_records, force);
}

void FleetUpdate::device_finished(int index, int status)
{
    DeviceRecord &r = m_records[index];
    r.status = status;
    r.elapsed_ms = m_trackers[size_t(index)]->clock.elapsed();
    r.note.clear();
    changed(true);
    if (--m_running == 0 && !m_starting)
        end();
}

void FleetUpdate::end()
{
    if (m_ended)
        return;
    m_ended = true;
    QString text;
    if (m_terminal) {
        // The reasons were shown in the lines; standard error gets them too.
        QString errors;
        for (const DeviceRecord &r : m_records) {
            if (!r.reason.isEmpty())
                errors += QStringLiteral("%1: %2: %3\n").arg(QCoreApplication::applicationName(), r.port, r.reason);
        }
        std::fputs(errors.toLocal8Bit().constData(), m_err);
        std::fflush(m_err);
    }
    text += QLatin1Char('\n');
    for (const QString &line : summary_lines(m_records, m_options.check_only))
        text += line + QLatin1Char('\n');
    text += count_line(m_records, m_options.check_only) + QLatin1Char('\n');
    std::fputs(text.toLocal8Bit().constData(), m_out);
    std::fflush(m_out);
    emit finished(overall_status(m_records));
}
