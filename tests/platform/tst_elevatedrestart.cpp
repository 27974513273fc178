#include "platform/runasadmin.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

#ifndef Q_OS_WIN
namespace {

// What the session tells programs about its display, and what a restart may pass on.
const QStringList DisplayVariables{u"DISPLAY"_s,          u"XAUTHORITY"_s,
                                   u"WAYLAND_DISPLAY"_s,  u"XDG_RUNTIME_DIR"_s,
                                   u"XDG_SESSION_TYPE"_s, u"QT_QPA_PLATFORM"_s};

bool writeScript(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size()
        && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                               | QFileDevice::ExeOwner);
}

// Sets or, for an empty value, removes an environment variable until the end of the scope.
class TEnvironmentChange
{
public:
    void Set(const QString &name, const QString &value)
    {
        const QByteArray key = name.toLocal8Bit();
        if (!FSaved.contains(key))
            FSaved.insert(
                key, qEnvironmentVariableIsSet(key) ? std::optional(qgetenv(key)) : std::nullopt);
        if (value.isEmpty())
            qunsetenv(key);
        else
            qputenv(key, value.toLocal8Bit());
    }
    ~TEnvironmentChange()
    {
        for (auto it = FSaved.cbegin(); it != FSaved.cend(); ++it) {
            if (it.value())
                qputenv(it.key(), *it.value());
            else
                qunsetenv(it.key());
        }
    }

private:
    QHash<QByteArray, std::optional<QByteArray>> FSaved;
};

} // namespace
#endif

// The restart with administrator rights through pkexec, which is replaced by a stand-in that
// does what pkexec does: it starts the program in root's home folder with an environment
// cleared of everything but its own few variables.
class TestElevatedRestart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsOnTheUsersDisplayInTheSameFolder_data();
    void showsOnTheUsersDisplayInTheSameFolder();
};

void TestElevatedRestart::showsOnTheUsersDisplayInTheSameFolder_data()
{
    // "%home" stands for the user's home folder, "%work" for the working folder.
    QTest::addColumn<QStringList>("session"); // NAME=value
    QTest::addColumn<bool>("homeCookie"); // ~/.Xauthority exists
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QStringList>("passed"); // what the started program gets

    const QString folder = u"Meine Szenerie"_s;
    QTest::newRow("X11 session") << QStringList{u"DISPLAY=:1"_s,
                                                u"XAUTHORITY=/run/user/1000/xauth_Hk2p"_s}
                                 << true << folder
                                 << QStringList{u"DISPLAY=:1"_s,
                                                u"XAUTHORITY=/run/user/1000/xauth_Hk2p"_s};
    QTest::newRow("X11 session, the cookie in the home folder")
        << QStringList{u"DISPLAY=:0"_s} << true << folder
        << QStringList{u"DISPLAY=:0"_s, u"XAUTHORITY=%home/.Xauthority"_s};
    QTest::newRow("X11 session without a cookie file")
        << QStringList{u"DISPLAY=:0"_s} << false << folder << QStringList{u"DISPLAY=:0"_s};
    QTest::newRow("X11 session, cookie file named relative to the working folder")
        << QStringList{u"DISPLAY=:0"_s, u"XAUTHORITY=cookie"_s} << false << folder
        << QStringList{u"DISPLAY=:0"_s, u"XAUTHORITY=%work/cookie"_s};
    // Root reaches the socket by its full path; the user's runtime folder is not root's.
    QTest::newRow("Wayland session")
        << QStringList{u"WAYLAND_DISPLAY=wayland-0"_s, u"XDG_RUNTIME_DIR=/run/user/1000"_s,
                       u"XDG_SESSION_TYPE=wayland"_s}
        << false << folder
        << QStringList{u"WAYLAND_DISPLAY=/run/user/1000/wayland-0"_s,
                       u"XDG_SESSION_TYPE=wayland"_s};
    QTest::newRow("Wayland session with X11 programs and a chosen platform")
        << QStringList{u"WAYLAND_DISPLAY=/run/user/1000/wayland-1"_s,
                       u"XDG_RUNTIME_DIR=/run/user/1000"_s,
                       u"DISPLAY=:0"_s,
                       u"XAUTHORITY=/run/user/1000/.mutter-Xwaylandauth.7QF2"_s,
                       u"XDG_SESSION_TYPE=wayland"_s,
                       u"QT_QPA_PLATFORM=xcb"_s}
        << true << folder
        << QStringList{u"DISPLAY=:0"_s, u"QT_QPA_PLATFORM=xcb"_s,
                       u"WAYLAND_DISPLAY=/run/user/1000/wayland-1"_s,
                       u"XAUTHORITY=/run/user/1000/.mutter-Xwaylandauth.7QF2"_s,
                       u"XDG_SESSION_TYPE=wayland"_s};
    QTest::newRow("no display") << QStringList() << true << folder << QStringList();
    QTest::newRow("program folder with an equals sign")
        << QStringList{u"DISPLAY=:0"_s} << false << u"Szenerie=Hafen"_s
        << QStringList{u"DISPLAY=:0"_s};
}

