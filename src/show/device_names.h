#pragma once

#include "text_fields.h"

#include <QHash>
#include <QString>

// The names users give their devices ("Lead vocal", "Stage left"). A name
// belongs to the device, not to the port it is on: it is kept under the
// device's key, the serial number of its USB bridge where the bridge has one,
// else the port's stable name under /dev/serial/by-id, else the port.

// Where the system keeps a stable link for each USB serial port.
extern const QString SERIAL_BY_ID_FOLDER;

// The serial number the system reports for the bridge of `port`; empty when
// it has none.
QString bridge_serial_number(const QString &port);
// The name of the link in `folder` that leads to `port` (a port name such as
// ttyUSB0, or a path); empty when none does. Links are tried in name order.
QString stable_port_name(const QString &port, const QString &folder = SERIAL_BY_ID_FOLDER);
// The key of a device from what is known of it: "serial:…", "by-id:…" or "port:…".
QString device_key(const QString &serial, const QString &stable_name, const QString &port);
// The key of the device on `port` now.
QString device_key_of_port(const QString &port);

// A name as a view may show it: control characters and line breaks become
// spaces or U+FFFD, characters that turn the direction of the text around it
// go, and it is cut after `max_chars` characters at a character's end (a view
// elides what does not fit).
QString name_for_display(const QString &name, int max_chars = 120);

// The names, kept in the user's settings file. A file that cannot be read
// gives no names, and stays as it is until a name is saved.
class DeviceNames
{
public:
    // Longer names are cut to this many characters (at a character's end).
    static constexpr int MAX_NAME = 1000;

    explicit DeviceNames(const QString &file);

    // The device's name, empty when it has none.
    QString name(const QString &key) const { return m_names.value(key); }
    const QHash<QString, QString> &names() const { return m_names; }
    // Names the device, or takes its name away (an empty or blank name), and
    // writes the file; half characters become U+FFFD. False, with problem(), when it could not be written;
    // the name holds for this run all the same.
    bool set_name(const QString &key, const QString &name);
    // Why the file could not be read, or written at the last try; empty when
    // all went well.
    QString problem() const { return m_problem; }

private:
    QString m_file;
    QHash<QString, QString> m_names;
    QString m_problem;
};
