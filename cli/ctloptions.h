#pragma once

#include <QCommandLineParser>
#include <QList>
#include <QStringList>

#include <optional>

// A switch to set: its section name and the alternative to make active.
struct TSwitchChoice
{
    QString Name;
    int Alternative = 0;
};

// The command line of sceneryctl:
//   sceneryctl [-C DIR] [--control FILE] [--language german|english] [--json] COMMAND
// with COMMAND list, check, lint, apply [--on NAME]... [--off NAME]... [--switch NAME=0|1]...
// [--dry-run], undo [--dry-run] or restore [--dry-run].
class TCtlOptions
{
public:
    TCtlOptions();

    enum TParseResult { prRun, prHelp, prVersion, prError };
    TParseResult Parse(const QStringList &arguments);

    QString ErrorText() const { return FError; }
    [[noreturn]] void ShowHelp() { FParser.showHelp(0); }
    [[noreturn]] void ShowVersion() { FParser.showVersion(); }

    QString Folder; // the scenery's folder; empty for the current one
    QString ControlFile; // empty: the only "*.ini" of Folder
    std::optional<qint32> Language; // a TLanguage; none: the stored language
    bool Json = false;
    QString Command; // "list", "check", "lint", "apply", "undo" or "restore"
    QStringList On;
    QStringList Off;
    QList<TSwitchChoice> Switches;
    bool DryRun = false;

    // Whether the command changes the scenery: apply, undo or restore without --dry-run.
    bool Writes() const;

private:
    TParseResult Fail(const QString &error);

    QString FError;
    QCommandLineParser FParser;
    QCommandLineOption FFolderOption;
    QCommandLineOption FControlOption;
    QCommandLineOption FLanguageOption;
    QCommandLineOption FJsonOption;
    QCommandLineOption FOnOption;
    QCommandLineOption FOffOption;
    QCommandLineOption FSwitchOption;
    QCommandLineOption FDryRunOption;
};
