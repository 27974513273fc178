#pragma once

#include <QString>
#include <QStringList>

// A program folder for the process benchmarks, in a temporary folder that lives as long as the
// benchmark program: a copy of the demo scenery or a generated one with its Scenery folder, and
// copies of the given programs beside the control file, where the configurator looks for it.
class TStagedScenery
{
public:
    // A copy of the folder with everything below it.
    static TStagedScenery CopyOf(const QString &sceneryFolder, const QStringList &programs);
    // A generated control file of `entries` entries and its scenery files, written by the
    // generator program (make_scenery) in a process of its own, so that this one stays small.
    static TStagedScenery Generated(const QString &generator, int entries,
                                    const QStringList &programs);

    const QString &Folder() const { return FFolder; }
    // The copy of a built program in the folder.
    QString Program(const QString &builtProgram) const;
    // Empty when the folder is complete; else what could not be staged.
    const QString &Error() const { return FError; }

private:
    explicit TStagedScenery(const QString &folder);
    void CopyPrograms(const QStringList &programs);

    QString FFolder;
    QString FError;
};
