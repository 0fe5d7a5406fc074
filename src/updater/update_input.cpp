#include "update_input.h"

#include <QCoreApplication>

namespace {

// The words of the reading of the package.
class PackageInput
{
    Q_DECLARE_TR_FUNCTIONS(PackageInput)
};

} // namespace

QString image_failure_text(const QString &detail)
{
    const QString cause = detail.endsWith(QLatin1Char('.')) ? detail.left(detail.size() - 1) : detail;
    return PackageInput::tr("%1 (nothing was sent).").arg(cause);
}

bool read_update_input(const UpdateOptions &options, UpdateInput *input, QString *error)
{
    if (options.package.isEmpty()) {
        if (input->raw.load(options.raw_file, error))
            return true;
        *error = image_failure_text(*error);
        return false;
    }
    const auto unusable = [&](const QString &reason) {
        return PackageInput::tr("The package %1 cannot be used: %2").arg(options.package, reason);
    };
    QString reason;
    input->package = FirmwarePackage::read(options.package, &reason);
    if (!input->package) {
        *error = unusable(reason);
        return false;
    }
    // A manifest without its four lines is the package's fault, not a version
    // the device refuses. What the package lacks is told in words that name it.
    reason = package_problem(*input->package, options.package);
    if (!reason.isEmpty()) {
        input->package.reset();
        *error = reason;
        return false;
    }
    return true;
}
