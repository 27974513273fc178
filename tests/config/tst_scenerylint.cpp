#include "config/scenerylint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Settings = u"[Settings]\nLanguage=german\nURL=https://www.example.org/\n"_s;
// One object listed in both languages, with its state.
const QString Tower
    = u"[Szenerie]\ntower=Kontrollturm\n[Scenery]\ntower=Control tower\n[Checked]\ntower=1\n"_s;
const QStringList Readmes{u"liesmich.html"_s, u"readme.html"_s};
const QStringList TowerFiles = QStringList{u"Scenery/tower.bgl"_s} + Readmes;

// Each finding as "level kind [section] key".
QStringList lint(const QString &controlFile)
{
    QStringList lines;
    for (const TLintFinding &finding : TSceneryLint(controlFile).Run()) {
        lines << u"%1 %2 [%3] %4"_s.arg(LintLevelName(finding.Level), finding.Kind, finding.Section,
                                        finding.Key);
    }
    return lines;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSceneryLint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findings_data();
    void findings();
    void reasonsNameTheFiles();
    void demoHasOnlyItsMissingFile();
};

void TestSceneryLint::findings_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("expected");

    const auto group = [](const QString &section) {
        return u"[Gruppen]\ngrp=Gruppe\n[Groups]\ngrp=Group\n"_s + section;
    };
    const auto sw = [](const QString &section) {
        return u"[Schalter]\nsw=Schalter\n[Switches]\nsw=Switch\n"_s + section
            + u"[Checked]\nseason=0\n"_s;
    };
    const auto credits = [](const QString &markup) {
        return Settings + u"[german]\nHTMLCredits="_s + markup + u'\n' + Tower;
    };
    const QStringList summerWinter{u"Scenery/summer.bgl"_s, u"Scenery/winter.bg_"_s};

    QTest::newRow("clean package with a picture and a link in the credits")
        << credits(u"<P align=\"center\"><B>Musterhafen</B><BR><IMG src=\"FILE://pics/logo.png\">"
                   u"<A href=\"https://www.example.org/\">Homepage</A> &copy; 2024</P>"_s)
        << TowerFiles + QStringList{u"pics/logo.png"_s} << QStringList();

    // Settings.
    QTest::newRow("language neither german nor english")
        << QString(Settings + Tower).replace(u"german"_s, u"deutsch"_s) << TowerFiles
        << QStringList{u"warning language [Settings] Language"_s};
    QTest::newRow("no home page") << u"[Settings]\nLanguage=german\n"_s + Tower << TowerFiles
                                  << QStringList{u"warning home-page [Settings] URL"_s};
    QTest::newRow("home page that is no web address")
        << QString(Settings + Tower).replace(u"https://"_s, u"file://"_s) << TowerFiles
        << QStringList{u"error home-page [Settings] URL"_s};
    QTest::newRow("home page of 2000 characters")
        << QString(Settings + Tower)
               .replace(u"example.org/"_s, u"example.org/"_s + QString(1980, u'a'))
        << TowerFiles << QStringList{u"error home-page [Settings] URL"_s};

    // Lists and captions.
    QTest::newRow("nothing listed")
        << Settings << Readmes << QStringList{u"warning no-entries [] "_s};
    QTest::newRow("object listed in one language only")
        << QString(Settings + Tower)
               .replace(u"tower=Kontrollturm\n"_s, u"tower=Kontrollturm\nfence=Zaun\n"_s)
        << TowerFiles + QStringList{u"Scenery/fence.bgl"_s}
        << QStringList{u"warning one-language [Szenerie] fence"_s,
                       u"information state-missing [Checked] fence"_s};
    QTest::newRow("group with a section of its own in each language") << Settings
            + u"[Gruppen]\ngrp_de=Fahrzeuge\n[Groups]\ngrp_en=Vehicles\n"
              u"[grp_de]\nChecked=cars\ncar=Auto\n[grp_en]\nChecked=cars\ncar=Car\n"
              u"[Checked]\ncars=1\n"_s << Readmes + QStringList{u"Scenery/car.bgl"_s}
                                                                      << QStringList();
    QTest::newRow("groups of the two languages with different state keys")
        << Settings
            + u"[Gruppen]\ngrp_de=Fahrzeuge\n[Groups]\ngrp_en=Vehicles\n"
              u"[grp_de]\nChecked=cars\ncar=Auto\n[grp_en]\nChecked=autos\ncar=Car\n"
              u"[Checked]\ncars=1\nautos=1\n"_s
        << Readmes + QStringList{u"Scenery/car.bgl"_s}
        << QStringList{u"warning one-language [Gruppen] grp_de"_s,
                       u"warning one-language [Groups] grp_en"_s};
    QTest::newRow("names of the two languages and the states in other letter case")
        << Settings
            + u"[Szenerie]\nTÜRME=Türme\n[Scenery]\ntürme=Towers\n"
              u"[Gruppen]\ngrp_de=Fahrzeuge\n[Groups]\ngrp_en=Vehicles\n"
              u"[grp_de]\nChecked=Cars\ncar=Auto\n[grp_en]\nChecked=CARS\ncar=Car\n"
              u"[Checked]\ntürme=1\ncars=1\n"_s
        << Readmes + QStringList{u"Scenery/türme.bgl"_s, u"Scenery/car.bgl"_s}
        << QStringList{u"information letter-case [Szenerie] TÜRME"_s};
    QTest::newRow("empty caption")
        << QString(Settings + Tower).replace(u"=Control tower"_s, u"="_s) << TowerFiles
        << QStringList{u"warning empty-caption [Scenery] tower"_s};

    // Groups and switches.
    QTest::newRow("group section missing") << Settings + group(QString()) << Readmes
                                           << QStringList{u"error section-missing [Gruppen] grp"_s};
    QTest::newRow("group section without members")
        << Settings + group(u"[grp]\nChecked=g\nShow=1\n[Checked]\ng=1\n"_s) << Readmes
        << QStringList{u"error section-empty [grp] "_s};
    QTest::newRow("group without Checked")
        << Settings + group(u"[grp]\ncar=Auto\n"_s) << Readmes + QStringList{u"Scenery/car.bgl"_s}
        << QStringList{u"warning no-state-key [grp] Checked"_s};
    QTest::newRow("group without Checked, its state under the empty key")
        << Settings + group(u"[grp]\ncar=Auto\n[Checked]\n=0\n"_s)
        << Readmes + QStringList{u"Scenery/car.bg_"_s}
        << QStringList{u"warning no-state-key [grp] Checked"_s};
    QTest::newRow("Show spelled otherwise counts as a member")
        << Settings + group(u"[grp]\nChecked=g\nshow=1\ncar=Auto\n[Checked]\ng=1\n"_s)
        << Readmes + QStringList{u"Scenery/car.bgl"_s, u"Scenery/show.bgl"_s}
        << QStringList{u"warning setting-as-member [grp] show"_s};
    QTest::newRow("switch section missing")
        << Settings + sw(QString()) << Readmes
        << QStringList{u"error section-missing [Schalter] sw"_s,
                       u"information state-unused [Checked] season"_s};
    QTest::newRow("switch with three alternatives")
        << Settings + sw(u"[sw]\nChecked=season\nsummer=S\nwinter=W\nautumn=H\n"_s)
        << Readmes + summerWinter + QStringList{u"Scenery/autumn.bg_"_s}
        << QStringList{u"error alternatives [sw] "_s};
    QTest::newRow("switch with one alternative")
        << Settings + sw(u"[sw]\nChecked=season\nsummer=S\n"_s)
        << Readmes + QStringList{u"Scenery/summer.bgl"_s}
        << QStringList{u"error alternatives [sw] "_s};
    QTest::newRow("switch without Checked")
        << Settings + sw(u"[sw]\nsummer=S\nwinter=W\n"_s) << Readmes + summerWinter
        << QStringList{u"warning no-state-key [sw] Checked"_s,
                       // without its key the switch loads as 1: winter, which the files are not
                       u"warning form-differs [sw] summer"_s, u"warning form-differs [sw] winter"_s,
                       u"information state-unused [Checked] season"_s};

    // Scenery files.
    QTest::newRow("file in neither form")
        << Settings + Tower << Readmes << QStringList{u"error file-missing [Szenerie] tower"_s};
    QTest::newRow("file in both forms")
        << Settings + Tower << TowerFiles + QStringList{u"Scenery/tower.bg_"_s}
        << QStringList{u"error both-forms [Szenerie] tower"_s};
    QTest::newRow("file spelled in other letter case")
        << Settings + Tower << Readmes + QStringList{u"Scenery/Tower.bgl"_s}
        << QStringList{u"information letter-case [Szenerie] tower"_s};
