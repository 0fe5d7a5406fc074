#include "user_guide.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

const char *const GUIDE_NAMES[] = {"user-guide.html", "user-guide.md"};
// Where the Debian package puts it.
const QString PACKAGE_DOC_DIR = QStringLiteral("/usr/share/doc/tavero-companion");

} // namespace

QStringList user_guide_candidates(const QString &program_dir)
{
    const QDir bin(program_dir);
    const QStringList folders = {
        QDir::cleanPath(bin.filePath(QStringLiteral("../share/doc/tavero-companion"))),
        QDir::cleanPath(bin.filePath(QStringLiteral("../docs"))),
        PACKAGE_DOC_DIR,
    };
    QStringList candidates;
    for (const QString &folder : folders) {
        for (const char *name : GUIDE_NAMES) {
            const QString path = QDir(folder).filePath(QLatin1String(name));
            if (!candidates.contains(path))
                candidates.append(path);
        }
    }
    return candidates;
}

QString find_user_guide(const QString &program_dir)
{
    const QStringList candidates = user_guide_candidates(program_dir);
    for (const QString &path : candidates) {
        const QFileInfo info(path);
        if (info.isFile() && info.isReadable())
            return info.absoluteFilePath();
    }
    return QString();
}

void open_user_guide(QWidget *parent, const QString &program_dir)
{
    const QString guide = find_user_guide(program_dir);
    if (guide.isEmpty()) {
        const QString installed = QDir(PACKAGE_DOC_DIR).filePath(QLatin1String(GUIDE_NAMES[0]));
        QMessageBox::information(
            parent, QCoreApplication::translate("UserGuide", "User Guide"),
            QCoreApplication::translate(
                "UserGuide",
                "The user guide was not found on this computer. The Tavero Companion package installs it as %1.")
                .arg(QDir::toNativeSeparators(installed)),
            QMessageBox::Ok);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide))) {
        QMessageBox::warning(parent, QCoreApplication::translate("UserGuide", "User Guide"),
                             QCoreApplication::translate("UserGuide", "No program to show the user guide was found. It is the file %1.")
                                 .arg(QDir::toNativeSeparators(guide)),
                             QMessageBox::Ok);
    }
}
