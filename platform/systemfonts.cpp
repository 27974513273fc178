#include "platform/systemfonts.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN

QStringList LookAlikeFontFiles()
{
    return {};
}

QStringList WideSansStandIns()
{
    return {QStringLiteral("Verdana"), QStringLiteral("Tahoma")};
}

#else

QStringList LookAlikeFontFiles()
{
    const QDir folder(QStringLiteral("/usr/share/wine/fonts"));
    QStringList files;
    for (const char *file : {"tahoma.ttf", "symbol.ttf"}) {
        const QString path = folder.filePath(QString::fromLatin1(file));
        if (QFile::exists(path))
            files << path;
    }
    return files;
}

QStringList WideSansStandIns()
{
    return {QStringLiteral("DejaVu Sans")};
}

#endif
