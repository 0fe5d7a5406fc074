#pragma once

#include <QStringList>

class FirmwarePackage;

// What tvc-update --check says of a package's images, so that a service bench
// can compare them with a published list: a line per image, its name, size
// and SHA-256 ("wlan.bin: 120000 bytes, SHA-256 9f86d0..."), or why it
// cannot be used.
QStringList image_lines(const FirmwarePackage &package);
