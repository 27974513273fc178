#pragma once

#include <QString>

// The type of a top-level entry: a plain object, a group or a switch.
enum TFileType : quint8 { ftScenery, ftGroup, ftSwitch };

// "Scenery", "Group" or "Switch": the type as the configurator has always named it.
inline QString FileTypeText(TFileType fileType)
{
    switch (fileType) {
    case ftGroup:
        return QStringLiteral("Group");
    case ftSwitch:
        return QStringLiteral("Switch");
    case ftScenery:
        break;
    }
    return QStringLiteral("Scenery");
}

// The entry attached to every top-level node of the object tree. Its caption is the node's text
// without the "[Grp] " or "[Sw] " in front, so it is not kept a second time.
class TScenObj
{
public:
    QString FileName; // key of the list section: object key, group or switch section name
    TFileType FileType = ftScenery;
    quint8 PrefixLength = 0; // characters of the node's text before the caption

    // The caption from the list section, from the text of the node this entry belongs to.
    QString Name(const QString &nodeText) const { return nodeText.mid(PrefixLength); }
};
