#include "update_input.h"

#include <QObject>

QString image_failure_text(const QString &detail)
{
    const QString cause = detail.endsWith(QLatin1Char('.')) ? detail.left(detail.size() - 1) : detail;
    return QObject::tr("%1 (nothing was sent).").arg(cause);
}

bool read_update_input(const UpdateOptions &options, UpdateInput *input, QString *error)
{
    if (options.package.isEmpty()) {
        if (input->raw.load(options.raw_file, error))
            return true;
        *error = image_failure_text(*error);
        return false;
    }
    QString reason;
    input->package = FirmwarePackage::read(options.package, &reason);
    FirmwareImage wlan;
    if (!input->package || !input->package->image(WLAN_IMAGE_FILE, &wlan, &reason)) {
        input->package.reset();
        *error = QObject::tr("The package %1 cannot be used: %2").arg(options.package, reason);
        return false;
    }
    return true;
}
