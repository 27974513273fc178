#pragma once

#include "config/language.h"
#include "config/scenobj.h"

#include <QString>
#include <QStringList>

struct TSceneryState;

// "german" or "english", of the state's current language: the name of the language section, the
// word stored in the control file and the language handed to the information window.
QString LanguageWord(const TSceneryState &state);

// The word for an entry of this type ("Scenery", "Group" or "Switch") in the language, as it
// stands before the entry's name: "Objekt", "Gruppe", "Schalter"; "object", "group", "switch".
QString EntryKindWord(int language, TFileType fileType);

// The fixed interface texts, nine per language, in index order.
QStringList InterfaceTexts(int language);

struct TRenameFailure;

// Why a scenery file could not be switched, in the language: the system's own words when it
// refused the rename, otherwise our text.
QString RenameFailureReason(int language, const TRenameFailure &failure);

// The error shown after Apply when scenery files could not be renamed: one line per file with
// its reason; after 20 files, one line that counts the rest.
QString RenameFailureMessage(int language, const QList<TRenameFailure> &failures);

// What assistive technology (screen readers) says about the window's controls, in the
// language: a name for each, and for the buttons what they do.
struct TAccessibleText
{
    QString Name;
    QString Description;
};
struct TAccessibleNames
{
    TAccessibleText German; // the flag buttons
    TAccessibleText English;
    TAccessibleText Information;
    TAccessibleText Minimise;
    TAccessibleText Close;
    TAccessibleText Apply; // its name is its caption
    TAccessibleText HomePage; // the logo; the description ends with the address
    QString Objects; // the tree
    QString MixedState; // a tree item that is partly checked
    QString Credits;
};
TAccessibleNames AccessibleNames(int language, const QString &homePage);

// The context menu of the object tree. Each entry changes the tree only; Apply carries it out.
struct TSelectionMenuTexts
{
    QString SelectAll;
    QString SelectNone;
    QString UndoLastApply;
    QString ShippedState;
};
TSelectionMenuTexts SelectionMenuTexts(int language);

// Shown on the status line for a few seconds after an Apply without failures.
QString AppliedNotice(int language, qsizetype renamedFiles);

// The question before the window closes with changes not yet applied. The dialog's buttons are
// "Ja" (apply, then close), "Nein" (close without applying) and "Abbrechen" (stay).
QString CloseQuestion(int language);

// Shown instead of an Apply when another program changed the control file since the window read
// it: the window reads it again, and the user checks the selection before applying.
QString ControlFileChangedMessage(int language);

// The error shown when another instance or sceneryctl is changing the scenery at the moment.
QString SceneryBusyMessage(int language);

class TIniFile;

// The texts of a language section of the control file, with their defaults.
struct TLanguageTexts
{
    QString Title;
    QString ScrollerText;
    QString HTMLCredits;
};

// Without an "HTMLCredits" key the credits are the default ones made of the title and the rest.
TLanguageTexts ReadLanguageTexts(const TIniFile &ini, const QString &section,
                                 const QString &homePage, const QString &version,
                                 const QString &author);

// The credits shown when the control file has none: a centred block of the title in bold, the
// version and the author separated by an empty line, and a link to the home page.
QString DefaultCredits(const QString &title, const QString &version, const QString &author,
                       const QString &homePage);

// The footer line: title, version and author; the version is left out when there is none.
QString VersionLine(const QString &title, const QString &version, const QString &author);
