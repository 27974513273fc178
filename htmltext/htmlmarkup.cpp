#include "htmltext/htmlmarkup.h"

#include <QStringList>

#include <algorithm>

namespace htmlmarkup {

namespace {

struct TEntity
{
    QStringView name; // after the "&"
    QStringView replacement;
};

constexpr TEntity entities[] = {
    {u"amp;", u"&&"},        {u"quot;", u"\""},      {u"sect;", u"\u00A7"},
    {u"permil;", u"\u2030"}, {u"reg;", u"\u00AE"},   {u"copy;", u"\u00A9"},
    {u"para;", u"\u00B6"},   {u"trade;", u"\u2122"}, {u"euro;", u"\u20AC"},
};

} // namespace

int readNumber(QStringView value, bool *complete)
{
    qint64 n = 0;
    qsizetype i = 0;
    for (; i < value.size() && value[i].unicode() >= u'0' && value[i].unicode() <= u'9'; ++i)
        n = std::min<qint64>(n * 10 + (value[i].unicode() - u'0'), MaxNumber);
    if (complete)
        *complete = !value.isEmpty() && i == value.size();
    return int(n);
}

// One left-to-right scan gives what repeated replacement rounds give: entities never overlap,
// and the only new one a replacement can form starts at the second "&" of a replaced "&amp;".
QString replaceEntities(const QString &s)
{
    QString out;
    out.reserve(s.size());
    const QStringView text(s);
    qsizetype i = 0;
    bool pendingAmp = false; // the second "&" of a replaced "&amp;", not yet written
    while (i < text.size() || pendingAmp) {
        if (!pendingAmp && text[i] != u'&') {
            out += text[i++];
            continue;
        }
        const qsizetype nameStart = pendingAmp ? i : i + 1;
        const QStringView rest = text.mid(nameStart);
        const auto match
            = std::find_if(std::begin(entities), std::end(entities), [&](const TEntity &e) {
                  return rest.startsWith(e.name, Qt::CaseInsensitive);
              });
        if (match == std::end(entities)) {
            out += u'&';
            pendingAmp = false;
            i = nameStart;
            continue;
        }
        pendingAmp = match->replacement == u"&&";
        out += pendingAmp ? QStringView(u"&") : match->replacement;
        i = nameStart + match->name.size();
    }
    return out;
}

QString prepareMarkup(const QString &markup)
{
    QString s = markup.contains(u'&') ? replaceEntities(markup) : markup;
    const qsizetype field = s.indexOf(u"<#");
    if (field >= 0) {
        const qsizetype close = s.indexOf(u'>', field + 2);
        if (close >= 0) {
            s.remove(close, 1);
            s.remove(field, 2);
        }
    }
    QString out;
    out.reserve(s.size());
    for (const QChar c : std::as_const(s)) {
        if (c == u'\r')
            out += u"<BR>";
        else if (c != u'\n')
            out += c;
    }
    return out;
}

QString replaceWordEntities(QStringView word)
{
    QString out = word.toString();
    if (out.contains(u'&')) {
        out.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
        out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    }
    return out;
}

THTMLTag::THTMLTag(QStringView text)
    : FText(text)
{
    FUpper.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        FUpper[i] = text[i].toUpper();
}

std::optional<QString> THTMLTag::value(QStringView name, qsizetype from, bool keepCase,
                                       bool digits) const
{
    const qsizetype found = FUpper.indexOf(name, from);
    if (found < 0)
        return std::nullopt;
    qsizetype i = found + name.size();
    const auto skipSpaces = [&] {
        while (i < FUpper.size() && FUpper[i] == u' ')
            ++i;
    };
    skipSpaces();
    if (i < FUpper.size() && FUpper[i] == u'=') {
        ++i;
        skipSpaces();
    }
    if (i < FUpper.size() && FUpper[i] == u'"') {
        const qsizetype close = FUpper.indexOf(u'"', i + 1);
        if (close < 0)
            return QString();
        return (keepCase ? FText : QStringView(FUpper)).mid(i + 1, close - i - 1).toString();
    }
    if (!digits)
        return QString();
    const qsizetype start = i;
    while (i < FUpper.size() && FUpper[i].unicode() >= u'0' && FUpper[i].unicode() <= u'9')
        ++i;
    return FUpper.mid(start, i - start);
}

QString THTMLTag::firstQuoted() const
{
    const qsizetype open = FText.indexOf(u'"');
    const qsizetype close = open < 0 ? -1 : FText.indexOf(u'"', open + 1);
    return close < 0 ? QString() : FText.mid(open + 1, close - open - 1).toString();
}

} // namespace htmlmarkup

QString HTMLStrip(const QString &s)
{
    QString out;
    out.reserve(s.size());
    htmlmarkup::TForwardFinder gtFinder(s, QStringLiteral(">"));
    htmlmarkup::TForwardFinder upperZ(s, QStringLiteral("</Z>"));
    htmlmarkup::TForwardFinder lowerZ(s, QStringLiteral("</z>"));
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype lt = s.indexOf(u'<', i);
        if (lt < 0) {
            out += QStringView(s).mid(i);
            break;
        }
        out += QStringView(s).mid(i, lt - i);
        const qsizetype gt = gtFinder.find(lt);
        if (gt < 0) {
            out += QStringView(s).mid(lt);
            break;
        }
        const QStringView tag = QStringView(s).mid(lt, gt - lt + 1);
        i = gt + 1;
        if (tag.compare(u"<BR>", Qt::CaseInsensitive) == 0
            || tag.compare(u"<HR>", Qt::CaseInsensitive) == 0) {
            out += u"\r\n";
        } else if (tag == u"<Z>" || tag == u"<z>") {
            const qsizetype close = (tag == u"<Z>" ? upperZ : lowerZ).find(i);
            if (close >= 0)
                i = close + 4;
        }
    }
    return out;
}

namespace {

// Whether a tag that begins a block (a paragraph, a list, a list item or a division, opening or
// closing) starts at the "<" at position at: its name, in any letter case, followed by white
// space or ">".
bool startsBlock(const QString &markup, qsizetype at)
{
    static constexpr QStringView names[]
        = {u"LI", u"P", u"/P", u"UL", u"/UL", u"OL", u"/OL", u"DIV", u"/DIV"};
    const QStringView rest = QStringView(markup).mid(at + 1);
    for (const QStringView name : names) {
        if (rest.size() > name.size() && rest.startsWith(name, Qt::CaseInsensitive)) {
            const QChar next = rest[name.size()];
            if (next == u'>' || next == u' ' || (next >= u'\t' && next <= u'\r'))
                return true;
        }
    }
    return false;
}

} // namespace

// Written without regular expressions: compiling them would be most of the cost of the window's
// accessible names, which are set before it is first shown.
QString HTMLSpokenText(const QString &markup)
{
    QString marked;
    marked.reserve(markup.size());
    for (qsizetype i = 0; i < markup.size(); ++i) {
        if (markup[i] == u'<' && startsBlock(markup, i))
            marked += u"<BR>";
        marked += markup[i];
    }
    const QString text
        = htmlmarkup::replaceWordEntities(htmlmarkup::replaceEntities(HTMLStrip(marked))
                                              .replace(QStringLiteral("&&"), QStringLiteral("&")));
    QStringList lines;
    for (const QString &line : QString(text).replace(u'\r', u'\n').split(u'\n')) {
        if (const QString kept = line.simplified(); !kept.isEmpty())
            lines << kept;
    }
    return lines.join(u'\n');
}
