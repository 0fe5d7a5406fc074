#include "terminal_text.h"

#include "firmware_package.h"

namespace {
const QString ELLIPSIS = QStringLiteral("...");
} // namespace

QString printable(const QString &text)
{
    QString safe = text;
    for (QChar &c : safe) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return safe;
}

QString manifest_value(const QByteArray &value)
{
    return printable(manifest_text(value).trimmed());
}

QString fit_text(const QString &text, int width)
{
    if (width <= 0 || text.size() <= width)
        return text;
    if (width <= ELLIPSIS.size())
        return text.left(width);
    const int room = width - ELLIPSIS.size();
    // The last space at which the words before it fit, with the ellipsis.
    int cut = text.lastIndexOf(QLatin1Char(' '), room);
    while (cut > 0 && text.at(cut - 1) == QLatin1Char(' '))
        --cut;
    if (cut <= 0)
        cut = room;
    QString head = text.left(cut);
    // "words," reads better as "words..." than "words,...".
    while (!head.isEmpty() && (head.endsWith(QLatin1Char(',')) || head.endsWith(QLatin1Char(':'))
                               || head.endsWith(QLatin1Char(';'))))
        head.chop(1);
    return head + ELLIPSIS;
}

QStringList wrap_words(const QString &text, int first_width, int width)
{
    if (width <= 0)
        return {text};
    QStringList lines;
    QString line;
    int limit = qMax(1, first_width);
    auto next_line = [&] {
        lines.append(line);
        line.clear();
        limit = width;
    };
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString word : words) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > limit)
            next_line();
        if (!line.isEmpty())
            line += QLatin1Char(' ');
        // A word longer than the room left goes in pieces.
        while (line.size() + word.size() > limit) {
            const int room = limit - line.size();
            line += word.left(room);
            word.remove(0, room);
            next_line();
        }
        line += word;
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines.append(line);
    return lines;
}
