#include "cli/ctlscenery.h"

#include "cli/ctlerror.h"
#include "cli/ctloptions.h"
#include "config/controlfiles.h"
#include "config/sceneryloader.h"
#include "config/scenobj.h"
#include "platform/regularfile.h"

#include <QDir>
#include <QFileInfo>

TCtlScenery::TCtlScenery(const TCtlOptions &options)
{
    // Without -C, a control file named with its full path needs no working folder (which may
    // have been deleted meanwhile).
    QString start = options.Folder;
    if (start.isEmpty()) {
        const QFileInfo control(options.ControlFile);
        start = !options.ControlFile.isEmpty() && control.isAbsolute() ? control.absolutePath()
                                                                       : QDir::currentPath();
    }
    const QFileInfo folder(start);
    if (start.isEmpty() || !folder.isDir()) {
        throw ECtlError(QStringLiteral("no such folder: %1").arg(QDir::toNativeSeparators(start)),
                        ceUsage);
    }
    FFolder = folder.absoluteFilePath();
    FState.Scenery = FindControlFile(options);
    if (options.Writes()) {
        FLock.emplace(QFileInfo(FState.Scenery).absolutePath());
        if (!FLock->TryLock()) {
            throw ECtlError(
                QStringLiteral("another program is changing this scenery; nothing was changed"),
                ceFailed);
        }
    }

    // The accessor reads a file it cannot open, or one larger than it reads, as empty; here that
    // would pass for an empty tree. A FIFO or a device found under a control file's name is
    // refused before anyone waits on it.
    QString reason;
    if (!CanReadRegularFile(FState.Scenery, MaxControlFileSize, &reason)) {
        throw ECtlError(QStringLiteral("cannot read the control file %1: %2")
                            .arg(QDir::toNativeSeparators(FState.Scenery), reason),
                        ceFailed);
    }

    FIni.emplace(FState.Scenery);
    if (options.Command == u"check") {
        FEntries = TSceneryLoader(FState, FTree).ReadEntries(*FIni, options.Language);
        return;
    }
    TSceneryLoader(FState, FTree).ReadIni(*FIni, options.Language);
    FTree.NormaliseStates(); // as the window paints the tree before anyone sees it
    FIni.reset();
}

QString TCtlScenery::FindControlFile(const TCtlOptions &options) const
{
    const QDir folder(FFolder);
    if (!options.ControlFile.isEmpty()) {
        const QString path = QDir::cleanPath(folder.absoluteFilePath(options.ControlFile));
        if (!QFileInfo(path).isFile())
            throw ECtlError(
                QStringLiteral("no such control file: %1").arg(QDir::toNativeSeparators(path)),
                ceUsage);
        return path;
    }
    const QStringList candidates = FindControlFiles(FFolder);
    if (candidates.isEmpty()) {
        throw ECtlError(
            QStringLiteral("no control file (*.ini) in %1").arg(QDir::toNativeSeparators(FFolder)),
            ceUsage);
    }
    if (candidates.size() > 1) {
        QStringList names;
        for (const QString &candidate : candidates)
            names << folder.relativeFilePath(candidate);
        throw ECtlError(
            QStringLiteral("several control files in %1: %2; choose one with --control")
                .arg(QDir::toNativeSeparators(FFolder), names.join(QStringLiteral(", "))),
            ceUsage);
    }
    return candidates.first();
}

const TScenObj &TCtlScenery::Entry(const TCheckTreeNode *node)
{
    static const TScenObj none;
    const TScenObj *entry = node->DataAs<TScenObj>();
    return entry ? *entry : none;
}
