#include "walk/ftw.h"

#include "walk/wildcard.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr QChar Separator = u'/';

qint32 attributesOf(const QFileInfo &info)
{
    qint32 attr = 0;
    if (info.isDir())
        attr |= faDirectory;
    const QString name = info.fileName();
    if (name.startsWith(u'.') && name != u"." && name != u"..")
        attr |= faHidden;
    if (!info.isWritable())
        attr |= faReadOnly;
    return attr;
}

bool isDotEntry(const QString &name)
{
    return name == u"." || name == u"..";
}

} // namespace

TFtw::TFtw()
    : StartPath(QDir::rootPath())
{ }

bool TFtw::Execute()
{
    if (!OnProcessFile)
        throw EFtwException("TFtw : OnProcessFile function has not been assigned");
    if (Filter.isEmpty())
        FFilePattern = QStringLiteral("/*.*");
    else
        FFilePattern = Filter.startsWith(Separator) ? Filter : Separator + Filter;
    FWalking.clear();
    Walk_Tree(StartPath, Attr, OnProcessFile, Recursive);
    return true;
}

void TFtw::Walk_Tree(QString start, qint32 attr, const TOnProcess_File &doIt, bool recursive)
{
    if (start.endsWith(Separator))
        start.chop(1);

    // The search pattern is the folder followed by the prepared pattern; its last component
    // is matched against the entry names.
    const QString search = start + FFilePattern;
    const qsizetype cut = search.lastIndexOf(Separator);
    const QString folder = cut == 0 ? QString(Separator) : search.left(cut);
    const QString pattern = search.mid(cut + 1);

    const QDir dir(folder);
    const QString canonical = dir.canonicalPath();
    if (canonical.isEmpty() || FWalking.contains(canonical))
        return; // missing, unreadable, or a link back into a folder being walked
    FWalking.insert(canonical);

    // Hidden, system and folder entries are returned only when the mask holds their bit.
    const qint32 excluded = (faHidden | faSysFile | faDirectory) & ~attr;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System,
                                                    QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (!MatchesWildcard(name, pattern))
            continue;
        TSearchRec info{name, attributesOf(entry), entry.size(), entry.lastModified()};
        if (info.Attr & excluded)
            continue;
        if (doIt(start, info) == Finished)
            break;
        if ((info.Attr & faDirectory) && !isDotEntry(name) && recursive)
            Walk_Tree(start + Separator + name, attr, doIt, recursive);
    }
    FWalking.remove(canonical);
}
