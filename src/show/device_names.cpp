#include "device_names.h"

#include "port_finder.h"
#include "show_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

const QString NAMES_ARRAY = QStringLiteral("device_names");
const QString KEY = QStringLiteral("key");
const QString NAME = QStringLiteral("name");

// The first `max_chars` characters of `text`, cut where a character (a
// grapheme: a letter with its accents, an emoji) ends.
QString cut(const QString &text, int max_chars)
{
    if (text.size() <= max_chars)
        return text;
    QTextBoundaryFinder bounds(QTextBoundaryFinder::Grapheme, text);
    bounds.setPosition(max_chars);
    if (!bounds.isAtBoundary())
        bounds.toPreviousBoundary();
    return text.left(int(std::max<qsizetype>(bounds.position(), 0)));
}

// Characters that change the direction of the text around them: embeddings,
// overrides and isolates, and their ends.
bool turns_direction(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QHash<QString, QString> read_names(QSettings &settings)
{
    QHash<QString, QString> names;
    const int count = settings.beginReadArray(NAMES_ARRAY);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        const QString key = settings.value(KEY).toString();
        const QString name = cut(settings.value(NAME).toString(), DeviceNames::MAX_NAME);
        if (!key.isEmpty() && !name.trimmed().isEmpty())
            names.insert(key, name);
    }
    settings.endArray();
    return names;
}

} // namespace

const QString SERIAL_BY_ID_FOLDER = QStringLiteral("/dev/serial/by-id");

QString bridge_serial_number(const QString &port)
{
    const QString location = port_location(port);
    const QString canonical = QFileInfo(location).canonicalFilePath();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() == location || info.systemLocation() == canonical)
            return info.serialNumber().trimmed();
    }
    return QString();
}

QString stable_port_name(const QString &port, const QString &folder)
{
    const QString target = QFileInfo(port_location(port)).canonicalFilePath();
    if (target.isEmpty())
        return QString();
    const QFileInfoList links =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &link : links) {
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.fileName();
    }
    return QString();
}

QString device_key(const QString &serial, const QString &stable_name, const QString &port)
{
    if (!serial.isEmpty())
        return QStringLiteral("serial:") + without_lone_surrogates(serial);
    if (!stable_name.isEmpty())
        return QStringLiteral("by-id:") + without_lone_surrogates(stable_name);
    return QStringLiteral("port:") + without_lone_surrogates(port);
}

QString device_key_of_port(const QString &port)
{
    return device_key(bridge_serial_number(port), stable_port_name(port), port);
}

QString name_for_display(const QString &text, int max_chars)
{
    const QString name = without_lone_surrogates(text);
    QString shown;
    shown.reserve(std::min(int(name.size()), max_chars + 1));
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isSurrogate())
            shown += c;
        else if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')
                 || c == QChar(QChar::LineSeparator) || c == QChar(QChar::ParagraphSeparator))
            shown += QLatin1Char(' ');
        else if (c.category() == QChar::Other_Control)
            shown += QChar(QChar::ReplacementCharacter);
        else if (!turns_direction(c.unicode()))
            shown += c;
        if (shown.size() > max_chars)
            break;
    }
    return cut(shown, max_chars);
}

DeviceNames::DeviceNames(const QString &file)
    : m_file(file)
{
    const SettingsFileState state = settings_file_state(file);
    m_problem = state.problem;
    if (!state.readable)
        return;
    QSettings settings(file, QSettings::IniFormat);
    m_names = read_names(settings);
}

bool DeviceNames::set_name(const QString &key, const QString &name)
{
    const QString kept = cut(without_lone_surrogates(name), MAX_NAME);
    const auto apply = [&](QHash<QString, QString> &names) {
        if (kept.trimmed().isEmpty())
            names.remove(key);
        else
            names.insert(key, kept);
    };
    apply(m_names);
    m_problem.clear();
    return write_settings_file(
        m_file,
        [&](QSettings &settings) {
            // Another program may have named devices since the file was read.
            QHash<QString, QString> names = read_names(settings);
            apply(names);
            m_names = names;
            QStringList keys = names.keys();
            keys.sort();
            // Each key is written as a value: a key may hold any character,
            // also those QSettings takes for a group's end.
            settings.remove(NAMES_ARRAY);
            settings.beginWriteArray(NAMES_ARRAY, int(keys.size()));
            for (int i = 0; i < keys.size(); ++i) {
                settings.setArrayIndex(i);
                settings.setValue(KEY, keys.at(i));
                settings.setValue(NAME, names.value(keys.at(i)));
            }
            settings.endArray();
        },
        &m_problem);
}
