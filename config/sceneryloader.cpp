#include "config/sceneryloader.h"

#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/scenerychoices.h"
#include "config/sceneryentries.h"
#include "config/scenobj.h"
#include "config/sharedtexts.h"

#include <stdexcept>
#include <vector>

namespace {

// The stored language word is compared after upper-casing its ASCII letters only.
QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return text;
}

const QString GroupPrefix = QStringLiteral("[Grp] ");
const QString SwitchPrefix = QStringLiteral("[Sw] ");

// How many groups or switches are read before their states: enough that the state section is
// looked up seldom, few enough that their state keys take little room.
constexpr std::size_t StateBatch = 256;

// The state a node takes from the control file, as the tree's SetItemState gives it: a change
// cascades, the same state again changes nothing.
void setState(TCheckTreeModel &tree, TCheckTreeNode *node, TRzCheckState state)
{
    if (node->CheckState() != state)
        tree.ChangeNodeCheckState(node, state);
}

// Whether a group shows its members: as its "Show" key (looked up ignoring case) says, and so
// without one. The section's keys are listed already, so a section without "Show" (the usual
// case) costs no lookup.
bool showsMembers(const TIniFile &ini, const QString &group, const QStringList &keys)
{
    return !keys.contains(ControlFile::ShowKey, Qt::CaseInsensitive)
        || ini.ReadBool(group, ControlFile::ShowKey, true);
}

// Adds below the node the value of each of the section's keys that `isChild` takes (a group's
// members, a switch's alternatives) as a child's caption, equal captions as one shared copy.
void addChildren(TCheckTreeModel &tree, TCheckTreeNode *node, const QStringList &keys,
                 const QStringList &values, bool (*isChild)(const QString &),
                 TSharedTexts &captions)
{
    for (qsizetype k = 0; k < keys.size(); ++k) {
        if (isChild(keys.at(k)))
            tree.AddChild(node, captions.Shared(values.at(k)));
    }
}

} // namespace

TSceneryLoader::TSceneryLoader(TSceneryState &state, TCheckTreeModel &tree)
    : FState(state)
    , FTree(tree)
{ }

void TSceneryLoader::ReadIni(std::optional<qint32> language)
{
    const TIniFile ini(FState.Scenery);
    ReadIni(ini, language);
}

void TSceneryLoader::ReadIni(const TIniFile &ini, std::optional<qint32> language)
{
    FState.BglList.clear();
    FState.GrpList.clear();
    ReadLanguage(ini, language);
    FState.URL = ini.ReadString(ControlFile::Settings, ControlFile::Url, DefaultHomePage);
    const TCheckTreeUpdate update(FTree);
    FTree.Clear();
    AddObjects(ini);
    AddGroups(ini);
    AddSwitches(ini);
    SceneryChoices::Install(FTree);
}

std::vector<TScenObj> TSceneryLoader::ReadEntries(const TIniFile &ini,
                                                  std::optional<qint32> language)
{
    ReadLanguage(ini, language);
    std::vector<TScenObj> entries;
    QStringList keys;
    for (const TFileType fileType : {ftScenery, ftGroup, ftSwitch}) {
        ini.ReadSection(EntryListSection(fileType, FState.Language), keys);
        for (const QString &key : std::as_const(keys))
            entries.push_back({key, fileType});
    }
    if (entries.size() > std::size_t(TCheckTreeNode::MaxEntries))
        throw std::length_error("too many entries for one tree");
    return entries;
}

void TSceneryLoader::LoadStates(const QString &section)
{
    const TIniFile ini(FState.Scenery);
    const TCheckTreeUpdate update(FTree);
    for (int i = 0; i < FTree.TopLevelCount(); ++i) {
        TCheckTreeNode *node = FTree.TopLevelItem(i);
        const TScenObj *entry = node->DataAs<TScenObj>();
        if (!entry)
            continue;
        // Unchecked first, as a node without a state shows once painted.
        setState(FTree, node, csUnchecked);
        const QString stateKey = EntryStateKey(ini, *entry);
        if (entry->FileType == ftSwitch)
            SetLoadedSwitch(ini, node, stateKey, section);
        else
            SetLoadedState(ini, node, stateKey, section);
    }
}

void TSceneryLoader::ReadLanguage(const TIniFile &ini, std::optional<qint32> language)
{
    if (language) {
        FState.Language = *language == lgEnglish ? lgEnglish : lgGerman;
        return;
    }
    const QString word = asciiUpper(
        ini.ReadString(ControlFile::Settings, ControlFile::Language, FState.Languages[lgGerman]));
    // Any other word keeps the current language, so that its object list is still shown and
    // the language step writes a valid word back.
    if (word == u"GERMAN")
        FState.Language = lgGerman;
    else if (word == u"ENGLISH")
        FState.Language = lgEnglish;
}

