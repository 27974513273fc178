#include "config/staterecords.h"

#include "config/inifile.h"
#include "config/profiledocument.h"
#include "config/sceneryapplier.h"
#include "config/sceneryloader.h"
#include "config/scenerystate.h"

#include <QSet>

const QString TStateRecords::Previous = QStringLiteral("Checked (before last apply)");
const QString TStateRecords::Shipped = QStringLiteral("Checked (shipped)");

namespace {

bool hasKeys(const TIniFile &ini, const QString &section)
{
    QStringList keys;
    ini.ReadSection(section, keys);
    return !keys.isEmpty();
}

} // namespace

TStateRecords::TStateRecords(const TIniFile &ini, const QList<TStateWrite> &states)
    : FFirst(!hasKeys(ini, Shipped))
{
    QStringList keys;
    ini.ReadSection(ControlFile::States, keys);
    for (const TStateWrite &state : states) {
        keys.append(state.Key);
        if (ini.ReadString(ControlFile::States, state.Key, QString()) != state.Value)
            FChanges = true;
    }
    QSet<QString> seen; // names match ignoring letter case, as in the file
    for (const QString &key : std::as_const(keys)) {
        // A key that Apply cannot write stops it at its state: it has no copy. Whether the file
        // can be replaced at all is asked once, by Apply's first write, not here for every key.
        if (!TProfileDocument::isStorableKey(key) || seen.contains(key.trimmed().toCaseFolded()))
            continue;
        seen.insert(key.trimmed().toCaseFolded());
        FBefore.append({key, ini.ReadString(ControlFile::States, key, QStringLiteral("1"))});
    }
}

void TStateRecords::Write(TIniFile &ini) const
{
    if (!FChanges)
        return;
    for (const TValue &value : FBefore) {
        ini.WriteString(Previous, value.Key, value.Value);
        if (FFirst)
            ini.WriteString(Shipped, value.Key, value.Value);
    }
}

bool TStateRecords::CanUndo(const TIniFile &ini)
{
    return hasKeys(ini, Previous);
}

QString TStateRecords::ShippedSection(const TIniFile &ini)
{
    return hasKeys(ini, Shipped) ? Shipped : ControlFile::States;
}

bool LoadRecordedStates(TSceneryState &state, TCheckTreeModel &tree, bool undo)
{
    const TIniFile ini(state.Scenery);
    if (undo && !TStateRecords::CanUndo(ini))
        return false;
    const QString section = undo ? TStateRecords::Previous : TStateRecords::ShippedSection(ini);
    TSceneryLoader(state, tree).LoadStates(section);
    return true;
}
