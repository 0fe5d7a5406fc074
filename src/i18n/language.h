#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QCoreApplication;

// The language the program speaks. Its texts are written in English; the
// other languages it speaks are compiled into it (translations/tvc_<language>.ts),
// and Qt's own texts (buttons, file dialogs, the command line's words) come
// from Debian's translations of Qt where they are installed.

// The value of an environment variable; empty when it is not set.
using EnvironmentLookup = std::function<QString(const char *name)>;

// The languages the desktop asks for, in order, as GNU gettext reads them:
// the first of LC_ALL, LC_MESSAGES and LANG that is set names the locale;
// where it is "C" or "POSIX" (or nothing names one) the program speaks
// English, else LANGUAGE, a list separated by colons, comes first where it
// is set, and the locale otherwise. Encodings and modifiers are dropped
// ("de_DE.UTF-8@euro" asks for de_DE); an English entry stands for the
// program's own texts.
QStringList desktop_languages(const EnvironmentLookup &environment);

// The first of `wanted` that `available` holds, itself ("pt_BR") or by its
// language alone ("de" for "de_AT"); empty for English, which an English
// entry, a C locale or the end of the list choose.
QString choose_language(const QStringList &wanted, const QStringList &available);

// The languages compiled into the program besides English.
QStringList program_languages();

// Loads the program's and Qt's translations of `language` (empty: English,
// whose file gives the plural forms of the texts that count) into the
// application, which owns them, and shows numbers as the language writes
// them (see number_text.h). False when the program's own could not be
// loaded. Call before any text is made.
bool install_translations(QCoreApplication &app, const QString &language);

// The language the desktop asks for among the program's, installed; the
// language chosen (empty: English).
QString install_desktop_language(QCoreApplication &app);