// Each list and entry section is read in one walk, its keys with their values, instead of a
// lookup of every key in turn.
void TSceneryLoader::AddObjects(const TIniFile &ini)
{
    const QString section = ControlFile::ObjectListSection(FState.Language);
    QStringList captions;
    ini.ReadSectionValues(section, FState.BglList, captions);
    for (qsizetype i = 0; i < FState.BglList.size(); ++i) {
        const QString &key = FState.BglList.at(i);
        const QString &caption = captions.at(i);
        TCheckTreeNode *node = FTree.Add(caption, TScenObj{key, ftScenery});
        SetLoadedState(ini, node, key, ControlFile::States);
    }
}

void TSceneryLoader::AddGroups(const TIniFile &ini)
{
    const QString listSection = ControlFile::GroupListSection(FState.Language);
    QStringList captions;
    ini.ReadSectionValues(listSection, FState.GrpList, captions);
    QStringList values;
    std::vector<TLoadedEntry> loaded;
    TSharedTexts memberCaptions;
    for (qsizetype i = 0; i < FState.GrpList.size(); ++i) {
        const QString &group = FState.GrpList.at(i);
        const QString &caption = captions.at(i);
        const QString stateKey = ini.ReadString(group, ControlFile::CheckedKey, QString());
        // A section with any key, "Checked" and "Show" included, shows its members unless "Show"
        // (looked up ignoring case) says otherwise; a section without keys shows the plain caption.
        ini.ReadSectionValues(group, FState.BglList, values);
        const bool showMembers
            = !FState.BglList.isEmpty() && showsMembers(ini, group, FState.BglList);
        TCheckTreeNode *node
            = FTree.Add(showMembers ? GroupPrefix + caption : caption,
                        TScenObj{group, ftGroup, quint8(showMembers ? GroupPrefix.size() : 0)});
        if (showMembers)
            addChildren(FTree, node, FState.BglList, values, IsGroupMember, memberCaptions);
        QueueState(ini, loaded, {node, stateKey}, &TSceneryLoader::SetLoadedState);
    }
    SetQueuedStates(ini, loaded, &TSceneryLoader::SetLoadedState);
}

void TSceneryLoader::AddSwitches(const TIniFile &ini)
{
    const QString listSection = ControlFile::SwitchListSection(FState.Language);
    QStringList captions;
    ini.ReadSectionValues(listSection, FState.GrpList, captions);
    QStringList values;
    std::vector<TLoadedEntry> loaded;
    TSharedTexts alternativeCaptions;
    for (qsizetype i = 0; i < FState.GrpList.size(); ++i) {
        const QString &sw = FState.GrpList.at(i);
        const QString &caption = captions.at(i);
        const QString stateKey = ini.ReadString(sw, ControlFile::CheckedKey, QString());
        TCheckTreeNode *node = FTree.Add(SwitchPrefix + caption,
                                         TScenObj{sw, ftSwitch, quint8(SwitchPrefix.size())});
        // The same alternatives that Apply switches, so that the rows and the files agree.
        ini.ReadSectionValues(sw, FState.BglList, values);
        addChildren(FTree, node, FState.BglList, values, IsSwitchAlternative, alternativeCaptions);
        QueueState(ini, loaded, {node, stateKey}, &TSceneryLoader::SetLoadedSwitch);
    }
    SetQueuedStates(ini, loaded, &TSceneryLoader::SetLoadedSwitch);
}

void TSceneryLoader::QueueState(const TIniFile &ini, std::vector<TLoadedEntry> &batch,
                                TLoadedEntry entry, TStateSetter setState)
{
    if (batch.empty())
        batch.reserve(StateBatch);
    batch.push_back(std::move(entry));
    if (batch.size() == StateBatch)
        SetQueuedStates(ini, batch, setState);
}

void TSceneryLoader::SetQueuedStates(const TIniFile &ini, std::vector<TLoadedEntry> &batch,
                                     TStateSetter setState)
{
    for (const TLoadedEntry &entry : batch)
        (this->*setState)(ini, entry.Node, entry.StateKey, ControlFile::States);
    batch.clear();
}

// The stored value 0 picks the first alternative, 1 the second; any other value picks none,
// so that Apply leaves the files as they are.
void TSceneryLoader::SetLoadedSwitch(const TIniFile &ini, TCheckTreeNode *node,
                                     const QString &stateKey, const QString &section)
{
    const qint32 value = ini.ReadInteger(section, stateKey, 1);
    if (value == 0 || value == 1)
        SceneryChoices::PickAlternative(FTree, node, value);
}

// 0 and 1 give the node a state, which cascades to its children; any other number leaves the
// node without one (it shows unchecked once painted); missing or unreadable values count as 1.
void TSceneryLoader::SetLoadedState(const TIniFile &ini, TCheckTreeNode *node,
                                    const QString &stateKey, const QString &section)
{
    const qint32 value = ini.ReadInteger(section, stateKey, 1);
    if (value == 0 || value == 1)
        setState(FTree, node, value == 0 ? csUnchecked : csChecked);
}
