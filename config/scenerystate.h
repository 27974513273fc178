#pragma once

#include "config/language.h"

#include <QString>
#include <QStringList>

#include <array>

// Address opened when the control file names no home page of its own.
inline const QString DefaultHomePage = QStringLiteral("https://www.example.org/");

// Names of the control file's sections and keys that the program uses.
namespace ControlFile {
inline const QString Settings = QStringLiteral("Settings");
inline const QString Language = QStringLiteral("Language");
inline const QString Url = QStringLiteral("URL");
inline const QString States = QStringLiteral("Checked"); // the state section
inline const QString CheckedKey = QStringLiteral("Checked"); // state key of a group or switch
inline const QString ShowKey = QStringLiteral("Show");
inline const QString HTMLCredits = QStringLiteral("HTMLCredits"); // in each language section

// List sections, by interface language.
QString ObjectListSection(int language);
QString GroupListSection(int language);
QString SwitchListSection(int language);
} // namespace ControlFile

// The configuration state the main window keeps between operations.
struct TSceneryState
{
    qint32 Language = lgGerman; // a TLanguage
    std::array<QString, 2> Languages{QStringLiteral("german"), QStringLiteral("english")};
    QStringList BglList; // work list: keys of the section being read
    QStringList GrpList; // work list: keys of a list section, or of one group or switch
    QString Scenery; // full path of the control file
    QStringList FileList; // control file candidates found at start
    QStringList StringsGer;
    QStringList StringsEng;
    QString URL;
    QString Version;
};
