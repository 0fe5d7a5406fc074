#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text made fit for a terminal line.

// Text from the device or a package, made safe to print: control characters
// would steer the terminal, so each becomes '?'.
QString printable(const QString &text);

// A manifest value as tvc-update prints it: up to a NUL, without the line
// feed and the spaces around it, safe to print.
QString manifest_value(const QByteArray &value);

// `text` in at most `width` characters: as it is where it fits, else cut at
// the last space that leaves room for "..." and ended with it. A first word
// longer than the line is the one thing cut inside (0: never cut).
QString fit_text(const QString &text, int width);

// `text` broken at spaces into lines: the first of at most `first_width`
// characters, the others of at most `width`; a word longer than its line is
// broken where it must be. With `width` 0, one line.
QStringList wrap_words(const QString &text, int first_width, int width);
