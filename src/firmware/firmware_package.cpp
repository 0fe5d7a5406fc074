#include "firmware_package.h"

#include <QCoreApplication>

#include "package_archive.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

const QString MANIFEST_FILE = QStringLiteral("fw.txt");
const QString WLAN_IMAGE_FILE = QStringLiteral("wlan.bin");
const QString TXU_IMAGE_FILE = QStringLiteral("txu.ldr");
const QString RXU_IMAGE_FILE = QStringLiteral("rxu.ldr");

namespace {

constexpr uint DEVICE_WLAN_MIN = 1600;
constexpr uint DEVICE_WLAN_MAX = 1699;

const char UTF8_BOM[] = "\xEF\xBB\xBF";

// Manifest lines longer than this are not read further; no real line comes near.
constexpr qint64 MANIFEST_LINE_LIMIT = 4096;

QByteArray line_without_label(QIODevice &file, int label)
{
    QByteArray line = file.readLine(MANIFEST_LINE_LIMIT);
    if (!line.endsWith('\n')) {
        // Skip the rest of an overlong line, so that the next read starts a line.
        while (!file.atEnd() && !file.readLine(MANIFEST_LINE_LIMIT).endsWith('\n')) {
        }
    }
    line.remove(0, label);
    return line;
}

QString missing_file_text(const QString &archive_name, const QString &file_name)
{
    return FirmwarePackage::tr("The package %1 has no %2.").arg(archive_name, file_name);
}

// A manifest value as a message shows it: control characters as "?", and
// cut short where a line would not hold it.
QString shown_value(QString value)
{
    constexpr int LONGEST = 40;
    if (value.size() > LONGEST)
        value = value.left(LONGEST) + QChar(0x2026);
    for (QChar &c : value) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return value;
}

// What keeps a manifest from giving the package's four lines; empty when it gives them.
QString manifest_problem_text(const PackageFile &file, const Manifest &manifest, const QString &archive_name)
{
    if (!file.found)
        return missing_file_text(archive_name, MANIFEST_FILE);
    if (file.bytes.startsWith("\xFF\xFE") || file.bytes.startsWith("\xFE\xFF"))
        return FirmwarePackage::tr("%1 in the package %2 is saved as UTF-16; it must be plain text (ASCII or UTF-8).")
            .arg(MANIFEST_FILE, archive_name);
    if (manifest.lines == 0)
        return FirmwarePackage::tr("%1 in the package %2 is empty.").arg(MANIFEST_FILE, archive_name);
    if (manifest.lines < 4)
        return FirmwarePackage::tr("%1 in the package %2 has %3 of its four lines (the package's name, its WLAN "
                                   "version and the DSP versions for TXU and for RXU).")
            .arg(MANIFEST_FILE, archive_name)
            .arg(manifest.lines);
    // A label of another length (VERSION=1660 where WLAN:1660 belongs) shifts
    // the value: what is left is no number, and comparing it with the
    // device's version would refuse the package for a reason that is untrue.
    bool number = false;
    const QString wlan = manifest_text(manifest.wlan_version).trimmed();
    wlan.toUInt(&number, 10);
    if (!number) {
        if (wlan.isEmpty())
            return FirmwarePackage::tr("The package %1 cannot be used: line 2 of %2 holds nothing after its 5-byte "
                                       "label: the WLAN version must be a number.")
                .arg(archive_name, MANIFEST_FILE);
        return FirmwarePackage::tr("The package %1 cannot be used: line 2 of %2 reads %3: the WLAN version after "
                                   "its 5-byte label must be a number.")
            .arg(archive_name, MANIFEST_FILE, shown_value(wlan));
    }
    return QString();
}

} // namespace

const QByteArray &Manifest::dsp_version_for(const QString &device_type) const
{
    return device_type == QLatin1String("RXU") ? rxu_dsp_version : txu_dsp_version;
}

Manifest read_manifest(const QByteArray &content)
{
    Manifest manifest;
    QBuffer file;
    file.setData(content.startsWith(UTF8_BOM) ? content.mid(int(qstrlen(UTF8_BOM))) : content);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return manifest;
    for (auto [value, label] : {std::pair<QByteArray *, int>{&manifest.name, 8}, {&manifest.wlan_version, 5},
                                {&manifest.txu_dsp_version, 4}, {&manifest.rxu_dsp_version, 4}}) {
        if (file.atEnd())
            break;
        *value = line_without_label(file, label);
        ++manifest.lines;
    }
    return manifest;
}

QString manifest_text(const QByteArray &value)
{
    const int nul = value.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? value : value.left(nul));
}

uint package_wlan_version(const QByteArray &value)
{
    return manifest_text(value).toUInt(nullptr, 10);
}

DspVersion package_dsp_version(const QByteArray &value)
{
    DspVersion version;
    const QStringList parts = manifest_text(value).split(QLatin1Char('.'));
    if (parts.size() < 2 || parts.at(0).trimmed().isEmpty() || parts.at(1).trimmed().isEmpty())
        return version;
    version.valid = true;
    version.major = quint8(parts.at(0).toInt(nullptr, 10));
    version.minor = quint8(parts.at(1).toInt(nullptr, 10));
    return version;
}

