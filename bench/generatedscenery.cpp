#include "bench/generatedscenery.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

enum class TKind { Object, Group, Switch };

TKind kindOf(int entry)
{
    switch (entry % 5) {
    case 3:
        return TKind::Group;
    case 4:
        return TKind::Switch;
    default:
        return TKind::Object;
    }
}

QByteArray number(int entry)
{
    return QByteArray::number(entry).rightJustified(6, '0');
}

QByteArray objectKey(int entry)
{
    return "obj_" + number(entry) + "_hangar";
}

QByteArray memberKey(int entry, int member)
{
    return "veh_" + number(entry) + '_' + QByteArray::number(member);
}

// Every seventh object or group is stored unchecked; every switch has its first alternative.
bool storedChecked(int entry)
{
    return entry % 7 != 0;
}

QByteArray alternativeKey(int entry, char alternative)
{
    return "gnd_" + number(entry) + '_' + alternative;
}

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "cannot write %s\n", qPrintable(what));
    std::exit(2);
}

} // namespace

namespace GeneratedScenery {

QByteArray ControlFile(int entries)
{
    QByteArray german = "[Szenerie]\r\n", english = "[Scenery]\r\n";
    QByteArray germanGroups = "[Gruppen]\r\n", englishGroups = "[Groups]\r\n";
    QByteArray germanSwitches = "[Schalter]\r\n", englishSwitches = "[Switches]\r\n";
    QByteArray sections, states = "[Checked]\r\n";
    for (int i = 0; i < entries; ++i) {
        const QByteArray n = number(i);
        const QByteArray state = QByteArray::number(storedChecked(i) ? 1 : 0);
        switch (kindOf(i)) {
        case TKind::Object:
            german += objectKey(i) + "=Hangar Nord " + n + "\r\n";
            english += objectKey(i) + "=Hangar north " + n + "\r\n";
            states += objectKey(i) + '=' + state + "\r\n";
            break;
        case TKind::Group:
            germanGroups += "grp_" + n + "=Fahrzeuge " + n + "\r\n";
            englishGroups += "grp_" + n + "=Vehicles " + n + "\r\n";
            sections += "[grp_" + n + "]\r\nChecked=vehicles_" + n + "\r\n";
            for (int m = 0; m < 4; ++m)
                sections += memberKey(i, m) + "=Tankwagen " + QByteArray::number(m) + "\r\n";
            states += "vehicles_" + n + '=' + state + "\r\n";
            break;
        case TKind::Switch:
            germanSwitches += "sw_" + n + "=Jahreszeit " + n + "\r\n";
            englishSwitches += "sw_" + n + "=Season " + n + "\r\n";
            sections += "[sw_" + n + "]\r\nChecked=season_" + n + "\r\n" + alternativeKey(i, 's')
                + "=Sommer\r\n" + alternativeKey(i, 'w') + "=Winter\r\n";
            states += "season_" + n + "=0\r\n";
            break;
        }
    }
    return "; Steuerdatei einer erzeugten Szenerie\r\n[Settings]\r\nName=Erzeugt\r\n"
           "Language=german\r\nURL=https://www.example.org/\r\n\r\n"
           "[german]\r\nTitle=Erzeugt\r\nScrollerText=Willkommen  *  Erzeugte Szenerie  *\r\n"
           "[english]\r\nTitle=Generated\r\nScrollerText=Welcome  *  Generated scenery  *\r\n"
        + german + english + germanGroups + englishGroups + germanSwitches + englishSwitches
        + sections + states;
}

QList<TSceneryFile> Files(int entries)
{
    QList<TSceneryFile> files;
    for (int i = 0; i < entries; ++i) {
        switch (kindOf(i)) {
        case TKind::Object:
            files.append({QString::fromLatin1(objectKey(i)), storedChecked(i)});
            break;
        case TKind::Group:
            for (int m = 0; m < 4; ++m)
                files.append({QString::fromLatin1(memberKey(i, m)), storedChecked(i)});
            break;
        case TKind::Switch:
            files.append({QString::fromLatin1(alternativeKey(i, 's')), true});
            files.append({QString::fromLatin1(alternativeKey(i, 'w')), false});
            break;
        }
    }
    return files;
}

QStringList CheckedEntries(int entries)
{
    QStringList names;
    for (int i = 0; i < entries; ++i) {
        if (!storedChecked(i))
            continue;
        if (kindOf(i) == TKind::Object)
            names += QString::fromLatin1(objectKey(i));
        else if (kindOf(i) == TKind::Group)
            names += QStringLiteral("grp_") + QString::fromLatin1(number(i));
    }
    return names;
}

QString Write(const QString &folder, int entries, bool withFiles)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        fail(folder);
    const QString path = dir.filePath(QStringLiteral("Bench.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(ControlFile(entries)) < 0)
        fail(path);
    file.close();
    if (withFiles) {
        const QString scenery = dir.filePath(QStringLiteral("Scenery"));
        if (!QDir().mkpath(scenery))
            fail(scenery);
        for (const TSceneryFile &file : Files(entries)) {
            QFile bgl(scenery + u'/' + file.Name
                      + (file.Active ? QStringLiteral(".bgl") : QStringLiteral(".bg_")));
            if (!bgl.open(QIODevice::WriteOnly))
                fail(bgl.fileName());
        }
    }
    return path;
}

} // namespace GeneratedScenery
