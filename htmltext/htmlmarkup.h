#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Scanning helpers of the markup renderer: preparation of the markup, entities, tags and their
// attributes. Everything here runs in time linear in the text it is given.
namespace htmlmarkup {

// Numbers read from attributes saturate here.
inline constexpr int MaxNumber = 100000;

// Decimal digits from the start of the value, stopping at the first non-digit; *complete tells
// whether the value was non-empty and digits only.
int readNumber(QStringView value, bool *complete = nullptr);

// Replaces the named entities (&amp; &quot; &sect; &permil; &reg; &copy; &para; &trade; &euro;,
// any letter case); "&amp;" becomes "&&", which shows one "&" through prefix processing.
QString replaceEntities(const QString &s);
// Entities, the first "<#field>" opened up, carriage returns as "<BR>", line feeds dropped.
QString prepareMarkup(const QString &markup);
// The entities replaced word by word: &nbsp; &lt; &gt;.
QString replaceWordEntities(QStringView word);

// First occurrence of a pattern at or after a position. Callers move forward, so the remembered
// answer spares scanning the same stretch of text again for every word.
class TForwardFinder
{
public:
    TForwardFinder(const QString &text, QString pattern)
        : FText(text)
        , FPattern(std::move(pattern))
    { }

    qsizetype find(qsizetype from)
    {
        const bool known = FFrom >= 0 && from >= FFrom && (FFound < 0 || FFound >= from);
        if (!known) {
            FFrom = from;
            FFound = FText.indexOf(FPattern, from);
        }
        return FFound;
    }

private:
    const QString &FText;
    QString FPattern;
    qsizetype FFrom = -1;
    qsizetype FFound = -1;
};

// One tag, from "<" to its ">" (or to the end of the markup when it has none). Attribute names
// are found by a plain search in an upper-cased copy of the same length, so the positions found
// also index the original text.
class THTMLTag
{
public:
    explicit THTMLTag(QStringView text);

    // Upper-cased character i of the tag, a null character past its end.
    QChar at(qsizetype i) const { return i < FUpper.size() ? FUpper[i] : QChar(); }
    const QString &upperText() const { return FUpper; }
    bool has(QStringView name, qsizetype from = 0) const { return FUpper.indexOf(name, from) >= 0; }
    // The quoted value right after the first occurrence of name (an optional "=" between them),
    // upper-cased unless keepCase; with digits, unquoted digits count too. nullopt when the name
    // is absent, empty when the value is not quoted.
    std::optional<QString> value(QStringView name, qsizetype from = 0, bool keepCase = false,
                                 bool digits = false) const;
    // The text between the first two double quotes, in its own case.
    QString firstQuoted() const;

private:
    QStringView FText;
    QString FUpper;
};

} // namespace htmlmarkup

// Plain text of a markup string: <BR> and <HR> become CR LF, <Z>..</Z> spans go with their
// content, every other tag is removed; from an unterminated "<" on the rest is kept.
QString HTMLStrip(const QString &s);

// The text of a markup string as a screen reader should say it: the tags removed, a line break
// where a line, paragraph or list item begins, and the entities the renderer replaces given as
// their characters.
QString HTMLSpokenText(const QString &markup);
