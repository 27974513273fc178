#pragma once

#include "config/scenobj.h"

#include <QString>
#include <QStringList>

class TIniFile;

// How many alternatives of a switch take part in Apply: the first two of its section.
inline constexpr int SwitchedAlternatives = 2;

// The section that lists the entries of this type in the language ("Szenerie", "Gruppen",
// "Schalter"; "Scenery", "Groups", "Switches").
QString EntryListSection(TFileType fileType, int language);

// The state key of an entry: a plain object's own key, or the "Checked" value of a group or
// switch section (empty when the section has none).
QString EntryStateKey(const TIniFile &ini, const TScenObj &entry);

// The member keys of a group section: every key except "Checked" and "Show", which are
// recognised only as spelled exactly so.
QStringList GroupMembers(const TIniFile &ini, const QString &group);
bool IsGroupMember(const QString &key);
// The same from the section's keys, for a caller that has listed them already.
QStringList GroupMembers(QStringList keys);

// The alternatives of a switch section, as the tree lists them and Apply switches them: its keys
// without "Checked" in any letter case. The first is alternative 0, the second alternative 1;
// any further key takes no part.
QStringList SwitchAlternatives(const TIniFile &ini, const QString &switchSection);
bool IsSwitchAlternative(const QString &key);

// The object keys of the scenery files an entry switches, in order: a plain object's own key,
// every member of a group, the alternatives of a switch that take part (a switch's alternative k
// is the k-th key). None for an entry of another type.
QStringList EntryFiles(const TIniFile &ini, const TScenObj &entry);
