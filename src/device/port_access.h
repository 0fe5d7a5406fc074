#pragma once

#include <QString>

class QSerialPort;

// Whether this process lacks the permission to open the port file at
// `location` (a device path) for reading and writing. A file that does not
// exist, or any other failure to look, is no lack of permission.
bool port_access_denied(const QString &location);

// The sentence that tells a user without access to serial ports how to get
// it.
QString port_access_hint();

// What to tell beside the port's own error description after `port` could not
// be opened: how to get access where permission was lacking, or who holds the
// port where another program has locked it; empty otherwise.
QString open_failure_advice(const QSerialPort &port);
