#pragma once

#include "device_reading.h"
#include "history_clock.h"
#include "watch_options.h"

#include <QByteArray>
#include <QString>
#include <QVector>

struct AlarmRecord;
struct EventRecord;

// The version of the fields of tvc-watch's JSON lines and CSV rows; it grows
// when a field changes its meaning or goes.
constexpr int WATCH_SCHEMA = 1;

// Who an event or an alarm is about, as tvc-watch writes it.
struct WatchWho
{
    QString serial;
    QString name;
};

// tvc-watch's lines in one format: a JSON object per line, CSV rows under one
// header row, or words for people. Every line is whole and valid whatever a
// device's names hold.
class WatchLines
{
public:
    explicit WatchLines(WatchOptions::Format format)
        : m_format(format)
    {
    }

    // The CSV header row; empty in the other formats.
    QByteArray header() const;
    // The devices now. `stretch`: with the lowest, mean and highest level
    // since the last reading.
    QByteArray readings(const QVector<DeviceReading> &devices, const HistoryTime &now, bool stretch) const;
    QByteArray event(const EventRecord &event, const WatchWho &who) const;
    QByteArray alarm(const AlarmRecord &alarm, bool started, const WatchWho &who) const;

private:
    WatchOptions::Format m_format;
};
