#include "language.h"

#include "number_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Where the compiled translations lie in the program's resources.
const QString RESOURCE_FOLDER = QStringLiteral(":/i18n");
// The texts are written in English; its file holds only the plural forms of
// the texts that count ("1 record", "2 records").
const QString ENGLISH = QStringLiteral("en");
// Qt's own catalogues that the program's windows and tools show texts of.
const char *const QT_CATALOGUES[] = {"qtbase", "qtserialport"};

// "de_DE.UTF-8@euro" without its encoding and modifier: "de_DE".
QString without_encoding(QString name)
{
    const int modifier = name.indexOf(QLatin1Char('@'));
    if (modifier >= 0)
        name.truncate(modifier);
    const int encoding = name.indexOf(QLatin1Char('.'));
    if (encoding >= 0)
        name.truncate(encoding);
    return name.trimmed();
}

bool is_c_locale(const QString &name)
{
    return name == QLatin1String("C") || name == QLatin1String("POSIX");
}

QString qt_translations_folder()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

} // namespace

// The compiled translations live in a static library: its resources are
// registered by hand. (The initialiser cannot be called from inside a
// namespace.)
static void init_resources()
{
    Q_INIT_RESOURCE(tvc_translations);
}

QStringList desktop_languages(const EnvironmentLookup &environment)
{
    QString locale;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = environment(name);
        if (!locale.isEmpty())
            break;
    }
    if (locale.isEmpty() || is_c_locale(without_encoding(locale)))
        return {};
    QStringList wanted;
    const QStringList listed = environment("LANGUAGE").split(QLatin1Char(':'));
    for (const QString &entry : listed) {
        const QString name = without_encoding(entry);
        if (!name.isEmpty())
            wanted.append(name);
    }
    if (wanted.isEmpty())
        wanted.append(without_encoding(locale));
    return wanted;
}

QString choose_language(const QStringList &wanted, const QStringList &available)
{
    for (const QString &name : wanted) {
        const QString language = name.section(QLatin1Char('_'), 0, 0);
        if (is_c_locale(name) || language == QLatin1String("en"))
            return QString();
        if (available.contains(name))
            return name;
        if (available.contains(language))
            return language;
    }
    return QString();
}

QStringList program_languages()
{
    init_resources();
    QStringList languages;
    const QStringList files = QDir(RESOURCE_FOLDER).entryList({QStringLiteral("tvc_*.qm")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString language = file.mid(4, file.size() - 7);
        if (language != ENGLISH)
            languages.append(language);
    }
    return languages;
}

bool install_translations(QCoreApplication &app, const QString &language)
{
    init_resources();
    auto *own = new QTranslator(&app);
    if (!own->load(QStringLiteral("tvc_") + (language.isEmpty() ? ENGLISH : language), RESOURCE_FOLDER)) {
        delete own;
        return false;
    }
    set_shown_language(language);
    if (language.isEmpty()) {
        QCoreApplication::installTranslator(own);
        return true;
    }
    // Qt's catalogues first: a translator installed later is asked first,
    // and the program's own words come before Qt's.
    const QString folder = qt_translations_folder();
    for (const char *catalogue : QT_CATALOGUES) {
        auto *qt = new QTranslator(&app);
        if (qt->load(QLatin1String(catalogue) + QLatin1Char('_') + language, folder))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
    }
    QCoreApplication::installTranslator(own);
    return true;
}

QString install_desktop_language(QCoreApplication &app)
{
    const QString language = choose_language(
        desktop_languages([](const char *name) { return qEnvironmentVariable(name); }), program_languages());
    return install_translations(app, language) ? language : QString();
}
