#pragma once

#include <QString>

// Numbers as the program shows them to people, in its windows and boxes and
// in the lines tvc-update prints for a reader: written as the language the
// program speaks writes them ("1.2 s" in English, "1,2 s" in German and
// French; "30%" in English, "30 %" in German and French). Whole numbers get
// no group separators in any language, so a count or a size of bytes reads
// the same in all of them. What files and other programs read (the CSV,
// saved sniffer lines, logs, the image lines of tvc-update --check) never
// goes through here: it stays in the C locale, in ASCII.

// Numbers are shown as the language the program speaks writes them (empty:
// English). install_translations() sets it with the language.
void set_shown_language(const QString &language);

// `value` with `decimals` digits after the decimal separator ("1.2", "1,2").
QString decimal_text(double value, int decimals);

// A whole percentage as the language writes it ("30%", "30 %").
QString percent_text(int percent);

// The same with `number` standing for the figure, for a text that fills it
// in later (a progress bar's "%p").
QString percent_pattern(const QString &number);
