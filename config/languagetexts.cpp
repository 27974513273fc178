#include "config/languagetexts.h"

#include "config/inifile.h"
#include "config/sceneryfiles.h"
#include "config/scenerystate.h"
#include "config/scenobj.h"

#include <QDir>
#include <QUrl>

QString LanguageWord(const TSceneryState &state)
{
    return state.Languages[std::size_t(state.Language == lgEnglish ? lgEnglish : lgGerman)];
}

QString EntryKindWord(int language, TFileType fileType)
{
    const bool english = language == lgEnglish;
    if (fileType == ftGroup)
        return english ? QStringLiteral("group") : QStringLiteral("Gruppe");
    if (fileType == ftSwitch)
        return english ? QStringLiteral("switch") : QStringLiteral("Schalter");
    return english ? QStringLiteral("object") : QStringLiteral("Objekt");
}

QStringList InterfaceTexts(int language)
{
    if (language == lgEnglish) {
        return {
            QStringLiteral("Please select the objects, that should be active"),
            QStringLiteral("<B>Important:</B> Changes must be saved by clicking [Apply]!"),
            QStringLiteral("Apply"),
            QStringLiteral("Orvandel"),
            QStringLiteral("Settings"),
            QStringLiteral("Search for updates"),
            QStringLiteral("There are unsaved changes!\r\nShall the program be terminated anyway?"),
            QStringLiteral("Unsaved changes will be lost!\r\nContinue?"),
            QStringLiteral("The program has detected, that it was launched from the Windows "
                           "program folder!\r\nChanges can only be saved with administrator "
                           "privileges.\r\nThe program is now restarted in administrator mode!"),
        };
    }
    return {
        QStringLiteral("Bitte die Objekte auswählen, die aktiv sein sollen"),
        QStringLiteral("<B>Wichtig:</B> Die Änderungen müssen durch Klick auf [Übernehmen] "
                       "gespeichert werden!"),
        QStringLiteral("Übernehmen"),
        QStringLiteral("Orvandel"),
        QStringLiteral("Einstellungen"),
        QStringLiteral("Updates suchen"),
        QStringLiteral("Es gibt nicht gespeicherte Anderungen!\r\nSoll das Programm wirklich "
                       "beendet werden?"),
        QStringLiteral("Ungespeicherte Änderungen gehen verloren!\r\nWeitermachen?"),
        QStringLiteral("Das Programm kann nicht in die Steuerdatei schreiben, da es aus dem "
                       "Windows Programmordner gestartet wurde!\r\nÄnderungen können hier nur mit "
                       "Administratorberechtigung erfolgen.\r\nDas Programm wird im "
                       "Administratormodus neu gestartet!"),
    };
}

QString RenameFailureReason(int language, const TRenameFailure &failure)
{
    const bool english = language == lgEnglish;
    switch (failure.Cause) {
    case rcInUse:
        return english ? QStringLiteral("the file is in use by another program (the simulator?)")
                       : QStringLiteral(
                           "die Datei wird von einem anderen Programm verwendet (vom Simulator?)");
    case rcAmbiguous:
        return (english ? QStringLiteral("several names differ only in letter case: ")
                        : QStringLiteral("mehrere Namen unterscheiden sich nur in der Groß- und "
                                         "Kleinschreibung: "))
            + QDir::toNativeSeparators(failure.Reason);
    case rcBadName:
        return english ? QStringLiteral("the name cannot be used as a file name on this system")
                       : QStringLiteral("der Name kann auf diesem System kein Dateiname sein");
    case rcBothForms:
        return english ? QStringLiteral("the file exists in both forms (.bgl and .bg_); one of "
                                        "them must be removed")
                       : QStringLiteral("die Datei gibt es in beiden Formen (.bgl und .bg_); eine "
                                        "davon muss entfernt werden");
    case rcRefused:
        break;
    }
    return failure.Reason;
}

QString RenameFailureMessage(int language, const QList<TRenameFailure> &failures)
{
    const bool english = language == lgEnglish;
    // A message box has no scroll bar: a long list is cut, and says how much is left out.
    constexpr qsizetype shown = 20;
    QStringList fileLines;
    for (const TRenameFailure &failure : failures.first(qMin(failures.size(), shown))) {
        fileLines << QDir::toNativeSeparators(failure.FileName) + QStringLiteral(": ")
                + RenameFailureReason(language, failure);
    }
    if (failures.size() > shown) {
        const qsizetype more = failures.size() - shown;
        fileLines << (english ? QStringLiteral("… and %1 more").arg(more)
                              : QStringLiteral("… und %1 weitere").arg(more));
    }
    const QString head = english
        ? QStringLiteral("The following files could not be renamed:")
        : QStringLiteral("Folgende Dateien konnten nicht umbenannt werden:");
    const QString tail = english
        ? QStringLiteral("Please close the simulator and click [Apply] again.")
        : QStringLiteral("Bitte den Simulator schließen und erneut [Übernehmen] klicken.");
    return head + QStringLiteral("\r\n") + fileLines.join(QStringLiteral("\r\n"))
        + QStringLiteral("\r\n\r\n") + tail;
}

