#include "show_campaign.h"

#include "sim/frame.h"

#include <algorithm>

namespace show {

namespace {

bool is_run(Cause cause)
{
    return cause == Cause::Weak || cause == Cause::Blank || cause == Cause::Clear;
}

// The alarm a cause raises; Clear raises none.
bool alarm_of(Cause cause, AlarmKind *kind)
{
    switch (cause) {
    case Cause::NoLink:
    case Cause::Silence:
        *kind = AlarmKind::LinkLost;
        return true;
    case Cause::Unplugged:
        *kind = AlarmKind::Unplugged;
        return true;
    case Cause::Weak:
        *kind = AlarmKind::WeakSignal;
        return true;
    case Cause::Blank:
        *kind = AlarmKind::NoReading;
        return true;
    case Cause::Clear:
        break;
    }
    return false;
}

// A level the device sent: 0 is no reading, and so is the bars' floor.
bool no_reading(int level)
{
    return level == 0 || level == -80;
}

} // namespace

const char *cause_name(Cause cause)
{
    static const char *const names[] = {"link state 1", "silence", "unplugged", "weak", "no reading", "clear"};
    return names[int(cause)];
}

qint64 Spell::length_ms() const
{
    return (end_ms >= 0 ? end_ms : last_ms) - start_ms;
}

qint64 minimum_for(Cause cause, const AlarmSettings &settings)
{
    switch (cause) {
    case Cause::Silence:
        return AlarmRules::SILENCE_MS;
    case Cause::Weak:
    case Cause::Blank:
    case Cause::Clear:
        return settings.minimum_ms;
    case Cause::NoLink:
    case Cause::Unplugged:
        break;
    }
    return 0;
}

CauseLog::CauseLog(int devices, const AlarmSettings &settings)
    : m_settings(settings)
    , m_devices(size_t(devices))
{
}

void CauseLog::begin(int device, Cause cause, qint64 ms)
{
    Device &d = m_devices[size_t(device)];
    if (d.open[size_t(cause)] >= 0)
        return;
    d.open[size_t(cause)] = int(m_spells.size());
    Spell spell;
    spell.device = device;
    spell.cause = cause;
    spell.start_ms = ms;
    spell.last_ms = ms;
    m_spells.push_back(spell);
}

void CauseLog::extend(int device, Cause cause, qint64 ms)
{
    begin(device, cause, ms);
    m_spells[size_t(m_devices[size_t(device)].open[size_t(cause)])].last_ms = ms;
}

void CauseLog::close(int device, Cause cause, qint64 ms)
{
    int &open = m_devices[size_t(device)].open[size_t(cause)];
    if (open < 0)
        return;
    Spell &spell = m_spells[size_t(open)];
    spell.end_ms = ms;
    if (!is_run(cause))
        spell.last_ms = ms;
    open = -1;
}

void CauseLog::close_runs(int device, qint64 ms)
{
    for (Cause cause : {Cause::Weak, Cause::Blank, Cause::Clear})
        close(device, cause, ms);
}

void CauseLog::set_link(int device, int link, qint64 ms)
{
    Device &d = m_devices[size_t(device)];
    if (link == 1 && d.link != 1) {
        begin(device, Cause::NoLink, ms);
        close_runs(device, ms);
    } else if (link != 1 && d.link == 1) {
        close(device, Cause::NoLink, ms);
    }
    d.link = link;
}

// A silence of signal reports while they are asked for: from a second on it
// is noted; from SILENCE_MS on the link counts as lost from the last report,
// and the last levels went stale then, which ends the runs of reports.
void CauseLog::check_gap(int device, qint64 ms)
{
    Device &d = m_devices[size_t(device)];
    if (!d.asked || !d.plugged || d.heard < 0 || ms - d.heard < 1000)
        return;
    Spell spell;
    spell.device = device;
    spell.cause = Cause::Silence;
    spell.start_ms = d.heard;
    spell.last_ms = ms;
    spell.end_ms = ms;
    m_spells.push_back(spell);
    if (ms - d.heard >= AlarmRules::SILENCE_MS)
        close_runs(device, d.heard + AlarmRules::SILENCE_MS);
    // Counted once.
    d.heard = ms;
}

void CauseLog::plugged(int device, qint64 ms)
{
    close(device, Cause::Unplugged, ms);
    m_devices[size_t(device)].plugged = true;
}

void CauseLog::unplugged(int device, qint64 ms)
{
    check_gap(device, ms);
    close_runs(device, ms);
    close(device, Cause::NoLink, ms);
    Device &d = m_devices[size_t(device)];
    d = Device();
    begin(device, Cause::Unplugged, ms);
}

void CauseLog::asked(int device, bool on, qint64 ms)
{
    check_gap(device, ms);
    Device &d = m_devices[size_t(device)];
    if (on && !d.asked)
        d.heard = ms;
    d.asked = on;
    if (!on) {
        close_runs(device, ms);
        d.heard = -1;
    }
}

void CauseLog::sent(int device, const QByteArray &frame, qint64 ms)
{
    Device &d = m_devices[size_t(device)];
    const quint8 code = sim::byteAt(frame, 7);
    const quint8 b8 = sim::byteAt(frame, 8);
    const quint8 b9 = sim::byteAt(frame, 9);
    if (code == sim::rpl::DeviceInfo) {
        d.repeater = (b8 & 0x08) != 0;
        const bool txu = (b8 & 0x04) != 0;
        set_link(device, txu ? (b9 & 0x0F) : b9, ms);
        return;
    }
    if (code == sim::rpl::LinkState) {
        set_link(device, b8, ms);
        return;
    }
    if (code != sim::rpl::Signal || !d.asked)
        return;
    check_gap(device, ms);
    d.heard = ms;
    if (d.link != 2 && d.link != 3) {
        close_runs(device, ms);
        return;
    }
    QVector<int> levels{sim::s16At(frame, 8)};
    if (d.repeater)
        levels.append(sim::s16At(frame, 10));
    const bool blank = std::any_of(levels.begin(), levels.end(), no_reading);
    const bool weak = std::any_of(levels.begin(), levels.end(),
                                  [&](int level) { return !no_reading(level) && level <= m_settings.weak_dbm; });
    const bool clear = std::all_of(levels.begin(), levels.end(), [&](int level) {
        return !no_reading(level) && level >= m_settings.weak_dbm + m_settings.clear_db;
    });
    if (blank)
        extend(device, Cause::Blank, ms);
    else
        close(device, Cause::Blank, ms);
    if (weak)
        extend(device, Cause::Weak, ms);
    else
        close(device, Cause::Weak, ms);
    if (clear)
        extend(device, Cause::Clear, ms);
    else
        close(device, Cause::Clear, ms);
}

void CauseLog::finish(qint64 ms)
{
    for (int device = 0; device < int(m_devices.size()); ++device) {
        check_gap(device, ms);
        for (int open : m_devices[size_t(device)].open) {
            if (open >= 0)
                m_spells[size_t(open)].last_ms = ms;
        }
    }
}

namespace {

// The spells of each device and cause, by start and by end, and the alarms
// of each device and kind by start, for quick look-ups.
class Index
{
public:
    Index(const std::vector<Spell> &spells, const std::vector<Told> &alarms)
    {
        for (const Spell &spell : spells) {
            grow(spell.device);
            m_by_start[size_t(spell.device)][size_t(spell.cause)].push_back(&spell);
            if (spell.end_ms >= 0)
                m_by_end[size_t(spell.device)][size_t(spell.cause)].push_back(&spell);
        }
        for (const Told &told : alarms) {
            grow(told.device);
            m_alarms[size_t(told.device)][size_t(told.kind)].push_back(&told);
        }
        for (size_t device = 0; device < m_by_start.size(); ++device) {
            for (auto &list : m_by_start[device])
                std::sort(list.begin(), list.end(), [](const Spell *a, const Spell *b) { return a->start_ms < b->start_ms; });
            for (auto &list : m_by_end[device])
                std::sort(list.begin(), list.end(), [](const Spell *a, const Spell *b) { return a->end_ms < b->end_ms; });
            for (auto &list : m_alarms[device])
                std::sort(list.begin(), list.end(), [](const Told *a, const Told *b) { return a->start_ms < b->start_ms; });
        }
    }

