#pragma once

#include "config/language.h"
#include "config/scenobj.h"

#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class TIniFile;

enum TLintLevel {
    llError, // the package does not work as its author meant
    llWarning, // it works, but not as the author probably meant
    llInformation, // worth knowing; nothing is wrong
};

// One thing found in a package: where it is (a section of the control file and a key in it,
// either may be empty) and why it matters, in one line.
struct TLintFinding
{
    TLintLevel Level = llError;
    QString Kind; // a short stable name for scripts, e.g. "file-missing"
    QString Section;
    QString Key;
    QString Reason;
};

// Checks a package as its author ships it: the control file, the scenery files, the credits and
// the readmes. It reads the control file in both languages with the loader and the file check
// the program uses, and writes nothing.
class TSceneryLint
{
public:
    // The reasons are written in the language.
    explicit TSceneryLint(const QString &controlFile, int language = lgEnglish);
    ~TSceneryLint();

    QList<TLintFinding> Run();

private:
    struct TEntry
    {
        QString Key; // object key, group or switch section
        TFileType FileType;
        QString ListSection; // the first list section that names it
    };

    // The keys of a list section, folded, and the state keys of its entries once they are read.
    struct TListedNames
    {
        QSet<QString> Keys;
        std::optional<QSet<QString>> StateKeys;
    };

    void CheckSettings();
    void CheckLists();
    bool ListedInOther(TFileType fileType, const QString &key, const QStringList &otherKeys,
                       TListedNames &other) const;
    void CheckGroup(const TEntry &group);
    void CheckSwitch(const TEntry &sw);
    void CheckStateKeyOf(const TEntry &entry);
    void CheckCaptions(const QString &section, const QStringList &keys);
    void CheckFiles();
    void CheckStates();
    void CheckRecords();
    void CheckCredits();
    void CheckReadmes();
    QString Say(const QString &german, const QString &english) const;
    void Add(TLintLevel level, const QString &kind, const QString &section, const QString &key,
             const QString &reason);

    int FLanguage;
    QString FControlFile;
    QString FFolder;
    std::unique_ptr<TIniFile> FIni;
    QList<TEntry> FEntries; // every entry of both languages, once
    QList<TLintFinding> FFindings;
};

// "error", "warning" or "information": the names scripts read.
QString LintLevelName(TLintLevel level);
// The level in the language, as a person reads it: "Fehler", "Warnung", "Hinweis".
QString LintLevelText(int language, TLintLevel level);
// "1 error, 2 warnings, 0 information" in the language.
QString LintSummary(int language, qsizetype errors, qsizetype warnings, qsizetype information);
