#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

#include <functional>
#include <stdexcept>

// Attribute bits of a directory entry.
enum : qint32 {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faDirectory = 0x10,
    faAnyFile = 0x1FF,
};

// One directory entry as the walker hands it on.
struct TSearchRec
{
    QString Name; // without folder
    qint32 Attr = 0;
    qint64 Size = 0;
    QDateTime Time;
};

// What a callback asks of the walk: Finished ends the listing of the current folder.
enum Action { Finished = 0, FindMore = 1 };

using TOnProcess_File = std::function<Action(const QString &path, const TSearchRec &info)>;

class EFtwException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Walks a folder and, when Recursive, its sub-folders, and hands every entry whose name matches
// Filter to OnProcessFile. The same pattern selects the sub-folders that are entered.
class TFtw
{
public:
    TFtw();

    // Runs the walk from StartPath; raises EFtwException when no callback is set.
    bool Execute();

    TOnProcess_File OnProcessFile;
    bool Recursive = true;
    QString StartPath;
    qint32 Attr = faAnyFile;
    QString Filter = QStringLiteral("*.*");

private:
    void Walk_Tree(QString start, qint32 attr, const TOnProcess_File &doIt, bool recursive);

    QString FFilePattern;
    QSet<QString> FWalking; // canonical paths of the folders being walked, against link loops
};