    // Whether a spell of `cause` starts (or ends) within `tolerance` of `at`
    // and passes `test`.
    template <class Test>
    bool starts_near(int device, Cause cause, qint64 at, qint64 tolerance, Test test) const
    {
        return within(m_by_start, device, cause, at - tolerance, at + tolerance, test,
                      [](const Spell *s) { return s->start_ms; });
    }
    template <class Test>
    bool ends_near(int device, Cause cause, qint64 at, qint64 tolerance, Test test) const
    {
        return ends_within(device, cause, at - tolerance, at + tolerance, test);
    }
    template <class Test>
    bool ends_within(int device, Cause cause, qint64 from, qint64 to, Test test) const
    {
        return within(m_by_end, device, cause, from, to, test, [](const Spell *s) { return s->end_ms; });
    }

    // The alarm of `kind` that ran at `at`, give or take `tolerance`, if any.
    const Told *running_at(int device, AlarmKind kind, qint64 at, qint64 tolerance) const
    {
        if (size_t(device) >= m_alarms.size())
            return nullptr;
        const auto &list = m_alarms[size_t(device)][size_t(kind)];
        auto it = std::upper_bound(list.begin(), list.end(), at + tolerance,
                                   [](qint64 t, const Told *told) { return t < told->start_ms; });
        // Alarms of one kind follow one another: the last two that began by then.
        for (int back = 0; back < 2 && it != list.begin(); ++back) {
            --it;
            if ((*it)->end_ms < 0 || (*it)->end_ms >= at - tolerance)
                return *it;
        }
        return nullptr;
    }

private:
    using Lists = std::vector<std::array<std::vector<const Spell *>, CAUSES>>;

