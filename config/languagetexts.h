#pragma once

#include <QString>
#include <QStringList>

// The fixed interface texts, nine per language (0 German, 1 English), in index order.
QStringList InterfaceTexts(int language);

struct TRenameFailure;

// Why a scenery file could not be switched, in the language: the system's own words when it
// refused the rename, otherwise our text.
QString RenameFailureReason(int language, const TRenameFailure &failure);

// The error shown after Apply when scenery files could not be renamed: one line per file with
// its reason.
QString RenameFailureMessage(int language, const QList<TRenameFailure> &failures);

class TIniFile;

// The texts of a language section of the control file, with their defaults.
struct TLanguageTexts
{
    QString Title;
    QString ScrollerText;
    QString HTMLCredits;
};

TLanguageTexts ReadLanguageTexts(const TIniFile &ini, const QString &section);

// The credits shown when the control file has none: a link to the home page.
QString DefaultCredits(const QString &homePage);

// The footer line: title, version and author; the version is left out when there is none.
QString VersionLine(const QString &title, const QString &version, const QString &author);
