#include "terminal_text.h"

#include "firmware_package.h"

#include <wchar.h>

namespace {

const QString ELLIPSIS = QStringLiteral("...");

// The code point at `i` of `text`, and in *units how many UTF-16 units it takes.
char32_t code_point_at(const QString &text, int i, int *units)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    }
    *units = 1;
    return c.unicode();
}

int columns_of(char32_t code_point)
{
    // The locale is the user's: QCoreApplication has set it from the environment.
    const int width = ::wcwidth(wchar_t(code_point));
    return width < 0 ? 1 : width;
}

// The index after the character at `i` of `text` and the marks that follow
// it; its columns go to *width.
int next_character(const QString &text, int i, int *width)
{
    int units = 0;
    *width = columns_of(code_point_at(text, i, &units));
    i += units;
    while (i < text.size() && columns_of(code_point_at(text, i, &units)) == 0)
        i += units;
    return i;
}

} // namespace

int display_width(const QString &text)
{
    int width = 0;
    int units = 0;
    for (int i = 0; i < text.size(); i += units)
        width += columns_of(code_point_at(text, i, &units));
    return width;
}

QString left_columns(const QString &text, int columns)
{
    int used = 0;
    int end = 0;
    while (end < text.size()) {
        int width = 0;
        const int next = next_character(text, end, &width);
        if (used + width > columns)
            break;
        used += width;
        end = next;
    }
    return text.left(end);
}

QString pad_columns(const QString &text, int columns, bool right)
{
    const QString spaces(qMax(0, columns - display_width(text)), QLatin1Char(' '));
    return right ? spaces + text : text + spaces;
}

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
    if (width <= 0 || display_width(text) <= width)
        return text;
    if (width <= ELLIPSIS.size())
        return left_columns(text, width);
    // What fits beside the ellipsis; then the last space at which the words
    // before it fit (also the space right after them).
    const int fits = int(left_columns(text, width - ELLIPSIS.size()).size());
    int cut = text.lastIndexOf(QLatin1Char(' '), fits);
    while (cut > 0 && text.at(cut - 1) == QLatin1Char(' '))
        --cut;
    if (cut <= 0)
        cut = fits;
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
    int used = 0;  // the columns of `line`
    int limit = qMax(1, first_width);
    auto next_line = [&] {
        lines.append(line);
        line.clear();
        used = 0;
        limit = width;
    };
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString word : words) {
        int word_width = display_width(word);
        if (!line.isEmpty() && used + 1 + word_width > limit)
            next_line();
        if (!line.isEmpty()) {
            line += QLatin1Char(' ');
            ++used;
        }
        // A word longer than the room left goes in pieces; a character wider
        // than the whole line goes alone.
        while (used + word_width > limit) {
            QString piece = left_columns(word, limit - used);
            if (piece.isEmpty() && line.isEmpty()) {
                int ignored = 0;
                piece = word.left(next_character(word, 0, &ignored));
            }
            line += piece;
            word.remove(0, piece.size());
            word_width = display_width(word);
            next_line();
        }
        line += word;
        used += word_width;
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines.append(line);
    return lines;
}
