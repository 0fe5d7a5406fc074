#include "number_text.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

// The words around numbers.
class NumberText
{
    Q_DECLARE_TR_FUNCTIONS(NumberText)
};

QLocale locale_of(const QString &language)
{
    QLocale locale = language.isEmpty() ? QLocale(QLocale::English, QLocale::UnitedStates) : QLocale(language);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QLocale &shown()
{
    static QLocale locale = locale_of(QString());
    return locale;
}

} // namespace

void set_shown_language(const QString &language)
{
    shown() = locale_of(language);
}

QString decimal_text(double value, int decimals)
{
    return shown().toString(value, 'f', decimals);
}

QString percent_pattern(const QString &number)
{
    //: A percentage: %1 is the figure ("30%"). Write it as the language does,
    //: with a no-break space before the sign where one goes there.
    return NumberText::tr("%1%").arg(number);
}

QString percent_text(int percent)
{
    return percent_pattern(shown().toString(percent));
}