void TestElevatedRestart::showsOnTheUsersDisplayInTheSameFolder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows restarts through its own consent dialog, not pkexec");
#else
    QFETCH(QStringList, session);
    QFETCH(bool, homeCookie);
    QFETCH(QString, programFolder);
    QFETCH(QStringList, passed);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString home = dir.filePath(u"home"_s);
    const QString rootHome = dir.filePath(u"root"_s);
    const QString work = dir.filePath(u"Flugsimulator"_s);
    const QString program = dir.filePath(programFolder + u"/scenery-configurator"_s);
    const QString arguments = dir.filePath(u"pkexec-arguments"_s);
    const QString started = dir.filePath(u"started"_s);
    for (const QString &folder : {u"bin"_s, home, rootHome, work, programFolder})
        QVERIFY(QDir(dir.path()).mkpath(folder));
    if (homeCookie)
        QVERIFY(QFile(home + u"/.Xauthority"_s).open(QIODevice::WriteOnly));

    const QString pkexec = uR"sh(#!/bin/sh
printf '%s\n' "$@" > '%1.part' && mv '%1.part' '%1'
cd '%2' || exit 127
exec /usr/bin/env -i HOME='%2' USER=root LOGNAME=root SHELL=/bin/sh \
    PATH=/usr/sbin:/usr/bin:/sbin:/bin PKEXEC_UID=%3 /bin/sh -c 'exec "$0" "$@"' "$@"
)sh"_s;
    const QString recorder = uR"sh(#!/bin/sh
{ echo "cwd=$(pwd)"; env; } > '%1.part' && mv '%1.part' '%1'
)sh"_s;
    QVERIFY(writeScript(dir.filePath(u"bin/pkexec"_s),
                        pkexec.arg(arguments, rootHome).arg(::getuid())));
    QVERIFY(writeScript(program, recorder.arg(started)));

    TEnvironmentChange environment;
    for (const QString &name : DisplayVariables)
        environment.Set(name, QString());
    for (const QString &assignment : session)
        environment.Set(assignment.section(u'=', 0, 0), assignment.section(u'=', 1));
    environment.Set(u"HOME"_s, home);
    environment.Set(u"PATH"_s, dir.filePath(u"bin"_s) + u':' + qEnvironmentVariable("PATH"));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work));
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });

    QVERIFY(RunAsAdmin(nullptr, program, QString()));

    // The stand-ins run detached from this process; the bound only keeps a broken start from
    // stopping the test run.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started), 60000);
    QFile record(started);
    QVERIFY(record.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLocal8Bit(record.readAll()).split(u'\n');
    QCOMPARE(lines.value(0), u"cwd="_s + work);
    QStringList display;
    for (const QString &line : lines) {
        if (DisplayVariables.contains(line.section(u'=', 0, 0)))
            display << line;
    }
    display.sort();
    passed.replaceInStrings(u"%home"_s, home).replaceInStrings(u"%work"_s, work);
    QCOMPARE(display, passed);
    // pkexec's own record of the user stays, so that addresses open as that user.
    QVERIFY(lines.contains(u"PKEXEC_UID=%1"_s.arg(::getuid())));
    // pkexec was asked to start a program by its full path.
    QFile asked(arguments);
    QVERIFY(asked.open(QIODevice::ReadOnly));
    QVERIFY(QDir::isAbsolutePath(QString::fromLocal8Bit(asked.readLine()).trimmed()));
#endif
}

QTEST_GUILESS_MAIN(TestElevatedRestart)
#include "tst_elevatedrestart.moc"
