#pragma once

#include <QString>

#include <functional>

class DeviceRoster;
struct DeviceState;

// The words that name a device to the user, the same in every view: the main
// window, the overview of all devices, the firmware dialog, the history.

// The device's role as the main window writes it, in plain text ("TXU Client
// (Slot 1)").
QString role_words(const DeviceState &state);

// Where the views learn the name the user gave the device on a port (empty:
// none). The program sets it once; without it no device has a name.
void set_device_name_source(std::function<QString(const QString &port)> source);
// The name of the device on `port`, as a view may show it (one line, without
// characters that turn the text around it); empty when it has none.
QString device_name(const QString &port);
// `text` about the device on `port`, after the device's name where it has one:
// "Lead vocal: ttyUSB0".
QString with_device_name(const QString &port, const QString &text);

// The port and the USB bridge's serial number: "ttyUSB0, serial number
// 0001"; the port alone where the serial number is empty.
QString port_words(const QString &port, const QString &serial);

// The device as a whole: "TXU Client (Slot 1) on ttyUSB0, serial number
// 0001", after its name where it has one; without the role where it is empty (not told yet), without the
// serial number where the bridge has none.
QString device_description(const QString &role, const QString &port, const QString &serial);

// The device on `port` as above: the role its session has been told, and the
// serial number `roster` saw on that port.
QString device_description(const DeviceRoster &roster, const QString &port);

// The device's firmware versions as far as it reported them: "WLAN 1660,
// DSP 3.13"; empty while neither is known.
QString firmware_words(const DeviceState &state);
