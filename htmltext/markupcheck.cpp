#include "htmltext/markupcheck.h"

#include "htmltext/htmlmarkup.h"

#include <QRegularExpression>

namespace {

// The tag names of the markup. The renderer decides by the first one or two letters, so that a
// tag of another name is ignored or, worse, read as one of these.
const QStringList OpeningTags{
    QStringLiteral("A"),  QStringLiteral("B"),    QStringLiteral("BLINK"), QStringLiteral("BODY"),
    QStringLiteral("BR"), QStringLiteral("E"),    QStringLiteral("FONT"),  QStringLiteral("HI"),
    QStringLiteral("HR"), QStringLiteral("I"),    QStringLiteral("IND"),   QStringLiteral("IMG"),
    QStringLiteral("LI"), QStringLiteral("OFS"),  QStringLiteral("P"),     QStringLiteral("ROT"),
    QStringLiteral("S"),  QStringLiteral("SHAD"), QStringLiteral("SUB"),   QStringLiteral("SUP"),
    QStringLiteral("U"),  QStringLiteral("UL"),   QStringLiteral("Z")};
// Tags whose effect lasts until their closing tag.
const QStringList PairedTags{
    QStringLiteral("A"),    QStringLiteral("B"),  QStringLiteral("BLINK"), QStringLiteral("E"),
    QStringLiteral("FONT"), QStringLiteral("HI"), QStringLiteral("I"),     QStringLiteral("OFS"),
    QStringLiteral("ROT"),  QStringLiteral("S"),  QStringLiteral("SHAD"),  QStringLiteral("SUB"),
    QStringLiteral("SUP"),  QStringLiteral("U"),  QStringLiteral("UL"),    QStringLiteral("Z")};
const QStringList ClosingOnlyTags{QStringLiteral("LI"), QStringLiteral("P")};

// Replaced in any letter case; the three word entities only as written here.
const QStringList Entities{
    QStringLiteral("amp"),    QStringLiteral("quot"),  QStringLiteral("sect"),
    QStringLiteral("permil"), QStringLiteral("reg"),   QStringLiteral("copy"),
    QStringLiteral("para"),   QStringLiteral("trade"), QStringLiteral("euro")};
const QStringList WordEntities{QStringLiteral("nbsp"), QStringLiteral("lt"), QStringLiteral("gt")};

QString tagName(const htmlmarkup::THTMLTag &tag, qsizetype from)
{
    QString name;
    for (qsizetype i = from; tag.at(i).isLetterOrNumber(); ++i)
        name += tag.at(i);
    return name;
}

void scanEntities(const QString &markup, TMarkupScan &scan)
{
    static const QRegularExpression entity(QStringLiteral("&([A-Za-z][A-Za-z0-9]*);"));
    for (const QRegularExpressionMatch &match : entity.globalMatch(markup)) {
        const QString name = match.captured(1);
        if (!Entities.contains(name, Qt::CaseInsensitive) && !WordEntities.contains(name))
            scan.Issues.append({TMarkupIssue::miUnknownEntity, match.captured(0)});
    }
}

} // namespace

TMarkupScan ScanMarkup(const QString &markup)
{
    TMarkupScan scan;
    scanEntities(markup, scan);
    const QString s = htmlmarkup::prepareMarkup(markup);
    QStringList open; // paired tags not yet closed, in the order they were opened
    qsizetype i = 0;
    while (true) {
        const qsizetype lt = s.indexOf(u'<', i);
        if (lt < 0)
            break;
        const qsizetype gt = s.indexOf(u'>', lt);
        if (gt < 0) {
            scan.Issues.append({TMarkupIssue::miUnterminatedTag, s.mid(lt, 40)});
            break;
        }
        const QString text = s.mid(lt, gt - lt + 1);
        i = gt + 1;
        const htmlmarkup::THTMLTag tag(text);
        const bool closing = tag.at(1) == u'/';
        const QString name = tagName(tag, closing ? 2 : 1);
        if (closing) {
            const qsizetype opened = open.lastIndexOf(name);
            if (opened >= 0)
                open.removeAt(opened);
            else if (!PairedTags.contains(name) && !ClosingOnlyTags.contains(name))
                scan.Issues.append({TMarkupIssue::miUnknownTag, text});
            continue;
        }
        if (!OpeningTags.contains(name)) {
            scan.Issues.append({TMarkupIssue::miUnknownTag, text});
            continue;
        }
        if (PairedTags.contains(name))
            open.append(name);
        if (name == u"IMG")
            scan.Pictures.append(tag.value(u"SRC", 2, true).value_or(QString()));
        else if (name == u"A")
            scan.Links.append(tag.firstQuoted());
    }
    open.removeDuplicates();
    for (const QString &name : std::as_const(open))
        scan.Issues.append({TMarkupIssue::miUnclosedTag, u'<' + name + u'>'});
    return scan;
}
