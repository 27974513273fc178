#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A mistake in a markup text that the renderer passes over silently.
struct TMarkupIssue
{
    enum TKind {
        miUnknownTag, // a tag the renderer does not know: ignored, or read as another one
        miUnterminatedTag, // a "<" without ">": the rest of the text is dropped
        miUnclosedTag, // formatting opened and never closed: it runs to the end of the text
        miUnknownEntity, // "&name;" that is not replaced: shown as written
    };
    TKind Kind = miUnknownTag;
    QString Text; // the tag or entity as written (the start of the rest for miUnterminatedTag)
};

// What a markup text holds, read as the renderer reads it.
struct TMarkupScan
{
    QList<TMarkupIssue> Issues;
    QStringList Pictures; // the SRC of every <IMG>, as written
    QStringList Links; // the target of every <A>, as written
};

TMarkupScan ScanMarkup(const QString &markup);