#ifndef Q_OS_WIN // Windows file names ignore letter case: such twins cannot exist there
    QTest::newRow("letter-case twins")
        << Settings + Tower << TowerFiles + QStringList{u"Scenery/TOWER.bgl"_s}
        << QStringList{u"error letter-case-twins [Szenerie] tower"_s};
#endif
#ifndef Q_OS_WIN // Windows takes any UTF-16 name
    QTest::newRow("key that is no file name")
        << Settings + u"[Szenerie]\nt\xd800x=T\n[Scenery]\nt\xd800x=T\n[Checked]\nt\xd800x=1\n"_s
        << Readmes << QStringList{u"error bad-name [Szenerie] t\xd800x"_s};
#endif
    QTest::newRow("group member leaving the Scenery folder")
        << Settings + group(u"[grp]\nChecked=g\n..\\..\\etc\\x=X\n[Checked]\ng=1\n"_s) << Readmes
        << QStringList{u"error outside-scenery [grp] ..\\..\\etc\\x"_s};
    QTest::newRow("switch alternative with a device name")
        << Settings + sw(u"[sw]\nChecked=season\nsummer=S\nCON=W\n"_s)
        << Readmes + QStringList{u"Scenery/summer.bgl"_s}
        << QStringList{u"error outside-scenery [sw] CON"_s};

    QTest::newRow("file switched by an object and a group")
        << QString(Settings + Tower)
               .replace(u"[Checked]\n"_s,
                        u"[Gruppen]\ngrp=Gruppe\n[Groups]\ngrp=Group\n"
                        u"[grp]\nChecked=g\ntower=Turm\n[Checked]\ng=0\n"_s)
        << TowerFiles
        << QStringList{u"warning shared-file [grp] tower"_s, u"warning form-differs [grp] tower"_s};
    QTest::newRow("file switched twice, once by a path that goes round")
        << QString(Settings + Tower)
               .replace(u"tower=Kontrollturm\n"_s, u"tower=Kontrollturm\n./tower=Turm auch\n"_s)
               .replace(u"tower=Control tower\n"_s, u"tower=Control tower\n./tower=Tower too\n"_s)
        << TowerFiles
        << QStringList{u"warning shared-file [Szenerie] ./tower"_s,
                       u"information state-missing [Checked] ./tower"_s};
    QTest::newRow("file shipped in the other form than its state")
        << Settings + Tower << Readmes + QStringList{u"Scenery/tower.bg_"_s}
        << QStringList{u"warning form-differs [Szenerie] tower"_s};
    QTest::newRow("package shipped after trying Apply")
        << Settings + Tower
            + u"[Checked (before last apply)]\ntower=0\n[Checked (shipped)]\ntower=0\n"_s
        << TowerFiles
        << QStringList{u"warning apply-records [Checked (before last apply)] "_s,
                       u"warning apply-records [Checked (shipped)] "_s};

    // States.
    QTest::newRow("state neither 0 nor 1")
        << QString(Settings + Tower).replace(u"tower=1"_s, u"tower=5"_s) << TowerFiles
        << QStringList{u"warning state-value [Checked] tower"_s};
    QTest::newRow("state that is no number")
        << QString(Settings + Tower).replace(u"tower=1"_s, u"tower=ja"_s) << TowerFiles
        << QStringList{u"warning state-value [Checked] tower"_s};
    QTest::newRow("state written in hexadecimal")
        << QString(Settings + Tower).replace(u"tower=1"_s, u"tower=0x1"_s) << TowerFiles
        << QStringList{u"warning state-value [Checked] tower"_s};
    QTest::newRow("state key no entry uses")
        << Settings + Tower + u"old_hangar=0\n"_s << TowerFiles
        << QStringList{u"information state-unused [Checked] old_hangar"_s};

    // Credits.
    QTest::newRow("unknown tag") << credits(u"<BIG>Musterhafen"_s) << TowerFiles
                                 << QStringList{
                                        u"warning markup-unknown-tag [german] HTMLCredits"_s};
    QTest::newRow("tag without >")
        << credits(u"Musterhafen <B"_s) << TowerFiles
        << QStringList{u"error markup-unterminated [german] HTMLCredits"_s};
    QTest::newRow("tag never closed")
        << credits(u"<B>Musterhafen"_s) << TowerFiles
        << QStringList{u"warning markup-unclosed [german] HTMLCredits"_s};
    QTest::newRow("unknown entity") << credits(u"Musterhafen&hellip;"_s) << TowerFiles
                                    << QStringList{u"warning markup-entity [german] HTMLCredits"_s};
    QTest::newRow("picture file missing")
        << credits(u"<IMG src=\"FILE://logo.png\">"_s) << TowerFiles
        << QStringList{u"error picture-missing [german] HTMLCredits"_s};
    QTest::newRow("picture from a source the credits cannot show")
        << credits(u"<IMG src=\"logo.png\">"_s) << TowerFiles + QStringList{u"logo.png"_s}
        << QStringList{u"warning picture-source [german] HTMLCredits"_s};
    QTest::newRow("link that is not opened")
        << credits(u"<A href=\"file:///etc/passwd\">Homepage</A>"_s) << TowerFiles
        << QStringList{u"warning link [german] HTMLCredits"_s};

    // Readmes.
    QTest::newRow("English readme missing")
        << Settings + Tower << QStringList{u"Scenery/tower.bgl"_s, u"liesmich.html"_s}
        << QStringList{u"warning readme-missing [] readme.html"_s};
}

