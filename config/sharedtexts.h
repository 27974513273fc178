#pragma once

#include <QSet>
#include <QString>

// Hands out one shared copy of texts that recur, such as the captions of switch alternatives
// ("Sommer", "Winter") or of members that many groups have, so that equal texts cost their
// characters once. It remembers a bounded number of distinct texts and starts afresh when they
// are reached, so that a file of distinct texts costs no more than a small table.
class TSharedTexts
{
public:
    // The copy handed out before of a text equal to this one, or this one.
    QString Shared(const QString &text);

private:
    static constexpr qsizetype MaxTexts = 1024;

    QSet<QString> FTexts;
};
