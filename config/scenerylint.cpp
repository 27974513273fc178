#include "config/scenerylint.h"

#include "config/staterecords.h"

#include "checkstate/checktreemodel.h"
#include "config/inifile.h"
#include "config/languagetexts.h"
#include "config/readmefile.h"
#include "config/scenerycheck.h"
#include "config/sceneryentries.h"
#include "config/sceneryfiles.h"
#include "config/sceneryloader.h"
#include "config/scenerystate.h"
#include "config/scenobj.h"
#include "htmltext/markupcheck.h"
#include "platform/openableaddress.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

bool containsName(const QStringList &names, const QString &name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

// Names as the control file matches them, ignoring letter case: folded, each character on its
// own, as the comparison that ignores case folds them. Many names are looked up in a set of
// them, not in a list.
QString foldedName(const QString &name)
{
    return name.toCaseFolded();
}

QSet<QString> foldedNames(const QStringList &names)
{
    QSet<QString> folded;
    folded.reserve(names.size());
    for (const QString &name : names)
        folded.insert(foldedName(name));
    return folded;
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

} // namespace

QString LintLevelText(int language, TLintLevel level)
{
    const bool english = language == lgEnglish;
    switch (level) {
    case llError:
        return english ? QStringLiteral("error") : QStringLiteral("Fehler");
    case llWarning:
        return english ? QStringLiteral("warning") : QStringLiteral("Warnung");
    case llInformation:
        break;
    }
    return english ? QStringLiteral("information") : QStringLiteral("Hinweis");
}

QString LintSummary(int language, qsizetype errors, qsizetype warnings, qsizetype information)
{
    if (language == lgEnglish) {
        return QStringLiteral("%1 %2, %3 %4, %5 information")
            .arg(errors)
            .arg(errors == 1 ? QStringLiteral("error") : QStringLiteral("errors"))
            .arg(warnings)
            .arg(warnings == 1 ? QStringLiteral("warning") : QStringLiteral("warnings"))
            .arg(information);
    }
    return QStringLiteral("%1 Fehler, %2 %3, %4 %5")
        .arg(errors)
        .arg(warnings)
        .arg(warnings == 1 ? QStringLiteral("Warnung") : QStringLiteral("Warnungen"))
        .arg(information)
        .arg(information == 1 ? QStringLiteral("Hinweis") : QStringLiteral("Hinweise"));
}

QString LintLevelName(TLintLevel level)
{
    switch (level) {
    case llError:
        return QStringLiteral("error");
    case llWarning:
        return QStringLiteral("warning");
    case llInformation:
        break;
    }
    return QStringLiteral("information");
}

TSceneryLint::TSceneryLint(const QString &controlFile, int language)
    : FLanguage(language)
    , FControlFile(controlFile)
    , FFolder(QFileInfo(controlFile).absolutePath())
    , FIni(std::make_unique<TIniFile>(controlFile))
{ }

TSceneryLint::~TSceneryLint() = default;

QString TSceneryLint::Say(const QString &german, const QString &english) const
{
    return FLanguage == lgEnglish ? english : german;
}

QList<TLintFinding> TSceneryLint::Run()
{
    FFindings.clear();
    FEntries.clear();
    CheckSettings();
    CheckLists();
    for (const TEntry &entry : std::as_const(FEntries)) {
        if (entry.FileType == ftGroup)
            CheckGroup(entry);
        else if (entry.FileType == ftSwitch)
            CheckSwitch(entry);
    }
    CheckFiles();
    CheckStates();
    CheckRecords();
    CheckCredits();
    CheckReadmes();
    return FFindings;
}

void TSceneryLint::Add(TLintLevel level, const QString &kind, const QString &section,
                       const QString &key, const QString &reason)
{
    FFindings.append({level, kind, section, key, reason});
}

void TSceneryLint::CheckSettings()
{
    QStringList keys;
    FIni->ReadSection(ControlFile::Settings, keys);
    const QString word
        = FIni->ReadString(ControlFile::Settings, ControlFile::Language, QStringLiteral("german"));
    // The words with a readme of their own are the two languages the program knows.
    if (ReadmeFileName(word).isEmpty()) {
        Add(llWarning, QStringLiteral("language"), ControlFile::Settings, ControlFile::Language,
            Say(QStringLiteral("%1 ist weder german noch english: das Programm startet deutsch und "
                               "schreibt \"german\" zurück"),
                QStringLiteral("%1 is neither german nor english: the program starts in German and "
                               "writes \"german\" back"))
                .arg(quoted(word)));
    }

    if (!containsName(keys, ControlFile::Url)) {
        Add(llWarning, QStringLiteral("home-page"), ControlFile::Settings, ControlFile::Url,
            Say(QStringLiteral("keine Homepage: Statuszeile und Logo öffnen %1"),
                QStringLiteral("no home page: the status line and the logo open %1"))
                .arg(DefaultHomePage));
        return;
    }
    const QString url = FIni->ReadString(ControlFile::Settings, ControlFile::Url, QString());
    if (url.size() > MaxOpenedAddressLength) {
        Add(llError, QStringLiteral("home-page"), ControlFile::Settings, ControlFile::Url,
            Say(QStringLiteral(
                    "die Adresse hat %1 Zeichen: eine mit mehr als %2 wird nicht geöffnet"),
                QStringLiteral("the address has %1 characters: one of more than %2 is not opened"))
                .arg(url.size())
                .arg(MaxOpenedAddressLength));
    } else if (OpenableAddress(url).isEmpty()) {
        Add(llError, QStringLiteral("home-page"), ControlFile::Settings, ControlFile::Url,
            Say(QStringLiteral("%1 wird nicht geöffnet: nur http- und https-Adressen mit Host und "
                               "mailto-Adressen werden es"),
                QStringLiteral("%1 is not opened: only http and https addresses with a host, and "
                               "mailto addresses, are"))
                .arg(quoted(url)));
    }
}

// Every entry should be listed in both languages, with a caption in each.
void TSceneryLint::CheckLists()
{
    for (TFileType fileType : {ftScenery, ftGroup, ftSwitch}) {
        QStringList keys[2];
        TListedNames listed[2];
        for (const TLanguage language : {lgGerman, lgEnglish}) {
            const QString section = EntryListSection(fileType, language);
            FIni->ReadSection(section, keys[language]);
            CheckCaptions(section, keys[language]);
            listed[language].Keys = foldedNames(keys[language]);
        }
        QSet<QString> known; // the entries of this type so far
        for (const TLanguage language : {lgGerman, lgEnglish}) {
            const QString section = EntryListSection(fileType, language);
            for (const QString &key : std::as_const(keys[language])) {
                if (!known.contains(foldedName(key))) {
                    known.insert(foldedName(key));
                    FEntries.append({key, fileType, section});
                }
                if (!ListedInOther(fileType, key, keys[OtherLanguage(language)],
                                   listed[OtherLanguage(language)])) {
                    Add(llWarning, QStringLiteral("one-language"), section, key,
                        Say(QStringLiteral("%1 steht in [%2], aber nicht in [%3]: dem %4 Baum "
                                           "fehlt der Eintrag"),
                            QStringLiteral("the %1 is listed in [%2] but not in [%3]: the %4 tree "
                                           "lacks it"))
                            .arg(EntryKindWord(FLanguage, fileType), section,
                                 EntryListSection(fileType, OtherLanguage(language)),
                                 OtherLanguage(language) == lgEnglish
                                     ? Say(QStringLiteral("englischen"), QStringLiteral("English"))
                                     : Say(QStringLiteral("deutschen"), QStringLiteral("German"))));
                }
            }
        }
    }
    if (FEntries.isEmpty()) {
        Add(llWarning, QStringLiteral("no-entries"), QString(), QString(),
            Say(QStringLiteral("kein Objekt, keine Gruppe und kein Schalter ist aufgeführt: der "
                               "Baum bleibt leer"),
                QStringLiteral("no object, group or switch is listed: the tree is empty")));
    }
}

// A group or switch may have a section of its own in each language, for captions of its members
// in each; the two are one entry when they share their state key.
bool TSceneryLint::ListedInOther(TFileType fileType, const QString &key,
                                 const QStringList &otherKeys, TListedNames &other) const
{
    if (other.Keys.contains(foldedName(key)))
        return true;
    if (fileType == ftScenery)
        return false;
    const QString stateKey = EntryStateKey(*FIni, TScenObj{key, fileType});
    if (stateKey.isEmpty())
        return false;
    // The state keys of the other list are read once, at the first entry that needs them.
    if (!other.StateKeys) {
        other.StateKeys.emplace();
        for (const QString &otherKey : otherKeys) {
            other.StateKeys->insert(foldedName(EntryStateKey(*FIni, TScenObj{otherKey, fileType})));
        }
    }
    return other.StateKeys->contains(foldedName(stateKey));
}

void TSceneryLint::CheckCaptions(const QString &section, const QStringList &keys)
{
    for (const QString &key : keys) {
        if (FIni->ReadString(section, key, QString()).trimmed().isEmpty()) {
            Add(llWarning, QStringLiteral("empty-caption"), section, key,
                Say(QStringLiteral("die Beschriftung ist leer: der Baum zeigt eine leere Zeile"),
                    QStringLiteral("the caption is empty: the tree shows a blank row")));
        }
    }
}

void TSceneryLint::CheckGroup(const TEntry &group)
{
    if (!FIni->SectionExists(group.Key)) {
        Add(llError, QStringLiteral("section-missing"), group.ListSection, group.Key,
            Say(QStringLiteral("die Gruppe hat keinen Abschnitt [%1]: sie hat keine Mitglieder und "
                               "keinen Zustandsschlüssel"),
                QStringLiteral("the group has no section [%1]: it has no members and no state key"))
                .arg(group.Key));
        return;
    }
    const QStringList members = GroupMembers(*FIni, group.Key);
    if (members.isEmpty()) {
        Add(llError, QStringLiteral("section-empty"), group.Key, QString(),
            Say(QStringLiteral("die Gruppe hat keine Mitglieder: Übernehmen schaltet keine Datei"),
                QStringLiteral("the group lists no members: Apply switches no file")));
    }
    for (const QString &member : members) {
        for (const QString &setting : {ControlFile::CheckedKey, ControlFile::ShowKey}) {
            if (member.compare(setting, Qt::CaseInsensitive) == 0) {
                Add(llWarning, QStringLiteral("setting-as-member"), group.Key, member,
                    Say(QStringLiteral(
                            "als \"%1\" gelesen, aber auch als Mitglied aufgeführt, denn "
                            "Mitglieder werden an der genauen Schreibweise \"%1\" erkannt"),
                        QStringLiteral("read as \"%1\", but also listed as a member, because "
                                       "members are told apart by the exact spelling \"%1\""))
                        .arg(setting));
            }
        }
    }
    CheckCaptions(group.Key, members);
    CheckStateKeyOf(group);
}

void TSceneryLint::CheckSwitch(const TEntry &sw)
{
    if (!FIni->SectionExists(sw.Key)) {
        Add(llError, QStringLiteral("section-missing"), sw.ListSection, sw.Key,
            Say(QStringLiteral("der Schalter hat keinen Abschnitt [%1]: er hat keine Alternativen "
                               "und keinen Zustandsschlüssel"),
                QStringLiteral(
                    "the switch has no section [%1]: it has no alternatives and no state key"))
                .arg(sw.Key));
        return;
    }
    const QStringList alternatives = SwitchAlternatives(*FIni, sw.Key);
    if (alternatives.isEmpty()) {
        Add(llError, QStringLiteral("section-empty"), sw.Key, QString(),
            Say(QStringLiteral(
                    "der Schalter hat keine Alternativen: Übernehmen schaltet keine Datei"),
                QStringLiteral("the switch lists no alternatives: Apply switches no file")));
    } else if (alternatives.size() != SwitchedAlternatives) {
        Add(llError, QStringLiteral("alternatives"), sw.Key, QString(),
            alternatives.size() == 1 ? Say(
                QStringLiteral("der Schalter hat eine Alternative statt zwei: nur einer seiner "
                               "Zustände hat eine Datei"),
                QStringLiteral(
                    "the switch has one alternative, not two: only one of its states has a file"))
                                     : Say(QStringLiteral(
                                               "der Schalter hat %1 Alternativen statt zwei: nur "
                                               "die ersten beiden werden geschaltet"),
                                           QStringLiteral("the switch has %1 alternatives, not "
                                                          "two: only the first two are switched"))
                                           .arg(alternatives.size()));
    }
    for (const QString &alternative : alternatives) {
        if (alternative.compare(ControlFile::ShowKey, Qt::CaseInsensitive) == 0) {
            Add(llWarning, QStringLiteral("setting-as-member"), sw.Key, alternative,
                Say(QStringLiteral(
                        "ein Schalter kennt kein \"Show\": dieser Schlüssel ist eine Alternative"),
                    QStringLiteral(
                        "a switch has no \"Show\" setting: this key is an alternative")));
        }
    }
    CheckCaptions(sw.Key, alternatives);
    CheckStateKeyOf(sw);
}

void TSceneryLint::CheckStateKeyOf(const TEntry &entry)
{
    if (FIni->ReadString(entry.Key, ControlFile::CheckedKey, QString()).trimmed().isEmpty()) {
        Add(llWarning, QStringLiteral("no-state-key"), entry.Key, ControlFile::CheckedKey,
            Say(QStringLiteral("kein Schlüssel \"Checked\": der Zustand steht unter einem "
                               "Schlüssel ohne Namen, den alle Einträge ohne ihn teilen"),
                QStringLiteral("no \"Checked\" key: the state is stored under a key with an "
                               "empty name, which every entry without one shares")));
    }
}

// The files of every entry, found as Apply finds them, in the trees of both languages.
void TSceneryLint::CheckFiles()
{
    QSet<QString> seen;
    for (const TLanguage language : {lgGerman, lgEnglish}) {
        TSceneryState state;
        state.Scenery = FControlFile;
        TCheckTreeModel tree; // stays empty: the check needs the entries only
        TSceneryCheck fileCheck(*FIni, TSceneryLoader(state, tree).ReadEntries(*FIni, language));
        QHash<QString, QString> owners; // the first entry of the tree that switches each file
        fileCheck.Run([&](const TFileCheck &check) {
            const QString section = check.FileType == ftScenery
                ? ControlFile::ObjectListSection(language)
                : check.Entry;
            const QString id
                = (FileTypeText(check.FileType) + u'\n' + check.Entry + u'\n' + check.Key)
                      .toCaseFolded();
            const QString owner = EntryKindWord(FLanguage, check.FileType) + u' ' + check.Entry;
            // "a/../b" and "./b" name the same file as "b".
            const QString file
                = QDir::cleanPath(QString(check.Key).replace(u'\\', u'/')).toCaseFolded();
            const QString firstOwner = owners.value(file, owner);
            owners.insert(file, firstOwner);
            if (firstOwner != owner && !seen.contains(u"shared\n"_s + id)) {
                seen.insert(u"shared\n"_s + id);
                Add(llWarning, QStringLiteral("shared-file"), section, check.Key,
                    Say(QStringLiteral("%1 schaltet diese Datei auch: sind sich beide uneins, "
                                       "lässt Übernehmen sie, wie der spätere will"),
                        QStringLiteral("%1 switches this file too: when the two disagree, Apply "
                                       "leaves it as the later one wants"))
                        .arg(firstOwner));
            }
            if (seen.contains(id))
                return;
            seen.insert(id);
            const QString active = TSceneryFiles::ActivePath(check.Key);
            const QString inactive = TSceneryFiles::InactivePath(active);
            switch (check.Form) {
            case ffMissing:
                Add(llError, QStringLiteral("file-missing"), section, check.Key,
                    Say(QStringLiteral("weder %1 noch %2 existiert"),
                        QStringLiteral("neither %1 nor %2 exists"))
                        .arg(active, inactive));
                break;
            case ffBothForms:
                Add(llError, QStringLiteral("both-forms"), section, check.Key,
                    Say(QStringLiteral(
                            "%1 und %2 existieren beide: Übernehmen lässt beide, wie sie sind"),
                        QStringLiteral("both %1 and %2 exist: Apply touches neither"))
                        .arg(check.ActiveName, check.InactiveName));
                break;
            case ffOutsideScenery:
                Add(llError, QStringLiteral("outside-scenery"), section, check.Key,
                    Say(QStringLiteral("der Schlüssel führt aus dem Ordner Scenery hinaus oder "
                                       "nennt ein Gerät: Übernehmen lässt ihn immer, wie er ist"),
                        QStringLiteral("the key leaves the Scenery folder or names a device: Apply "
                                       "never touches it")));
                break;
            case ffAmbiguous:
                Add(llError, QStringLiteral("letter-case-twins"), section, check.Key,
                    Say(QStringLiteral("Namen, die sich nur in Groß- und Kleinschreibung "
                                       "unterscheiden: %1; Übernehmen lässt alle, wie sie sind"),
                        QStringLiteral(
                            "names that differ only in letter case: %1; Apply touches none"))
                        .arg(check.Ambiguous.join(QStringLiteral(", "))));
                break;
            case ffBadName:
                Add(llError, QStringLiteral("bad-name"), section, check.Key,
                    Say(QStringLiteral("das System kann den Schlüssel nicht als Dateinamen nehmen"),
                        QStringLiteral("the system cannot take the key as a file name")));
                break;
            case ffActive:
            case ffInactive:
                if (check.Expected && !check.Agrees()) {
                    const QString name
                        = check.Form == ffActive ? check.ActiveName : check.InactiveName;
                    Add(llWarning, QStringLiteral("form-differs"), section, check.Key,
                        Say(QStringLiteral("%1 passt nicht zum gespeicherten Zustand %2: das "
                                           "erste Übernehmen benennt die Datei um"),
                            QStringLiteral("%1 does not match its stored state %2: the first "
                                           "Apply renames it"))
                            .arg(name)
                            .arg(check.StateValue));
                }
                if (check.LetterCaseVariant) {
                    const QString name
                        = check.Form == ffActive ? check.ActiveName : check.InactiveName;
                    Add(llInformation, QStringLiteral("letter-case"), section, check.Key,
                        Say(QStringLiteral("die Datei heißt %1: sie wird gefunden, da Groß- und "
                                           "Kleinschreibung nicht zählen"),
                            QStringLiteral(
                                "the file is spelled %1: found, since letter case is ignored"))
                            .arg(name));
                }
                break;
            }
        });
    }
}

// The copies of the states that Apply keeps for undo and for the shipped state belong to a
// user's package, not to one an author ships: shipped, they give the user an undo of the
// author's trials and a "shipped state" that is not what was shipped.
void TSceneryLint::CheckRecords()
{
    for (const QString &section : {TStateRecords::Previous, TStateRecords::Shipped}) {
        if (FIni->SectionExists(section)) {
            Add(llWarning, QStringLiteral("apply-records"), section, QString(),
                Say(QStringLiteral("Übernehmen hat hier schon Zustände geändert: vor der "
                                   "Auslieferung diesen Abschnitt löschen"),
                    QStringLiteral("Apply has changed states here already: delete this section "
                                   "before shipping")));
        }
    }
}

// The state of every entry, read as loading reads it, and the state keys no entry uses.
void TSceneryLint::CheckStates()
{
    QStringList stored;
    FIni->ReadSection(ControlFile::States, stored);
    const QSet<QString> storedNames = foldedNames(stored);
    QSet<QString> used;
    for (const TEntry &entry : std::as_const(FEntries)) {
        const QString stateKey = EntryStateKey(*FIni, TScenObj{entry.Key, entry.FileType});
        if (used.contains(foldedName(stateKey)))
            continue;
        used.insert(foldedName(stateKey));
        // An entry without a state key reads and writes the key with an empty name: that key is
        // in use, and the entry's own warning tells the author to name one.
        if (stateKey.isEmpty())
            continue;
        if (!storedNames.contains(foldedName(stateKey))) {
            Add(llInformation, QStringLiteral("state-missing"), ControlFile::States, stateKey,
                Say(QStringLiteral("kein Zustand gespeichert: der Eintrag startet angehakt"),
                    QStringLiteral("no state stored: the entry starts checked")));
            continue;
        }
        const QString value = FIni->ReadString(ControlFile::States, stateKey, QString()).trimmed();
        if (value == u"0" || value == u"1")
            continue;
        // Read twice with different defaults: only a value that is no number gives the default.
        const qint32 number = FIni->ReadInteger(ControlFile::States, stateKey, 1);
        const bool unreadable = number != FIni->ReadInteger(ControlFile::States, stateKey, 0);
        QString reason;
        if (unreadable)
            reason = Say(QStringLiteral("%1 ist keine Zahl: gelesen wird 1"),
                         QStringLiteral("%1 is no number: it reads as 1"))
                         .arg(quoted(value));
        else if (number == 0 || number == 1)
            reason = Say(QStringLiteral("%1 wird als %2 gelesen; besser 0 oder 1 schreiben"),
                         QStringLiteral("%1 reads as %2; write 0 or 1"))
                         .arg(quoted(value))
                         .arg(number);
        else if (entry.FileType == ftSwitch)
            reason = Say(QStringLiteral("%1 ist weder 0 noch 1: keine Alternative ist gewählt"),
                         QStringLiteral("%1 is neither 0 nor 1: no alternative is picked"))
                         .arg(quoted(value));
        else
            reason = Say(QStringLiteral("%1 ist weder 0 noch 1: der Eintrag startet ohne Zustand "
                                        "und erscheint nicht angehakt"),
                         QStringLiteral("%1 is neither 0 nor 1: the entry starts without a state "
                                        "and shows unchecked"))
                         .arg(quoted(value));
        Add(llWarning, QStringLiteral("state-value"), ControlFile::States, stateKey, reason);
    }
    for (const QString &key : std::as_const(stored)) {
        if (!used.contains(foldedName(key))) {
            Add(llInformation, QStringLiteral("state-unused"), ControlFile::States, key,
                Say(QStringLiteral(
                        "kein Eintrag nutzt diesen Zustandsschlüssel: er bleibt, wie er ist"),
                    QStringLiteral("no entry uses this state key: it is kept as it is")));
        }
    }
}

void TSceneryLint::CheckCredits()
{
    const TSceneryState state;
    for (const QString &section : state.Languages) {
        QStringList keys;
        FIni->ReadSection(section, keys);
        if (!containsName(keys, ControlFile::HTMLCredits))
            continue;
        const TMarkupScan scan
            = ScanMarkup(FIni->ReadString(section, ControlFile::HTMLCredits, QString()));
        for (const TMarkupIssue &issue : scan.Issues) {
            switch (issue.Kind) {
            case TMarkupIssue::miUnknownTag:
                Add(llWarning, QStringLiteral("markup-unknown-tag"), section,
                    ControlFile::HTMLCredits,
                    Say(QStringLiteral("%1 ist kein Tag der Credits: es wird übergangen oder als "
                                       "anderes Tag gelesen"),
                        QStringLiteral("%1 is no tag of the credits markup: it is ignored or read "
                                       "as another tag"))
                        .arg(issue.Text));
                break;
            case TMarkupIssue::miUnterminatedTag:
                Add(llError, QStringLiteral("markup-unterminated"), section,
                    ControlFile::HTMLCredits,
                    Say(QStringLiteral("%1 hat kein \">\": der Text ab dort wird nicht gezeigt"),
                        QStringLiteral("%1 has no \">\": the text from there on is not shown"))
                        .arg(quoted(issue.Text)));
                break;
            case TMarkupIssue::miUnclosedTag:
                Add(llWarning, QStringLiteral("markup-unclosed"), section, ControlFile::HTMLCredits,
                    Say(QStringLiteral("%1 wird nie geschlossen: es wirkt bis zum Ende des Texts"),
                        QStringLiteral(
                            "%1 is never closed: its effect lasts to the end of the text"))
                        .arg(issue.Text));
                break;
            case TMarkupIssue::miUnknownEntity:
                Add(llWarning, QStringLiteral("markup-entity"), section, ControlFile::HTMLCredits,
                    Say(QStringLiteral("%1 ist keine Entität der Credits: sie erscheint, wie sie "
                                       "geschrieben ist"),
                        QStringLiteral(
                            "%1 is no entity of the credits markup: it shows as written"))
                        .arg(issue.Text));
                break;
            }
        }
        for (const QString &picture : scan.Pictures) {
            static const QString file = QStringLiteral("FILE://");
            if (picture.startsWith(file, Qt::CaseInsensitive)) {
                const QString path = QDir(FFolder).absoluteFilePath(picture.mid(file.size()));
                if (!QFileInfo(path).isFile()) {
                    Add(llError, QStringLiteral("picture-missing"), section,
                        ControlFile::HTMLCredits,
                        Say(QStringLiteral("das Bild %1 existiert nicht"),
                            QStringLiteral("the picture %1 does not exist"))
                            .arg(picture));
                }
            } else if (!picture.startsWith(u"RES://", Qt::CaseInsensitive)
                       && !picture.startsWith(u"SSYS:", Qt::CaseInsensitive)
                       && !picture.startsWith(u"LSYS:", Qt::CaseInsensitive)) {
                Add(llWarning, QStringLiteral("picture-source"), section, ControlFile::HTMLCredits,
                    Say(QStringLiteral(
                            "das Bild %1 wird nicht gezeigt: die Credits nehmen Bilder nur aus "
                            "FILE://- und RES://-Adressen und SSYS:/LSYS:-Symbole"),
                        QStringLiteral("the picture %1 is not shown: the credits take pictures "
                                       "from FILE:// and RES:// addresses and SSYS:/LSYS: icons"))
                        .arg(quoted(picture)));
            }
        }
        for (const QString &link : scan.Links) {
            if (OpenableAddress(link).isEmpty()) {
                Add(llWarning, QStringLiteral("link"), section, ControlFile::HTMLCredits,
                    Say(QStringLiteral("der Link %1 wird nicht geöffnet: nur http-, https- und "
                                       "mailto-Adressen werden es"),
                        QStringLiteral(
                            "the link %1 is not opened: only http, https and mailto addresses are"))
                        .arg(quoted(link)));
            }
        }
    }
}

void TSceneryLint::CheckReadmes()
{
    const TSceneryState state;
    for (const TLanguage language : {lgGerman, lgEnglish}) {
        const QString name = ReadmeFileName(state.Languages[language]);
        if (!QFileInfo(QDir(FFolder).filePath(name)).isFile()) {
            Add(llWarning, QStringLiteral("readme-missing"), QString(), name,
                (language == lgEnglish
                     ? Say(QStringLiteral("%1 fehlt neben der Steuerdatei: das "
                                          "Informationsfenster zeigt keine englische "
                                          "Readme"),
                           QStringLiteral("%1 is missing beside the control file: the "
                                          "information window shows no readme in "
                                          "English"))
                     : Say(QStringLiteral("%1 fehlt neben der Steuerdatei: das "
                                          "Informationsfenster zeigt keine deutsche "
                                          "Readme"),
                           QStringLiteral("%1 is missing beside the control file: the "
                                          "information window shows no readme in "
                                          "German")))
                    .arg(name));
        }
    }
}
