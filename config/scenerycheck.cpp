#include "config/scenerycheck.h"

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

TSceneryCheck::TSceneryCheck(const TIniFile &ini, std::vector<TScenObj> entries)
    : FFiles(TSceneryFiles::BaseFolder(ini.FileName()))
    , FEntries(std::move(entries))
{
    FPlans.reserve(FEntries.size());
    for (const TScenObj &entry : FEntries) {
        const QString stateKey = EntryStateKey(ini, entry);
        FPlans.push_back({ini.ReadInteger(ControlFile::States, stateKey, 1), FTexts.Size()});
        if (entry.FileType == ftScenery)
            continue;
        FTexts.Append(stateKey);
        for (const QString &key : EntryFiles(ini, entry))
            FTexts.Append(key);
    }
}

void TSceneryCheck::Run(const std::function<void(const TFileCheck &)> &visit)
{
    for (std::size_t e = 0; e < FEntries.size(); ++e) {
        const TEntryPlan &plan = FPlans[e];
        const TScenObj &entry = FEntries[e];
        const bool plainObject = entry.FileType == ftScenery;
        TFileCheck check;
        check.Entry = entry.FileName;
        check.FileType = entry.FileType;
        check.StateKey = plainObject ? entry.FileName : FTexts.At(plan.FirstText);
        check.StateValue = plan.StateValue;

        const quint32 end = e + 1 < FPlans.size() ? FPlans[e + 1].FirstText : FTexts.Size();
        const quint32 files = plainObject ? 1 : end - plan.FirstText - 1;
        for (quint32 k = 0; k < files; ++k) {
            check.Key = plainObject ? entry.FileName : FTexts.At(plan.FirstText + 1 + k);
            // A switch's value names the alternative that is active; otherwise 1 means active.
            check.Expected
                = expectedForm(check.StateValue, entry.FileType == ftSwitch ? qint32(k) : 1);
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
