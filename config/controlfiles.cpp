#include "config/controlfiles.h"

#include "walk/ftw.h"

QStringList FindControlFiles(const QString &folder, const std::function<void()> &afterEntry)
{
    QStringList files;
    TFtw walker;
    walker.Filter = QStringLiteral("*.ini");
    walker.StartPath = folder;
    walker.OnProcessFile = [&](const QString &path, const TSearchRec &info) {
        if (!(info.Attr & faDirectory))
            files.append(path + u'/' + info.Name);
        if (afterEntry)
            afterEntry();
        return FindMore;
    };
    walker.Execute();
    return files;
}
