#pragma once

#include <QByteArray>

#include <array>

// The six fields of a sniffer report (reply 151) in frame order: beacons A,
// audio A, beacons B, audio B (unsigned 16-bit), RSSI A, RSSI B (signed 16-bit).
std::array<int, 6> sniff_fields(const QByteArray &frame);
// The sniffer report that carries these fields.
QByteArray sniff_frame(const std::array<int, 6> &fields);
