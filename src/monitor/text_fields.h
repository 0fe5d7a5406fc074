#pragma once

#include <QByteArray>
#include <QString>

// Texts of any origin (a device's name, a port) made safe for the files the
// program writes.

// The text with every lone surrogate (half of a character, which no file
// can hold) as U+FFFD.
QString without_lone_surrogates(const QString &text);

// A field of a CSV row: quoted (with quotes doubled) where it holds a comma,
// a quote, a line break or another control character; UTF-8.
QByteArray csv_field(const QString &text);
// A JSON string with its quotes, valid whatever `text` holds: control
// characters escaped, a lone surrogate as U+FFFD; UTF-8.
QByteArray json_string(const QString &text);
