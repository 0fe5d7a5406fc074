#include "text_fields.h"

namespace {

// The text in UTF-8, every lone surrogate (half of a character) as U+FFFD.
QByteArray clean_utf8(const QString &text)
{
    return without_lone_surrogates(text).toUtf8();
}

} // namespace

QString without_lone_surrogates(const QString &text)
{
    QString clean;
    const int size = int(text.size());
    for (int i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (!c.isSurrogate())
            continue;
        if (clean.isNull())
            clean = text;
        clean[i] = QChar(QChar::ReplacementCharacter);
    }
    return clean.isNull() ? text : clean;
}

QByteArray csv_field(const QString &text)
{
    bool quote = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c.unicode() < 0x20 || c.unicode() == 0x7f) {
            quote = true;
            break;
        }
    }
    const QByteArray utf8 = clean_utf8(text);
    if (!quote)
        return utf8;
    QByteArray field = "\"";
    for (const char c : utf8) {
        if (c == '"')
            field += '"';
        field += c;
    }
    return field + '"';
}

QByteArray json_string(const QString &text)
{
    const QByteArray utf8 = clean_utf8(text);
    QByteArray json = "\"";
    json.reserve(utf8.size() + 2);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            static const char hex[] = "0123456789abcdef";
            json += "\\u00";
            json += hex[byte >> 4];
            json += hex[byte & 15];
        } else {
            json += c;
        }
    }
    return json + '"';
}
