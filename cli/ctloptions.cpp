#include "cli/ctloptions.h"

#include "config/language.h"

#include <QCoreApplication>

namespace {

const QStringList Commands{QStringLiteral("list"),    QStringLiteral("check"),
                           QStringLiteral("apply"),   QStringLiteral("undo"),
                           QStringLiteral("restore"), QStringLiteral("lint")};
// The commands that apply a selection, and so take --dry-run.
const QStringList Applying{QStringLiteral("apply"), QStringLiteral("undo"),
                           QStringLiteral("restore")};

const QString Description = QStringLiteral(
    "Shows and changes which objects of the scenery are active, as the configurator does.\n"
    "\n"
    "Commands:\n"
    "  list   the object tree as the configurator shows it after loading: [x] checked,\n"
    "         [ ] unchecked, [-] partly checked, each entry followed by its key\n"
    "  check  the form of every scenery file on disk against the state in the control file\n"
    "  apply  change the named entries, then apply the selection as the configurator does\n"
    "  undo   apply the states from before the last apply that changed one\n"
    "  restore apply the states the scenery was shipped with\n"
    "  lint   check the package as its author ships it: control file in both languages,\n"
    "         scenery files, states, credits, home page and readmes; changes nothing\n"
    "\n"
    "Exit status: 0 success; 1 a file does not agree, lint found an error or a warning, or\n"
    "something could not be done;\n"
    "2 usage error (bad option, unknown name, no control file or several).");

} // namespace

TCtlOptions::TCtlOptions()
    : FFolderOption(QStringList{QStringLiteral("C")},
                    QStringLiteral("The scenery's folder (default: the current folder)."),
                    QStringLiteral("DIR"))
    , FControlOption(QStringList{QStringLiteral("control")},
                     QStringLiteral("The control file, relative to DIR (default: the only *.ini "
                                    "file of DIR); its scenery files are those of the Scenery "
                                    "folder beside it."),
                     QStringLiteral("FILE"))
    , FLanguageOption(QStringList{QStringLiteral("language")},
                      QStringLiteral("Read the captions of this language (german or english) "
                                     "instead of the stored one; nothing is written. lint: "
                                     "write the findings in it (default: english)."),
                      QStringLiteral("LANGUAGE"))
    , FJsonOption(QStringList{QStringLiteral("json")},
                  QStringLiteral("Print the result as JSON, for scripts."))
    , FOnOption(QStringList{QStringLiteral("on")},
                QStringLiteral("apply: check this object or group."), QStringLiteral("NAME"))
    , FOffOption(QStringList{QStringLiteral("off")},
                 QStringLiteral("apply: uncheck this object or group."), QStringLiteral("NAME"))
    , FSwitchOption(QStringList{QStringLiteral("switch")},
                    QStringLiteral("apply: make alternative 0 or 1 of this switch active."),
                    QStringLiteral("NAME=0|1"))
    , FDryRunOption(QStringList{QStringLiteral("dry-run")},
                    QStringLiteral("apply, undo, restore: print the states and renames, change "
                                   "nothing."))
{
    FParser.setApplicationDescription(Description);
    FParser.addHelpOption();
    FParser.addVersionOption();
    FParser.addOptions({FFolderOption, FControlOption, FLanguageOption, FJsonOption, FOnOption,
                        FOffOption, FSwitchOption, FDryRunOption});
    FParser.addPositionalArgument(QStringLiteral("command"),
                                  QStringLiteral("list, check, apply, undo, restore or lint"),
                                  QStringLiteral("COMMAND"));
}

TCtlOptions::TParseResult TCtlOptions::Parse(const QStringList &arguments)
{
    if (!FParser.parse(arguments))
        return Fail(FParser.errorText());
    if (FParser.isSet(QStringLiteral("help")))
        return prHelp;
    if (FParser.isSet(QStringLiteral("version")))
        return prVersion;

    const QStringList positional = FParser.positionalArguments();
    if (positional.isEmpty())
        return Fail(QStringLiteral("no command given: list, check, apply, undo, restore or lint"));
    if (positional.size() > 1 || !Commands.contains(positional.first())) {
        return Fail(
            QStringLiteral("unknown command: %1 (list, check, apply, undo, restore or lint)")
                .arg(positional.join(u' ')));
    }
    Command = positional.first();

    Folder = FParser.value(FFolderOption);
    ControlFile = FParser.value(FControlOption);
    Json = FParser.isSet(FJsonOption);
    if (FParser.isSet(FLanguageOption)) {
        const QString language = FParser.value(FLanguageOption).toLower();
        if (language == u"german")
            Language = lgGerman;
        else if (language == u"english")
            Language = lgEnglish;
        else
            return Fail(QStringLiteral("unknown language: %1 (german or english)")
                            .arg(FParser.value(FLanguageOption)));
    }

    On = FParser.values(FOnOption);
    Off = FParser.values(FOffOption);
    DryRun = FParser.isSet(FDryRunOption);
    for (const QString &value : FParser.values(FSwitchOption)) {
        // A section name may hold "=" itself: the value follows the last one.
        const qsizetype cut = value.lastIndexOf(u'=');
        const QString alternative = cut < 0 ? QString() : value.mid(cut + 1);
        if (cut <= 0 || (alternative != u"0" && alternative != u"1"))
            return Fail(QStringLiteral("--switch wants NAME=0 or NAME=1, not %1").arg(value));
        Switches.append({value.left(cut), alternative.toInt()});
    }
    const bool changes = !On.isEmpty() || !Off.isEmpty() || !Switches.isEmpty();
    if (changes && Command != u"apply")
        return Fail(QStringLiteral("--on, --off and --switch belong to apply"));
    if (DryRun && !Applying.contains(Command))
        return Fail(QStringLiteral("--dry-run belongs to apply, undo and restore"));
    return prRun;
}

bool TCtlOptions::Writes() const
{
    return Applying.contains(Command) && !DryRun;
}

TCtlOptions::TParseResult TCtlOptions::Fail(const QString &error)
{
    FError = error;
    return prError;
}
