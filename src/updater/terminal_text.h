#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text made fit for a terminal line.

// A line or block of progress on a terminal is redrawn at most this often.
constexpr qint64 TERMINAL_REDRAW_MS = 100;

// Text from the device or a package, made safe to print: control characters
// would steer the terminal, so each becomes '?'.
QString printable(const QString &text);

// A manifest value as tvc-update prints it: up to a NUL, without the line
// feed and the spaces around it, safe to print.
QString manifest_value(const QByteArray &value);

// Widths are counted in the columns of the terminal, as the user's locale
// says a terminal shows each character: most take one, an East Asian wide
// character two, a combining mark none (it goes on the character before it).
// A character the locale does not know counts one; control characters are
// made '?' (see printable()) before anything is printed.

// The columns `text` takes.
int display_width(const QString &text);

// The longest start of `text` that takes at most `columns` columns. A
// character is never parted from the marks that follow it.
QString left_columns(const QString &text, int columns);

// `text` with spaces after it (or, with `right`, before it) to fill
// `columns` columns.
QString pad_columns(const QString &text, int columns, bool right = false);

// `text` in at most `width` columns: as it is where it fits, else cut at
// the last space that leaves room for "..." and ended with it. A first word
// longer than the line is the one thing cut inside (0: never cut).
QString fit_text(const QString &text, int width);

// `text` broken at spaces into lines: the first of at most `first_width`
// columns, the others of at most `width`; a word longer than its line is
// broken where it must be (a character wider than the line itself goes on a
// line of its own). With `width` 0, one line.
QStringList wrap_words(const QString &text, int first_width, int width);
