#pragma once

#include "image_chunks.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

class QIODevice;

// A firmware package is a zip archive holding, at its top level, the manifest
// fw.txt and the images wlan.bin (every device), txu.ldr and rxu.ldr (the DSP
// of each device type).

extern const QString MANIFEST_FILE;
extern const QString WLAN_IMAGE_FILE;
extern const QString TXU_IMAGE_FILE;
extern const QString RXU_IMAGE_FILE;

// The manifest's four lines, each without its fixed-width label and with its
// line feed kept (the last may lack one):
//   line 1, 8 label bytes: package name
//   line 2, 5 label bytes: WLAN version, a decimal number
//   line 3, 4 label bytes: DSP version for TXU devices, major.minor
//   line 4, 4 label bytes: DSP version for RXU devices, major.minor
struct Manifest
{
    QByteArray name;
    QByteArray wlan_version;
    QByteArray txu_dsp_version;
    QByteArray rxu_dsp_version;
    // How many of the four lines are there (a line is there from its first byte on).
    int lines = 0;

    // The DSP version line for a device type ("RXU", otherwise the TXU line).
    const QByteArray &dsp_version_for(const QString &device_type) const;
};

// Reads the manifest's lines from its content in text mode (CR LF reads as
// LF). A UTF-8 byte-order mark in front of line 1 (editors write one) is
// skipped; the label is counted from after it. An empty or missing manifest
// gives empty values, which no device accepts.
Manifest read_manifest(const QByteArray &content);

// A manifest value as text: up to its first NUL byte, as Latin-1.
QString manifest_text(const QByteArray &value);

// The package's WLAN version as a number: surrounding white space ignored,
// anything else that is not a decimal number gives 0.
uint package_wlan_version(const QByteArray &value);

struct DspVersion
{
    bool valid = false;  // both parts present and non-empty
    quint8 major = 0;
    quint8 minor = 0;
};
// "major.minor"; each part is taken as its low 8 bits. A value without a "."
// or with an empty part is not valid.
DspVersion package_dsp_version(const QByteArray &value);

// What the device reports of itself before an update.
struct DeviceFirmware
{
    quint16 wlan_version = 0;
    quint8 dsp_major = 0;
    quint8 dsp_minor = 0;
};

// Whether the package may be installed on the device: the device's WLAN
// version is 1600 to 1699, the package's is not older, the DSP major versions
// match, the device's DSP minor is not 0 and the package's is not older.
bool package_fits(const DeviceFirmware &device, const QByteArray &package_wlan,
                  const QByteArray &package_dsp);

// The first of those conditions that fails, in that order.
enum class PackageMisfit
{
    None,
    DeviceWlanOutOfRange,  // the device's WLAN version is not 1600 to 1699
    DeviceWlanNewer,       // the package's WLAN version is older than the device's
    DspNotAVersion,        // the package's DSP line is not major.minor
    DspMajorDiffers,
    DeviceDspMinorZero,
    DeviceDspNewer         // the package's DSP minor is older than the device's
};
PackageMisfit package_misfit(const DeviceFirmware &device, const QByteArray &package_wlan,
                             const QByteArray &package_dsp);

// The DSP image file name for a device type: txu.ldr, rxu.ldr, or empty for a
// type that is not known.
QString dsp_image_file(const QString &device_type);

// A package read from its archive: its manifest and its images, in memory.
// Nothing of it is ever written to disk, and what is sent is what was read
// and checked when the package was picked, whatever happens to the file
// afterwards. Several updates may share one package (through the shared
// pointer).
class FirmwarePackage
{
    Q_DECLARE_TR_FUNCTIONS(FirmwarePackage)

public:
    // Reads the package at `archive`, a path taken literally. The manifest,
    // if there is one, must be a regular file (a missing one reads as empty
    // values); the archive must be readable as the archive reader requires
    // (package_archive.h). On failure the reason goes to *error.
    static std::shared_ptr<FirmwarePackage> read(const QString &archive, QString *error);
    // The same from an open, seekable device; `archive_name` names it in messages.
    static std::shared_ptr<FirmwarePackage> read(QIODevice *archive, const QString &archive_name, QString *error);

    const Manifest &manifest() const { return m_manifest; }

    // Why the manifest does not give the package's four lines, naming fw.txt
    // and the package: it is missing, empty, saved as UTF-16, short of lines
    // or its WLAN version is no number. Empty when it has them. The firmware dialog reads such a manifest
    // all the same (its empty values fail the version check); tvc-update
    // refuses the package.
    const QString &manifest_problem() const { return m_manifest_problem; }

    // The image `file_name` of the package. One that is missing ("The
    // package spring.zip has no txu.ldr."), not a regular file or too large
    // to be sent is refused here, naming it.
    bool image(const QString &file_name, FirmwareImage *image, QString *error) const;
    // Whether the archive has an entry `file_name` (usable or not).
    bool has_file(const QString &file_name) const { return m_found.contains(file_name); }

private:
    FirmwarePackage() = default;

    QString m_archive_name;
    Manifest m_manifest;
    QString m_manifest_problem;
    QStringList m_found;  // the four files that the archive has
    QHash<QString, FirmwareImage> m_images;
    QHash<QString, QString> m_problems;
};

// Why the package at `path` can serve no device, in words for the user, or an
// empty text: every update needs the manifest's four lines and a WLAN image
// that can be sent (a DSP image fails only the devices of its type, later).
QString package_problem(const FirmwarePackage &package, const QString &path);