bool package_fits(const DeviceFirmware &device, const QByteArray &package_wlan,
                  const QByteArray &package_dsp)
{
    return package_misfit(device, package_wlan, package_dsp) == PackageMisfit::None;
}

PackageMisfit package_misfit(const DeviceFirmware &device, const QByteArray &package_wlan,
                             const QByteArray &package_dsp)
{
    if (device.wlan_version < DEVICE_WLAN_MIN || device.wlan_version > DEVICE_WLAN_MAX)
        return PackageMisfit::DeviceWlanOutOfRange;
    if (package_wlan_version(package_wlan) < device.wlan_version)
        return PackageMisfit::DeviceWlanNewer;
    const DspVersion dsp = package_dsp_version(package_dsp);
    if (!dsp.valid)
        return PackageMisfit::DspNotAVersion;
    if (dsp.major != device.dsp_major)
        return PackageMisfit::DspMajorDiffers;
    if (device.dsp_minor == 0)
        return PackageMisfit::DeviceDspMinorZero;
    if (dsp.minor < device.dsp_minor)
        return PackageMisfit::DeviceDspNewer;
    return PackageMisfit::None;
}

QString dsp_image_file(const QString &device_type)
{
    if (device_type == QLatin1String("TXU"))
        return TXU_IMAGE_FILE;
    if (device_type == QLatin1String("RXU"))
        return RXU_IMAGE_FILE;
    return QString();
}

std::shared_ptr<FirmwarePackage> FirmwarePackage::read(const QString &archive, QString *error)
{
    const QFileInfo info(archive);
    // A folder, a pipe or a device is never opened: a pipe would block.
    if (info.exists() && !info.isFile()) {
        *error = FirmwarePackage::tr("%1 is not a regular file.").arg(info.fileName());
        return nullptr;
    }
    QFile file(archive);
#ifdef Q_OS_UNIX
    // The path may have become a pipe since it was looked at: opened without
    // waiting, it is checked again through what was opened.
    const int fd = ::open(QFile::encodeName(archive).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat opened = {};
    if (fd >= 0 && (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode))) {
        ::close(fd);
        *error = FirmwarePackage::tr("%1 is not a regular file.").arg(info.fileName());
        return nullptr;
    }
    const bool open = fd >= 0 && file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    if (fd >= 0 && !open)
        ::close(fd);
    if (!open) {
        *error = QStringLiteral("%1: %2").arg(info.fileName(),
                                              fd < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString());
        return nullptr;
    }
#else
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *error = QStringLiteral("%1: %2").arg(info.fileName(), file.errorString());
        return nullptr;
    }
#endif
    return read(&file, info.fileName(), error);
}

std::shared_ptr<FirmwarePackage> FirmwarePackage::read(QIODevice *archive, const QString &archive_name, QString *error)
{
    PackageFiles files;
    if (!read_package_archive(archive, archive_name, &files, error))
        return nullptr;
    if (!files.manifest.problem.isEmpty()) {
        *error = files.manifest.problem;
        return nullptr;
    }
    std::shared_ptr<FirmwarePackage> package(new FirmwarePackage);
    package->m_archive_name = archive_name;
    package->m_manifest = read_manifest(files.manifest.bytes);
    package->m_manifest_problem = manifest_problem_text(files.manifest, package->m_manifest, archive_name);
    if (files.manifest.found)
        package->m_found.append(MANIFEST_FILE);
    for (const QString &name : {WLAN_IMAGE_FILE, TXU_IMAGE_FILE, RXU_IMAGE_FILE}) {
        const PackageFile *file = files.file(name);
        QString problem = file->problem;
        FirmwareImage image;
        if (!file->found) {
            problem = missing_file_text(archive_name, name);
        } else {
            package->m_found.append(name);
            if (problem.isEmpty() && image.take(name, file->bytes, &problem))
                package->m_images.insert(name, image);
        }
        if (!problem.isEmpty())
            package->m_problems.insert(name, problem);
    }
    return package;
}

bool FirmwarePackage::image(const QString &file_name, FirmwareImage *image, QString *error) const
{
    const auto found = m_images.constFind(file_name);
    if (found == m_images.constEnd()) {
        image->clear();
        *error = m_problems.value(file_name, missing_file_text(m_archive_name, file_name));
        return false;
    }
    *image = found.value();
    return true;
}

QString package_problem(const FirmwarePackage &package, const QString &path)
{
    if (!package.manifest_problem().isEmpty())
        return package.manifest_problem();
    FirmwareImage wlan;
    QString reason;
    if (package.image(WLAN_IMAGE_FILE, &wlan, &reason))
        return QString();
    // A missing entry is told in words that name it; anything else is the
    // package's fault too.
    if (!package.has_file(WLAN_IMAGE_FILE))
        return reason;
    return FirmwarePackage::tr("The package %1 cannot be used: %2").arg(path, reason);
}