void TestSceneryLint::findings()
{
    QFETCH(QString, ini);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    const QString controlFile = dir.filePath(u"XXXX.ini"_s);
    QFile control(controlFile);
    QVERIFY(control.open(QIODevice::WriteOnly));
    // As shipped: Windows-1252 with CRLF, or UTF-16 with its mark for other characters.
    const QString text = QString(ini).replace(u"\n"_s, u"\r\n"_s);
    const bool latin1
        = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x100; });
    control.write(
        latin1 ? text.toLatin1()
               : "\xff\xfe"
                + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
    control.close();
    for (const QString &name : files) {
        QVERIFY(QDir(dir.path()).mkpath(QFileInfo(name).path()));
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
    }
    const QByteArray before = readAll(controlFile);

    QCOMPARE(lint(controlFile), expected);
    QCOMPARE(readAll(controlFile), before);
}

// The reason says what is wrong in words an author acts on.
void TestSceneryLint::reasonsNameTheFiles()
{
    QTemporaryDir dir;
    const QString controlFile = dir.filePath(u"XXXX.ini"_s);
    QFile control(controlFile);
    QVERIFY(control.open(QIODevice::WriteOnly));
    control.write(QString(Settings + Tower).toLatin1());
    control.close();

    const QList<TLintFinding> findings = TSceneryLint(controlFile).Run();
    QCOMPARE(findings.size(), 3);
    QCOMPARE(findings.at(0).Reason, u"neither Scenery/tower.bgl nor Scenery/tower.bg_ exists"_s);
    QCOMPARE(findings.at(1).Reason,
             u"liesmich.html is missing beside the control file: the information window shows "
             u"no readme in German"_s);
}

void TestSceneryLint::demoHasOnlyItsMissingFile()
{
    const QString controlFile = QStringLiteral(SC_DEMO_DIR "/Musterhafen.ini");
    const QByteArray before = readAll(controlFile);
    QCOMPARE(lint(controlFile), QStringList{u"error file-missing [Szenerie] radar"_s});
    QCOMPARE(readAll(controlFile), before);
}

QTEST_GUILESS_MAIN(TestSceneryLint)
#include "tst_scenerylint.moc"
