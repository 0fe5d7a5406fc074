#include "pseudo_translator.h"

const QChar PseudoTranslator::OPEN(0x27E6);
const QChar PseudoTranslator::CLOSE(0x27E7);

namespace {

QChar accented(QChar c)
{
    static const QString plain = QStringLiteral("aeiouycnAEIOUYCN");
    static const QString marked = QStringLiteral("áéîöüÿçñÅÉÎÖÜŸÇÑ");
    const int at = plain.indexOf(c);
    return at < 0 ? c : marked.at(at);
}

} // namespace

QString PseudoTranslator::pseudo(const QString &source)
{
    if (source.isEmpty())
        return source;
    QString out;
    int letters = 0;
    for (int i = 0; i < source.size(); ++i) {
        const QChar c = source.at(i);
        if (c == QLatin1Char('%')) {
            // %1, %n, %L1: kept whole.
            int end = i + 1;
            if (end < source.size() && source.at(end) == QLatin1Char('L'))
                ++end;
            while (end < source.size() && (source.at(end).isDigit() || source.at(end) == QLatin1Char('n')))
                ++end;
            out += source.mid(i, end - i);
            i = end - 1;
        } else if (c == QLatin1Char('<') || (c == QLatin1Char('&') && source.indexOf(QLatin1Char(';'), i) > i
                                                && source.indexOf(QLatin1Char(';'), i) - i < 8
                                                && !source.mid(i, source.indexOf(QLatin1Char(';'), i) - i).contains(QLatin1Char(' ')))) {
            // A tag or an entity: kept whole.
            const int end = source.indexOf(c == QLatin1Char('<') ? QLatin1Char('>') : QLatin1Char(';'), i);
            const int stop = end < 0 ? source.size() - 1 : end;
            out += source.mid(i, stop - i + 1);
            i = stop;
        } else {
            if (c.isLetter())
                ++letters;
            out += accented(c);
        }
    }
    // A third longer: letters of about the width of the text's own.
    const int extra = (letters + 2) / 3;
    QString padding;
    for (int i = 0; i < extra; ++i)
        padding += (i % 6 == 5) ? QLatin1Char(' ') : QChar(0x00E9);
    return OPEN + out + (extra > 0 ? QStringLiteral(" ") + padding : QString()) + CLOSE;
}

QString PseudoTranslator::translate(const char *context, const char *source, const char *disambiguation,
                                    int n) const
{
    Q_UNUSED(disambiguation)
    Q_UNUSED(n)
    // Key names stay: shortcuts are read back from them.
    const QLatin1String from(context ? context : "");
    if (!source || from == QLatin1String("QShortcut") || from == QLatin1String("QKeySequence"))
        return QString();
    return pseudo(QString::fromUtf8(source));
}
