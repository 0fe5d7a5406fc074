#include "show_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

namespace {

class ShowSettingsText
{
    Q_DECLARE_TR_FUNCTIONS(ShowSettings)
};

const QString GROUP = QStringLiteral("show");
const QString WEAK_KEY = QStringLiteral("weak_dbm");
const QString CLEAR_KEY = QStringLiteral("clear_db");
const QString MINIMUM_KEY = QStringLiteral("minimum_ms");
const QString NOTIFICATIONS_KEY = QStringLiteral("notifications");

// An integer setting, or `fallback` where it is missing, not a number or out
// of [low, high].
int read_int(const QSettings &settings, const QString &key, int fallback, int low, int high)
{
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

} // namespace

const QString UNREADABLE_SUFFIX = QStringLiteral(".unreadable");

QString user_settings_file()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tavero"),
                     QStringLiteral("Tavero Companion"))
        .fileName();
}

SettingsFileState settings_file_state(const QString &file)
{
    SettingsFileState state;
    const QFileInfo info(file);
    if (!info.exists())
        return state;
    // The file's text is judged in a copy of its own, which no reader before
    // has seen.
    QFile source(file);
    QTemporaryFile copy;
    bool damaged = false;
    if (info.isFile() && source.open(QIODevice::ReadOnly) && copy.open()) {
        copy.write(source.readAll());
        copy.close();
        damaged = QSettings(copy.fileName(), QSettings::IniFormat).status() != QSettings::NoError;
        if (!damaged)
            return state;
    }
    state.readable = false;
    state.problem = damaged
        //: %1 is the settings file.
        ? ShowSettingsText::tr("The settings file %1 is damaged. The defaults apply, and the file is left as it is "
                               "until you save the settings.")
              .arg(QDir::toNativeSeparators(file))
        //: %1 is the settings file.
        : ShowSettingsText::tr("The settings file %1 could not be read. The defaults apply, and the file is left as "
                               "it is until you save the settings.")
              .arg(QDir::toNativeSeparators(file));
    return state;
}

bool write_settings_file(const QString &file, const std::function<void(QSettings &)> &write, QString *problem)
{
    const auto failed = [&] {
        //: %1 is the settings file.
        *problem = ShowSettingsText::tr("The settings could not be saved to %1.").arg(QDir::toNativeSeparators(file));
        return false;
    };
    if (!settings_file_state(file).readable) {
        const QString aside = file + UNREADABLE_SUFFIX;
        QFile::remove(aside);
        if (!QFileInfo(file).isFile() || !QFile::rename(file, aside))
            return failed();
    }
    QSettings settings(file, QSettings::IniFormat);
    write(settings);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return failed();
    return true;
}

ShowSettings read_show_settings(const QString &file, QString *problem)
{
    ShowSettings show;
    const SettingsFileState state = settings_file_state(file);
    *problem = state.problem;
    if (!state.readable)
        return show;
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(GROUP);
    AlarmSettings &alarms = show.alarms;
    alarms.weak_dbm =
        read_int(settings, WEAK_KEY, alarms.weak_dbm, AlarmSettings::WEAK_LOWEST, AlarmSettings::WEAK_HIGHEST);
    alarms.clear_db = read_int(settings, CLEAR_KEY, alarms.clear_db, 0, AlarmSettings::CLEAR_HIGHEST);
    alarms.minimum_ms =
        read_int(settings, MINIMUM_KEY, alarms.minimum_ms, 0, AlarmSettings::MINIMUM_HIGHEST_MS);
    const QVariant notifications = settings.value(NOTIFICATIONS_KEY);
    if (notifications.isValid())
        show.notifications = notifications.toBool();
    return show;
}

bool save_show_settings(const ShowSettings &show, const QString &file, QString *problem)
{
    const AlarmSettings alarms = show.alarms.bounded();
    return write_settings_file(
        file,
        [&](QSettings &settings) {
            settings.beginGroup(GROUP);
            settings.setValue(WEAK_KEY, alarms.weak_dbm);
            settings.setValue(CLEAR_KEY, alarms.clear_db);
            settings.setValue(MINIMUM_KEY, alarms.minimum_ms);
            settings.setValue(NOTIFICATIONS_KEY, show.notifications);
            settings.endGroup();
        },
        problem);
}