TAccessibleNames AccessibleNames(int language, const QString &homePage)
{
    if (language == lgEnglish) {
        return {{QStringLiteral("German"), QStringLiteral("Shows the program in German")},
                {QStringLiteral("English"), QStringLiteral("Shows the program in English")},
                {QStringLiteral("Information about the scenery"),
                 QStringLiteral("Opens the scenery's readme")},
                {QStringLiteral("Minimise"), QStringLiteral("Minimises the window")},
                {QStringLiteral("Close"), QStringLiteral("Closes the program")},
                {QString(),
                 QStringLiteral("Activates and deactivates the objects as they are ticked "
                                "(Ctrl+S)")},
                {QStringLiteral("The scenery's home page"),
                 QStringLiteral("Opens the home page in the browser: ") + homePage},
                QStringLiteral("Objects"),
                QStringLiteral("partly active"),
                QStringLiteral("Credits")};
    }
    return {{QStringLiteral("Deutsch"), QStringLiteral("Zeigt das Programm auf Deutsch")},
            {QStringLiteral("Englisch"), QStringLiteral("Zeigt das Programm auf Englisch")},
            {QStringLiteral("Informationen zur Szenerie"),
             QStringLiteral("Öffnet die Liesmich-Datei der Szenerie")},
            {QStringLiteral("Minimieren"), QStringLiteral("Verkleinert das Fenster")},
            {QStringLiteral("Schließen"), QStringLiteral("Beendet das Programm")},
            {QString(),
             QStringLiteral("Aktiviert und deaktiviert die Objekte so, wie sie angehakt sind "
                            "(Strg+S)")},
            {QStringLiteral("Homepage der Szenerie"),
             QStringLiteral("Öffnet die Homepage im Browser: ") + homePage},
            QStringLiteral("Objekte"),
            QStringLiteral("teilweise aktiv"),
            QStringLiteral("Mitwirkende")};
}

TSelectionMenuTexts SelectionMenuTexts(int language)
{
    if (language == lgEnglish) {
        return {QStringLiteral("Select all"), QStringLiteral("Select none"),
                QStringLiteral("Undo last apply"), QStringLiteral("Shipped state")};
    }
    return {QStringLiteral("Alle aktivieren"), QStringLiteral("Alle deaktivieren"),
            QStringLiteral("Letzte Übernahme rückgängig"), QStringLiteral("Auslieferungszustand")};
}

QString AppliedNotice(int language, qsizetype renamedFiles)
{
    if (language == lgEnglish) {
        return renamedFiles == 1
            ? QStringLiteral("Changes applied: 1 file renamed")
            : QStringLiteral("Changes applied: %1 files renamed").arg(renamedFiles);
    }
    return renamedFiles == 1
        ? QStringLiteral("Änderungen übernommen: 1 Datei umbenannt")
        : QStringLiteral("Änderungen übernommen: %1 Dateien umbenannt").arg(renamedFiles);
}

QString CloseQuestion(int language)
{
    if (language == lgEnglish) {
        return QStringLiteral("The changes have not been applied yet!\r\nApply them before "
                              "closing?\r\n\r\nJa: apply and close\r\nNein: close without "
                              "applying\r\nAbbrechen: keep working");
    }
    return QStringLiteral("Die Änderungen wurden noch nicht übernommen!\r\nVor dem Beenden "
                          "übernehmen?\r\n\r\nJa: übernehmen und beenden\r\nNein: beenden, "
                          "ohne zu übernehmen\r\nAbbrechen: weiterarbeiten");
}

QString ControlFileChangedMessage(int language)
{
    if (language == lgEnglish) {
        return QStringLiteral("Another program has changed the selection since it was shown "
                              "here.\r\nIt has been read again and nothing was changed. Please "
                              "check it and click [Apply] again.");
    }
    return QStringLiteral("Ein anderes Programm hat die Auswahl geändert, seit sie hier angezeigt "
                          "wird.\r\nSie wurde neu eingelesen, es wurde nichts geändert. Bitte "
                          "prüfen und erneut [Übernehmen] klicken.");
}

QString SceneryBusyMessage(int language)
{
    if (language == lgEnglish) {
        return QStringLiteral("Another program is changing this scenery right now.\r\n"
                              "Nothing was changed. Please try again in a moment.");
    }
    return QStringLiteral("Ein anderes Programm ändert gerade diese Szenerie.\r\n"
                          "Es wurde nichts geändert. Bitte gleich noch einmal versuchen.");
}

TLanguageTexts ReadLanguageTexts(const TIniFile &ini, const QString &section,
                                 const QString &homePage, const QString &version,
                                 const QString &author)
{
    const QString title
        = ini.ReadString(section, QStringLiteral("Title"), QStringLiteral("Konfigurator"));
    // A value is one line, so a line break can only be the default: the key is missing.
    QString credits = ini.ReadString(section, ControlFile::HTMLCredits, QStringLiteral("\n"));
    if (credits == u"\n")
        credits = DefaultCredits(title, version, author, homePage);
    // Clicking the status line opens the home page, so by default it names it.
    return {title, ini.ReadString(section, QStringLiteral("ScrollerText"), DefaultHomePage),
            credits};
}

QString DefaultCredits(const QString &title, const QString &version, const QString &author,
                       const QString &homePage)
{
    return QStringLiteral("<P align=\"center\"><FONT size=\"10\"><B>") + title
        + QStringLiteral("</B></FONT><BR>") + version + QStringLiteral("<BR><BR>") + author
        + QStringLiteral("<BR><A href=\"") + homePage + QStringLiteral("\">")
        + QUrl(homePage).host() + QStringLiteral("</A><BR></P>");
}

QString VersionLine(const QString &title, const QString &version, const QString &author)
{
    QString line = title + QStringLiteral(" - ");
    if (!version.isEmpty())
        line += version + QStringLiteral(" - ");
    return line + author;
}
