#include "platform/filerename.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Renames on real files in a temporary folder.
class TestFileRename : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rename_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("done");
        QTest::addColumn<bool>("inUse");
        QTest::newRow("free name") << u""_s << true << false;
        // A twin that appeared after the caller looked is never overwritten.
        QTest::newRow("a file has the new name") << u"file"_s << false << false;
        QTest::newRow("a folder has the new name") << u"folder"_s << false << false;
        QTest::newRow("source missing") << u"missing"_s << false << false;
#ifdef Q_OS_WIN
        QTest::newRow("held open by another program") << u"held open"_s << false << true;
#endif
    }
    void rename()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, done);
        QFETCH(bool, inUse);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString from = dir.filePath(u"Tower.bgl"_s);
        const QString to = dir.filePath(u"Tower.bg_"_s);
        QFile source(from);
        if (obstacle != u"missing") {
            QVERIFY(source.open(QIODevice::WriteOnly));
            source.write("object");
            // An open file shares reading and writing but not deletion, as the simulator's do.
            if (obstacle != u"held open")
                source.close();
        }
        if (obstacle == u"file") {
            QFile twin(to);
            QVERIFY(twin.open(QIODevice::WriteOnly));
            twin.write("twin");
        }
        if (obstacle == u"folder")
            QVERIFY(QDir(dir.path()).mkdir(u"Tower.bg_"_s));

        const TRenameResult result = RenameFile(from, to);
        source.close();
        QCOMPARE(result.Done, done);
        QCOMPARE(result.InUse, inUse);
        QCOMPARE(result.Reason.isEmpty(), done);
        if (done) {
            QVERIFY(!QFile::exists(from));
            QFile renamed(to);
            QVERIFY(renamed.open(QIODevice::ReadOnly));
            QCOMPARE(renamed.readAll(), QByteArray("object"));
        } else if (obstacle == u"file") {
            QFile twin(to);
            QVERIFY(twin.open(QIODevice::ReadOnly));
            QCOMPARE(twin.readAll(), QByteArray("twin"));
            QVERIFY(QFile::exists(from));
        } else if (obstacle != u"missing") {
            QVERIFY(QFile::exists(from));
        }
    }

    void renameWithin_data()
    {
        QTest::addColumn<QString>("folder"); // of the file, below the temporary folder
        QTest::addColumn<bool>("done");
        QTest::newRow("the folder itself") << u"Scenery"_s << true;
        QTest::newRow("a folder in it") << u"Scenery/sub"_s << true;
        QTest::newRow("a link in it to a folder in it") << u"Scenery/inner"_s << true;
        QTest::newRow("a link in it that leads out") << u"Scenery/out"_s << false;
    }
    // The folder the rename acts on is checked as the system reaches it, so a link swapped in on
    // the way leads nowhere outside.
    void renameWithin()
    {
#ifdef Q_OS_WIN
        QSKIP("symbolic links need rights that Windows users seldom have");
#endif
        QFETCH(QString, folder);
        QFETCH(bool, done);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(u"Scenery/sub"_s) && root.mkpath(u"elsewhere"_s));
        QVERIFY(QFile::link(dir.filePath(u"Scenery/sub"_s), dir.filePath(u"Scenery/inner"_s)));
        QVERIFY(QFile::link(dir.filePath(u"elsewhere"_s), dir.filePath(u"Scenery/out"_s)));
        const QString from = dir.filePath(folder + u"/victim.bgl"_s);
        QFile file(from);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        const TRenameResult result
            = RenameFile(from, dir.filePath(folder + u"/victim.bg_"_s),
                         QFileInfo(dir.filePath(u"Scenery"_s)).canonicalFilePath());
        QCOMPARE(result.Done, done);
        QCOMPARE(QFile::exists(from), !done);
    }
};

QTEST_GUILESS_MAIN(TestFileRename)
#include "tst_filerename.moc"
