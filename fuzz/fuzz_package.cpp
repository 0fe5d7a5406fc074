// Fuzzes reading a firmware package from arbitrary archive bytes, as the
// firmware dialog and tvc-update read the file the user names.
//
// Input: the archive's bytes.
//
// Checks, besides what the sanitizers catch:
// - the archive reader ends with the four files or with a reason, never both;
// - nothing beyond its limit is taken: the manifest holds at most
//   MAX_MANIFEST_SIZE bytes, an image at most MAX_IMAGE_SIZE; a file that is
//   not found, or has a problem, holds no bytes;
// - the package is read exactly when the archive is and its manifest has no
//   problem; each image is either taken whole, as the archive held it, or
//   refused with a reason that names it;
// - nothing is written: the temporary folder (a private one) and the working
//   folder hold what they held before.

#include "firmware_package.h"
#include "fuzz_support.h"
#include "image_chunks.h"
#include "package_archive.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

QString *private_tmp = nullptr;
QStringList *working_folder = nullptr;

QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

void check_file(const PackageFile &file, qint64 limit)
{
    require(file.bytes.size() <= limit, "a file holds no more than its limit");
    if (!file.found)
        require(file.bytes.isEmpty() && file.problem.isEmpty(), "a file not found holds nothing");
    if (!file.problem.isEmpty())
        require(file.bytes.isEmpty(), "a file with a problem holds no bytes");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A private temporary folder: anything written there shows.
    QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/fuzz_package-XXXXXX";
    require(mkdtemp(pattern.data()) != nullptr, "a private temporary folder");
    private_tmp = new QString(QFile::decodeName(pattern));
    qputenv("TMPDIR", pattern);
    working_folder = new QStringList(listing(QDir::currentPath()));
    std::atexit([] { QDir().rmdir(*private_tmp); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QBuffer archive(&bytes);
    require(archive.open(QIODevice::ReadOnly), "the buffer opens");

    PackageFiles files;
    QString error;
    const bool read = read_package_archive(&archive, QStringLiteral("package.zip"), &files, &error);
    require(read == error.isEmpty(), "a reason exactly when the archive is refused");
    check_file(files.manifest, MAX_MANIFEST_SIZE);
    for (const PackageFile *image : {&files.wlan, &files.txu, &files.rxu})
        check_file(*image, MAX_IMAGE_SIZE);

    QString package_error;
    const std::shared_ptr<FirmwarePackage> package =
        FirmwarePackage::read(&archive, QStringLiteral("package.zip"), &package_error);
    require(bool(package) == (read && files.manifest.problem.isEmpty()), "the package is read when its archive is");
    require(bool(package) == package_error.isEmpty(), "a reason exactly when the package is refused");
    if (package) {
        for (const QString &name : {WLAN_IMAGE_FILE, TXU_IMAGE_FILE, RXU_IMAGE_FILE}) {
            FirmwareImage image;
            QString problem;
            if (package->image(name, &image, &problem))
                require(image.bytes() == files.file(name)->bytes, "an image is what the archive held");
            else
                require(problem.contains(name), "a refused image is named");
        }
    }

    require(listing(*private_tmp).isEmpty(), "nothing is written to the temporary folder");
    require(listing(QDir::currentPath()) == *working_folder, "nothing is written to the working folder");
    return 0;
}