    void grow(int device)
    {
        if (size_t(device) >= m_by_start.size()) {
            m_by_start.resize(size_t(device) + 1);
            m_by_end.resize(size_t(device) + 1);
            m_alarms.resize(size_t(device) + 1);
        }
    }

    template <class Test, class Key>
    static bool within(const Lists &lists, int device, Cause cause, qint64 from, qint64 to, Test test, Key key)
    {
        if (size_t(device) >= lists.size())
            return false;
        const auto &list = lists[size_t(device)][size_t(cause)];
        auto it = std::lower_bound(list.begin(), list.end(), from,
                                   [&](const Spell *s, qint64 t) { return key(s) < t; });
        for (; it != list.end() && key(*it) <= to; ++it) {
            if (test(**it))
                return true;
        }
        return false;
    }

    Lists m_by_start;
    Lists m_by_end;
    std::vector<std::array<std::vector<const Told *>, ALARM_KINDS>> m_alarms;
};

} // namespace

Verdict judge(const std::vector<Spell> &spells, const std::vector<Told> &alarms, const AlarmSettings &settings,
              qint64 tolerance_ms, qint64 reopen_ms, qint64 within_ms)
{
    Verdict verdict;
    const auto fault = [&](const QString &text) {
        if (verdict.faults.size() < 20)
            verdict.faults << text;
        ++verdict.fault_count;
    };
    const Index index(spells, alarms);
    const auto lasted = [&](const Spell &spell) {
        return spell.length_ms() >= minimum_for(spell.cause, settings) - tolerance_ms;
    };

    // Every cause that lasted its minimum time raised its alarm in time: an
    // alarm of its kind ran at that moment, told no later than allowed.
    for (const Spell &spell : spells) {
        AlarmKind kind;
        if (!alarm_of(spell.cause, &kind))
            continue;
        const qint64 minimum = minimum_for(spell.cause, settings);
        if (spell.length_ms() < minimum + tolerance_ms)
            continue;
        Tally &tally = verdict.kinds[size_t(kind)];
        ++tally.causes;
        const qint64 due = spell.start_ms + minimum;
        const Told *found = index.running_at(spell.device, kind, due, tolerance_ms);
        const QString what = QStringLiteral("device %1: %2 from %3 ms for %4 ms")
                                 .arg(spell.device)
                                 .arg(QLatin1String(cause_name(spell.cause)))
                                 .arg(spell.start_ms)
                                 .arg(spell.length_ms());
        if (!found) {
            ++tally.missed;
            fault(what + QStringLiteral(" raised no %1").arg(QLatin1String(alarm_id(kind))));
            continue;
        }
        const qint64 delay = std::max<qint64>(0, found->raised_ms - due);
        if (delay > within_ms) {
            ++tally.late;
            fault(what + QStringLiteral(" raised %1 %2 ms late").arg(QLatin1String(alarm_id(kind))).arg(delay));
            continue;
        }
        ++tally.raised_in_time;
        if (qAbs(found->start_ms - spell.start_ms) <= tolerance_ms)
            tally.delay_ms << double(delay);
    }

    // Every alarm began with a cause of its kind that lasted long enough, and
    // ended where a cause of its ended or a stronger alarm took over.
    const auto any = [](const Spell &) { return true; };
    for (const Told &told : alarms) {
        Tally &tally = verdict.kinds[size_t(told.kind)];
        ++tally.alarms;
        const int device = told.device;
        const qint64 start = told.start_ms;
        const qint64 end = told.end_ms;
        bool caused = false;
        bool end_explained = false;
        switch (told.kind) {
        case AlarmKind::LinkLost:
            caused = index.starts_near(device, Cause::NoLink, start, tolerance_ms, lasted)
                || index.starts_near(device, Cause::Silence, start, tolerance_ms, lasted);
            end_explained = index.ends_near(device, Cause::NoLink, end, tolerance_ms, any)
                || index.ends_near(device, Cause::Silence, end, tolerance_ms, lasted);
            break;
        case AlarmKind::Unplugged:
            caused = index.starts_near(device, Cause::Unplugged, start, tolerance_ms, lasted);
            // It ends when the port is opened again, which takes a while.
            end_explained = index.ends_within(device, Cause::Unplugged, end - reopen_ms - tolerance_ms,
                                              end + tolerance_ms, any);
            break;
        case AlarmKind::WeakSignal:
            caused = index.starts_near(device, Cause::Weak, start, tolerance_ms, lasted);
            end_explained = index.starts_near(device, Cause::Clear, end, tolerance_ms, lasted);
            break;
        case AlarmKind::NoReading:
            caused = index.starts_near(device, Cause::Blank, start, tolerance_ms, lasted);
            end_explained = index.ends_near(device, Cause::Blank, end, tolerance_ms, any);
            break;
        }
        // A stronger alarm took over: the cable went, or the link was lost.
        if (told.kind != AlarmKind::Unplugged)
            end_explained = end_explained || index.starts_near(device, Cause::Unplugged, end, tolerance_ms, any);
        if (told.kind == AlarmKind::WeakSignal || told.kind == AlarmKind::NoReading) {
            // ... when the levels went stale with the silence.
            end_explained = end_explained || index.starts_near(device, Cause::NoLink, end, tolerance_ms, any)
                || index.starts_near(device, Cause::Silence, end - AlarmRules::SILENCE_MS, tolerance_ms,
                                     [tolerance_ms](const Spell &s) {
                                         return s.length_ms() >= AlarmRules::SILENCE_MS - tolerance_ms;
                                     });
        }
        const QString what =
            QStringLiteral("device %1: %2 from %3 ms").arg(device).arg(QLatin1String(alarm_id(told.kind))).arg(start);
        if (!caused) {
            ++tally.without_cause;
            fault(what + QStringLiteral(" without a cause"));
        }
        if (end >= 0) {
            ++tally.ended;
            if (!end_explained) {
                ++tally.wrong_end;
                fault(what + QStringLiteral(" ended at %1 ms without a reason").arg(end));
            }
        }
    }
    return verdict;
}

} // namespace show
