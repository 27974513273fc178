#include "config/sceneryentries.h"

#include "config/inifile.h"
#include "config/scenerystate.h"
#include "config/scenobj.h"

QString EntryListSection(TFileType fileType, int language)
{
    switch (fileType) {
    case ftGroup:
        return ControlFile::GroupListSection(language);
    case ftSwitch:
        return ControlFile::SwitchListSection(language);
    case ftScenery:
        break;
    }
    return ControlFile::ObjectListSection(language);
}

QString EntryStateKey(const TIniFile &ini, const TScenObj &entry)
{
    if (entry.FileType == ftScenery)
        return entry.FileName;
    return ini.ReadString(entry.FileName, ControlFile::CheckedKey, QString());
}

QStringList GroupMembers(const TIniFile &ini, const QString &group)
{
    QStringList keys;
    ini.ReadSection(group, keys);
    return GroupMembers(std::move(keys));
}

QStringList GroupMembers(QStringList keys)
{
    keys.removeIf([](const QString &key) { return !IsGroupMember(key); });
    return keys;
}

bool IsGroupMember(const QString &key)
{
    return key != ControlFile::CheckedKey && key != ControlFile::ShowKey;
}

QStringList EntryFiles(const TIniFile &ini, const TScenObj &entry)
{
    if (entry.FileType == ftScenery)
        return {entry.FileName};
    if (entry.FileType == ftGroup)
        return GroupMembers(ini, entry.FileName);
    if (entry.FileType == ftSwitch)
        return SwitchAlternatives(ini, entry.FileName).mid(0, SwitchedAlternatives);
    return {};
}

QStringList SwitchAlternatives(const TIniFile &ini, const QString &switchSection)
{
    QStringList keys;
    ini.ReadSection(switchSection, keys);
    keys.removeIf([](const QString &key) { return !IsSwitchAlternative(key); });
    return keys;
}

bool IsSwitchAlternative(const QString &key)
{
    return key.compare(ControlFile::CheckedKey, Qt::CaseInsensitive) != 0;
}
