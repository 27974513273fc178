#include "config/scenerycheck.h"

#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/sceneryentries.h"
#include "config/sceneryfiles.h"
#include "config/scenobj.h"

#include <QDir>

namespace {

// The form a stored value gives a file that is active for `activeValue`.
std::optional<TFileForm> expectedForm(qint32 value, qint32 activeValue)
{
    if (value != 0 && value != 1)
        return std::nullopt;
    return value == activeValue ? ffActive : ffInactive;
}

QString cleanRelative(const QString &path)
{
    return QDir::cleanPath(QString(path).replace(u'\\', u'/'));
}

} // namespace

TSceneryCheck::TSceneryCheck(const TSceneryState &state, const TCheckTreeModel &tree)
    : FState(state)
    , FTree(tree)
    , FBaseFolder(TSceneryFiles::BaseFolder(state.Scenery))
{ }

QList<TFileCheck> TSceneryCheck::Run() const
{
    const TIniFile ini(FState.Scenery);
    TSceneryFiles files(FBaseFolder);
    QList<TFileCheck> checks;
    for (int i = 0; i < FTree.TopLevelCount(); ++i) {
        const TScenObj *entry = FTree.TopLevelItem(i)->DataAs<TScenObj>();
        if (!entry)
            continue;
        TFileCheck check;
        check.Entry = entry->FileName;
        check.FileType = entry->FileType;
        check.StateKey = EntryStateKey(ini, *entry);
        check.StateValue = ini.ReadInteger(ControlFile::States, check.StateKey, 1);

        const QStringList keys = EntryFiles(ini, *entry);
        for (qsizetype k = 0; k < keys.size(); ++k) {
            check.Key = keys.at(k);
            // A switch's value names the alternative that is active; otherwise 1 means active.
            check.Expected
                = expectedForm(check.StateValue, entry->FileType == ftSwitch ? qint32(k) : 1);
            CheckFile(files, check);
            checks.append(check);
        }
    }
    return checks;
}

void TSceneryCheck::CheckFile(TSceneryFiles &files, TFileCheck &check) const
{
    const QString activePath = TSceneryFiles::ActivePath(check.Key);
    const QString inactivePath = TSceneryFiles::InactivePath(activePath);
    check.ActiveName.clear();
    check.InactiveName.clear();
    check.LetterCaseVariant = false;
    const TFileForms forms = files.Forms(activePath);
    check.Form = forms.Form;
    check.Ambiguous = forms.Ambiguous;
    if (!forms.Active.isEmpty())
        check.ActiveName = files.Relative(forms.Active);
    if (!forms.Inactive.isEmpty())
        check.InactiveName = files.Relative(forms.Inactive);
    check.LetterCaseVariant
        = (!check.ActiveName.isEmpty() && check.ActiveName != cleanRelative(activePath))
        || (!check.InactiveName.isEmpty() && check.InactiveName != cleanRelative(inactivePath));
}
