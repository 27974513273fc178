#include "config/scenerycheck.h"

#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/sceneryentries.h"
#include "config/sceneryfiles.h"
#include "config/scenerystate.h"
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

TSceneryCheck::TSceneryCheck(const TIniFile &ini, const TCheckTreeModel &tree)
    : FIni(ini)
    , FTree(tree)
    , FFiles(TSceneryFiles::BaseFolder(ini.FileName()))
{ }

void TSceneryCheck::Run(const std::function<void(const TFileCheck &)> &visit)
{
    for (int i = 0; i < FTree.TopLevelCount(); ++i) {
        const TScenObj *entry = FTree.TopLevelItem(i)->DataAs<TScenObj>();
        if (!entry)
            continue;
        TFileCheck check;
        check.Entry = entry->FileName;
        check.FileType = entry->FileType;
        check.StateKey = EntryStateKey(FIni, *entry);
        check.StateValue = FIni.ReadInteger(ControlFile::States, check.StateKey, 1);

        const QStringList keys = EntryFiles(FIni, *entry);
        for (qsizetype k = 0; k < keys.size(); ++k) {
            check.Key = keys.at(k);
            // A switch's value names the alternative that is active; otherwise 1 means active.
            check.Expected
                = expectedForm(check.StateValue, entry->FileType == ftSwitch ? qint32(k) : 1);
            CheckFile(check);
            visit(check);
        }
    }
}

void TSceneryCheck::CheckFile(TFileCheck &check)
{
    const QString activePath = TSceneryFiles::ActivePath(check.Key);
    const QString inactivePath = TSceneryFiles::InactivePath(activePath);
    check.ActiveName.clear();
    check.InactiveName.clear();
    check.LetterCaseVariant = false;
    const TFileForms forms = FFiles.Forms(activePath);
    check.Form = forms.Form;
    check.Ambiguous = forms.Ambiguous;
    if (!forms.Active.isEmpty())
        check.ActiveName = FFiles.Relative(forms.Active);
    if (!forms.Inactive.isEmpty())
        check.InactiveName = FFiles.Relative(forms.Inactive);
    check.LetterCaseVariant
        = (!check.ActiveName.isEmpty() && check.ActiveName != cleanRelative(activePath))
        || (!check.InactiveName.isEmpty() && check.InactiveName != cleanRelative(inactivePath));
}
