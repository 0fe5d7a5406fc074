#include "firmware_package.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

const QString MANIFEST_FILE = QStringLiteral("fw.txt");
const QString WLAN_IMAGE_FILE = QStringLiteral("wlan.bin");
const QString TXU_IMAGE_FILE = QStringLiteral("txu.ldr");
const QString RXU_IMAGE_FILE = QStringLiteral("rxu.ldr");

namespace {

constexpr uint DEVICE_WLAN_MIN = 1600;
constexpr uint DEVICE_WLAN_MAX = 1699;

// Manifest lines longer than this are not read further; no real line comes near.
constexpr qint64 MANIFEST_LINE_LIMIT = 4096;

QByteArray line_without_label(QFile &file, int label)
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

} // namespace

const QByteArray &Manifest::dsp_version_for(const QString &device_type) const
{
    return device_type == QLatin1String("RXU") ? rxu_dsp_version : txu_dsp_version;
}

Manifest read_manifest(const QString &path)
{
    Manifest manifest;
    if (!not_a_regular_file(QFileInfo(path)).isEmpty())
        return manifest;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return manifest;
    manifest.name = line_without_label(file, 8);
    manifest.wlan_version = line_without_label(file, 5);
    manifest.txu_dsp_version = line_without_label(file, 4);
    manifest.rxu_dsp_version = line_without_label(file, 4);
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

bool unpack_package(const QString &archive, const QString &directory, QString *error)
{
    QProcess unzip;
    unzip.setProcessChannelMode(QProcess::MergedChannels);
    unzip.setStandardInputFile(QProcess::nullDevice());
    // Arguments, not a command line: any character in the paths arrives intact.
    // -o: never stop to ask about a file the archive holds twice.
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-o"), archive, QStringLiteral("-d"), directory});
    if (!unzip.waitForStarted(-1)) {
        *error = QObject::tr("The unzip program could not be started (%1).").arg(unzip.errorString());
        return false;
    }
    unzip.waitForFinished(-1);
    const QString output = QString::fromLocal8Bit(unzip.readAll()).trimmed();
    // Exit code 1 means warnings only: every file was extracted.
    if (unzip.exitStatus() == QProcess::NormalExit && unzip.exitCode() <= 1)
        return true;
    const QString last_line = output.section(QLatin1Char('\n'), -1).trimmed();
    *error = unzip.exitStatus() == QProcess::NormalExit
        ? QObject::tr("unzip ended with code %1.").arg(unzip.exitCode())
        : QObject::tr("unzip stopped unexpectedly.");
    if (!last_line.isEmpty())
        *error += QLatin1Char(' ') + last_line;
    return false;
}

FirmwarePackage::FirmwarePackage() = default;
FirmwarePackage::~FirmwarePackage() = default;

std::shared_ptr<FirmwarePackage> FirmwarePackage::unpack(const QString &archive, QString *error)
{
    std::shared_ptr<FirmwarePackage> package(new FirmwarePackage);
    package->m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tvc-XXXXXX"));
    if (!package->m_dir->isValid()) {
        *error = package->m_dir->errorString();
        return nullptr;
    }
    if (!unpack_package(archive, package->folder(), error))
        return nullptr;
    const QString manifest = package->m_dir->filePath(MANIFEST_FILE);
    *error = not_a_regular_file(QFileInfo(manifest));
    if (!error->isEmpty())
        return nullptr;
    package->m_manifest = read_manifest(manifest);
    return package;
}

QString FirmwarePackage::folder() const
{
    return m_dir->path();
}

bool FirmwarePackage::image(const QString &file_name, FirmwareImage *image, QString *error)
{
    auto found = m_images.constFind(file_name);
    if (found == m_images.constEnd()) {
        FirmwareImage loaded;
        if (!loaded.load(m_dir->filePath(file_name), error))
            return false;
        found = m_images.insert(file_name, loaded);
    }
    *image = found.value();
    return true;
}
