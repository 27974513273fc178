#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Many short texts kept in one buffer, in the order they were added: a byte a character for a
// text whose characters all fit in one, two bytes a character for any other, and the end of each
// text in a table. Hundreds of thousands of names cost their characters and four bytes each, not
// a string object each.
class TCompactStrings
{
public:
    // Adds the text and returns its index.
    quint32 Append(const QString &text);
    QString At(quint32 index) const;
    quint32 Size() const { return quint32(FEnds.size()); }

private:
    QByteArray FChars;
    std::vector<quint32> FEnds; // the end of each text in FChars; the top bit marks two-byte texts
};
