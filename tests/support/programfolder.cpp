#include "tests/support/programfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "tests/support/testfilesystem.h"

TProgramFolder::TProgramFolder()
{
    QDir(FDir.path()).mkpath(QStringLiteral("Scenery"));
}

void TProgramFolder::WriteControlFile(const QString &text)
{
    QFile file(ControlFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the control file");
    file.write(QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toLatin1());
}

QByteArray TProgramFolder::ReadControlFile() const
{
    QFile file(ControlFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TProgramFolder::AddSceneryFiles(const QStringList &names)
{
    for (const QString &name : names) {
        QFile file(FilePath(QStringLiteral("Scenery/") + name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write a scenery file");
        file.write(name.toUtf8());
    }
}

QStringList TProgramFolder::SceneryFiles() const
{
    QStringList files;
    const QDir scenery(FilePath(QStringLiteral("Scenery")));
    QDirIterator it(scenery.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << scenery.relativeFilePath(it.next());
    files.sort();
    return files;
}

bool TProgramFolder::SetWritable(bool writable)
{
    return SetImmutable(Path(), !writable);
}
