#include "bench/stagedscenery.h"

#include "bench/childprocess.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// A new empty folder below the temporary folder of this benchmark program.
QString newFolder()
{
    static QTemporaryDir root;
    static int count = 0;
    const QString folder = root.filePath(QStringLiteral("scenery%1").arg(++count));
    QDir().mkpath(folder);
    return folder;
}

bool copyTree(const QString &from, const QString &to)
{
    const QDir source(from);
    if (!source.exists())
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString target = to + u'/' + source.relativeFilePath(entry.filePath());
        const bool copied
            = entry.isDir() ? QDir().mkpath(target) : QFile::copy(entry.filePath(), target);
        if (!copied)
            return false;
    }
    return true;
}

} // namespace

TStagedScenery::TStagedScenery(const QString &folder)
    : FFolder(folder)
{ }

TStagedScenery TStagedScenery::CopyOf(const QString &sceneryFolder, const QStringList &programs)
{
    TStagedScenery staged(newFolder());
    if (!copyTree(sceneryFolder, staged.FFolder)) {
        staged.FError = QStringLiteral("cannot copy %1").arg(sceneryFolder);
        return staged;
    }
    staged.CopyPrograms(programs);
    return staged;
}

TStagedScenery TStagedScenery::Generated(const QString &generator, int entries,
                                         const QStringList &programs)
{
    TStagedScenery staged(newFolder());
    const TChildRun run
        = RunChild(generator, {QString::number(entries), staged.FFolder, QStringLiteral("--files")},
                   staged.FFolder);
    if (!run.Succeeded()) {
        staged.FError = QStringLiteral("make_scenery: ") + run.Failure();
        return staged;
    }
    // The generated files are written back to disk before anything is measured: the writing
    // would otherwise go on during the first runs and slow them down.
    ::sync();
    staged.CopyPrograms(programs);
    return staged;
}

QString TStagedScenery::Program(const QString &builtProgram) const
{
    return FFolder + u'/' + QFileInfo(builtProgram).fileName();
}

void TStagedScenery::CopyPrograms(const QStringList &programs)
{
    for (const QString &program : programs) {
        if (!QFile::copy(program, Program(program))) {
            FError = QStringLiteral("cannot copy %1 to %2").arg(program, FFolder);
            return;
        }
    }
}
