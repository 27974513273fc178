#include "walk/ftw.h"
#include "walk/wildcard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFtw : public QObject
{
    Q_OBJECT

private:
    // Creates files and folders (names ending in "/") below the temporary folder.
    void make(const QStringList &entries)
    {
        for (const QString &entry : entries) {
            if (entry.endsWith(u'/')) {
                QVERIFY(QDir(FDir.path()).mkpath(entry));
            } else {
                QFile file(FDir.filePath(entry));
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
    }

    // Runs the walker and returns what the callback saw: "path relative to the temporary
    // folder|name", with "/" marking folders.
    QStringList walk(TFtw &ftw, const QString &finishAt = {})
    {
        QStringList seen;
        ftw.OnProcessFile = [&](const QString &path, const TSearchRec &info) {
            QString where = path.mid(FDir.path().size());
            seen << where + u'|' + info.Name + ((info.Attr & faDirectory) ? u"/"_s : QString());
            return info.Name == finishAt ? Finished : FindMore;
        };
        if (ftw.StartPath == QDir::rootPath())
            ftw.StartPath = FDir.path();
        ftw.Execute();
        return seen;
    }

    QTemporaryDir FDir;

private Q_SLOTS:
    void init()
    {
        for (const QString &name :
             QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            QFileInfo info(FDir.filePath(name));
            if (info.isDir() && !info.isSymLink())
                QDir(info.filePath()).removeRecursively();
            else
                QFile::remove(info.filePath());
        }
    }

    void matchesWildcards_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("extension") << u"a.ini"_s << u"*.ini"_s << true;
        QTest::newRow("case ignored") << u"SCENERY.INI"_s << u"*.ini"_s << true;
        QTest::newRow("case ignored beyond ASCII") << u"Ärger.ini"_s << u"ä*.INI"_s << true;
        QTest::newRow("other extension") << u"a.ini.bak"_s << u"*.ini"_s << false;
        QTest::newRow("no extension with *.*") << u"Scenery"_s << u"*.*"_s << true;
        QTest::newRow("dot with *.*") << u"."_s << u"*.*"_s << true;
        QTest::newRow("question mark is one character") << u"ab"_s << u"a?"_s << true;
        QTest::newRow("question mark needs a character") << u"a"_s << u"a?"_s << false;
        QTest::newRow("stars around") << u"xabcx"_s << u"*b*"_s << true;
        QTest::newRow("star matches empty") << u""_s << u"*"_s << true;
        QTest::newRow("many stars, no match")
            << QString(200, u'a') << QString(50, u'*') + u"b"_s << false;
        QTest::newRow("exact") << u"a.ini"_s << u"a.ini"_s << true;
    }
    void matchesWildcards()
    {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(MatchesWildcard(name, pattern), matches);
    }

    void walksMatchingEntries_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("recursive");
        QTest::addColumn<QString>("finishAt");
        QTest::addColumn<QStringList>("expected");
        // The fixture: a.ini, b.txt, .hidden.ini, sub/c.ini, old.ini/d.ini, old.ini/e.ini
        QTest::newRow("ini files and folders named *.ini")
            << u"*.ini"_s << true << QString()
            << QStringList{u"|.hidden.ini"_s, u"|a.ini"_s, u"|old.ini/"_s, u"/old.ini|d.ini"_s,
                           u"/old.ini|e.ini"_s};
        QTest::newRow("separator in front is kept")
            << u"/*.txt"_s << true << QString() << QStringList{u"|b.txt"_s};
        QTest::newRow("not recursive")
            << u"*.ini"_s << false << QString()
            << QStringList{u"|.hidden.ini"_s, u"|a.ini"_s, u"|old.ini/"_s};
        QTest::newRow("finished in a sub-folder ends only that folder")
            << u"*.ini"_s << true << u"d.ini"_s
            << QStringList{u"|.hidden.ini"_s, u"|a.ini"_s, u"|old.ini/"_s, u"/old.ini|d.ini"_s};
        QTest::newRow("finished in the start folder ends the walk")
            << u"*.ini"_s << true << u"a.ini"_s << QStringList{u"|.hidden.ini"_s, u"|a.ini"_s};
        QTest::newRow("empty filter lists everything, dots not entered")
            << QString() << true << QString() << QStringList{u"|./"_s,
                                                             u"|../"_s,
                                                             u"|.hidden.ini"_s,
                                                             u"|a.ini"_s,
                                                             u"|b.txt"_s,
                                                             u"|old.ini/"_s,
                                                             u"/old.ini|./"_s,
                                                             u"/old.ini|../"_s,
                                                             u"/old.ini|d.ini"_s,
                                                             u"/old.ini|e.ini"_s,
                                                             u"|sub/"_s,
                                                             u"/sub|./"_s,
                                                             u"/sub|../"_s,
                                                             u"/sub|c.ini"_s};
    }
    void walksMatchingEntries()
    {
        QFETCH(QString, filter);
        QFETCH(bool, recursive);
        QFETCH(QString, finishAt);
        QFETCH(QStringList, expected);
        make({u"a.ini"_s, u"b.txt"_s, u".hidden.ini"_s, u"sub/"_s, u"sub/c.ini"_s, u"old.ini/"_s,
              u"old.ini/d.ini"_s, u"old.ini/e.ini"_s});
        TFtw ftw;
        ftw.Filter = filter;
        ftw.Recursive = recursive;
        QCOMPARE(walk(ftw, finishAt), expected);
    }

    void attributeMaskLeavesOutHiddenAndFolders()
    {
        make({u"a.ini"_s, u".hidden.ini"_s, u"old.ini/"_s, u"old.ini/d.ini"_s});
        TFtw ftw;
        ftw.Filter = u"*.ini"_s;
        ftw.Attr = faReadOnly;
        QCOMPARE(walk(ftw), QStringList{u"|a.ini"_s});
    }

    void startPathWithTrailingSeparator()
    {
        make({u"a.ini"_s});
        TFtw ftw;
        ftw.Filter = u"*.ini"_s;
        ftw.StartPath = FDir.path() + u'/';
        QCOMPARE(walk(ftw), QStringList{u"|a.ini"_s});
    }

    void missingFolderGivesNothing()
    {
        TFtw ftw;
        ftw.StartPath = FDir.filePath(u"missing"_s);
        QCOMPARE(walk(ftw), QStringList());
    }

    void linkLoopEnds()
    {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a shortcut file on Windows, not a link to a folder");
#endif
        make({u"loop.ini/"_s, u"loop.ini/x.ini"_s});
        QVERIFY(QFile::link(FDir.filePath(u"loop.ini"_s), FDir.filePath(u"loop.ini/back.ini"_s)));
        TFtw ftw;
        ftw.Filter = u"*.ini"_s;
        QCOMPARE(walk(ftw),
                 (QStringList{u"|loop.ini/"_s, u"/loop.ini|back.ini/"_s, u"/loop.ini|x.ini"_s}));
    }

    void missingCallbackRaises()
    {
        TFtw ftw;
        try {
            ftw.Execute();
            QFAIL("no error raised");
        } catch (const EFtwException &e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     u"TFtw : OnProcessFile function has not been assigned"_s);
        }
    }
};

QTEST_GUILESS_MAIN(TestFtw)
#include "tst_ftw.moc"
