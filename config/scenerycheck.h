#pragma once

#include "config/compactstrings.h"
#include "config/sceneryfiles.h"
#include "config/scenobj.h"

#include <QList>

#include <functional>
#include <optional>
#include <vector>

class TIniFile;

// One scenery file of an entry: its form on disk against the form the entry's stored state
// gives it.
struct TFileCheck
{
    QString Entry; // the entry's key: object key, group or switch section
    TFileType FileType = ftScenery;
    QString Key; // the object key of the file
    QString StateKey;
    qint32 StateValue = 1; // as loading reads it: missing or unreadable values count as 1
    // Active or inactive; none when the stored value is neither 0 nor 1, which gives the entry no
    // state, so that no form agrees with it.
    std::optional<TFileForm> Expected;
    TFileForm Form = ffMissing;
    QString ActiveName; // the real names found, relative to the base folder; empty when absent
    QString InactiveName;
    bool LetterCaseVariant = false; // a real name is spelled otherwise than the key
    QStringList Ambiguous; // ffAmbiguous: the names, relative to the base folder

    bool Agrees() const { return Expected && Form == *Expected; }
};

// Compares every scenery file that Apply would switch with the state the control file records
// for it: a plain object's file, every member of a group, the first two alternatives of a switch.
class TSceneryCheck
{
public:
    // Reads at once, through the accessor of the control file, each entry's state and the keys of
    // its files, so that the caller may release the accessor (and its parsed copy of a large file)
    // before the files are looked at. The entries are the top-level entries of the tree, as
    // TSceneryLoader::ReadEntries gives them. Scenery file paths are relative to the control
    // file's folder.
    TSceneryCheck(const TIniFile &ini, std::vector<TScenObj> entries);

    // Hands each file to `visit` as soon as it is checked, in the order of the tree and of each
    // entry's files, so that no list of every file is kept. A second Run looks at the files
    // again, with the folder listings of the first.
    void Run(const std::function<void(const TFileCheck &)> &visit);

private:
    // What the control file says of the entry of the same index: its stored state, and from
    // FTexts[FirstText] up to the next entry's first text, the state key of a group or switch and
    // the keys of its files. A plain object's own key is its state key and its one file, and is
    // taken from the entry instead.
    struct TEntryPlan
    {
        qint32 StateValue;
        quint32 FirstText;
    };

    void CheckFile(TFileCheck &check);

    TSceneryFiles FFiles;
    std::vector<TScenObj> FEntries;
    std::vector<TEntryPlan> FPlans;
    TCompactStrings FTexts;
};
