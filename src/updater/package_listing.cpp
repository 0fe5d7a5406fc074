#include "package_listing.h"

#include "firmware_package.h"

#include <QCryptographicHash>

QStringList image_lines(const FirmwarePackage &package)
{
    QStringList lines;
    for (const QString &file : {WLAN_IMAGE_FILE, TXU_IMAGE_FILE, RXU_IMAGE_FILE}) {
        FirmwareImage image;
        QString problem;
        if (!package.image(file, &image, &problem)) {
            lines.append(problem);
            continue;
        }
        // A line that scripts compare with a published list: the same in
        // every language.
        lines.append(QStringLiteral("%1: %2 bytes, SHA-256 %3")
                         .arg(file, QString::number(image.size()),
                              QString::fromLatin1(
                                  QCryptographicHash::hash(image.bytes(), QCryptographicHash::Sha256).toHex())));
    }
    return lines;
}
