#pragma once

#include <QString>
#include <QTranslator>

// A made-up language for finding texts that escape translation and widgets
// too small for a longer language: every text comes back a third longer,
// with accents on its letters, between ⟦ and ⟧. Placeholders (%1, %n, %L2),
// markup (<b>, &amp;) and line breaks are kept as they are.
class PseudoTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    static QString pseudo(const QString &source);

    QString translate(const char *context, const char *source, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }

    static const QChar OPEN;
    static const QChar CLOSE;
};
