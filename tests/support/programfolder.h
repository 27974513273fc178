#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

// A temporary program folder for tests of the whole program: the path of its executable, a
// control file and a Scenery folder with scenery files.
class TProgramFolder
{
public:
    TProgramFolder();

    QString Path() const { return FDir.path(); }
    QString FilePath(const QString &name) const { return FDir.filePath(name); }
    QString ExeName() const { return FilePath(QStringLiteral("scenery-configurator")); }
    QString ControlFile() const { return FilePath(QStringLiteral("XXXX.ini")); }

    // Writes the control file as shipped: Windows-1252 (Latin-1 suffices for German) with CRLF.
    void WriteControlFile(const QString &text);
    QByteArray ReadControlFile() const;
    // Creates files below Scenery/; their content is their own name.
    void AddSceneryFiles(const QStringList &names);
    // The files below Scenery/, sorted.
    QStringList SceneryFiles() const;

    // Makes the folder immutable, so that nobody, root included, can create or replace a file
    // in it. Returns false when the file system does not support that.
    bool SetWritable(bool writable);

private:
    QTemporaryDir FDir;
};
