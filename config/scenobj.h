#pragma once

#include <QString>

// The entry attached to every top-level node of the object tree.
class TScenObj
{
public:
    QString Name; // caption from the list section, without prefix
    QString FileName; // key of the list section: object key, group or switch section name
    QString FileType; // "Scenery", "Group" or "Switch"
};

inline const QString ftScenery = QStringLiteral("Scenery");
inline const QString ftGroup = QStringLiteral("Group");
inline const QString ftSwitch = QStringLiteral("Switch");
