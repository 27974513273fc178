#include "config/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include "tests/support/democontrolfile.h"
#include "tests/support/testfilesystem.h"

#include <cstdio>
#include <limits>
#include <optional>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

void makeOld(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)),
                             QFileDevice::FileModificationTime));
}

QByteArray encoded(QStringConverter::Encoding encoding, const QString &text)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

QString writeError(const QString &path)
{
    return QStringLiteral("In %1 kann nicht geschrieben werden")
        .arg(QDir::toNativeSeparators(path));
}

// The entries of a folder, sorted, links included.
QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A section of `count` keys "k00=v00" and so on, with CR LF.
QByteArray numberedSection(const QByteArray &name, int count)
{
    QByteArray text = '[' + name + "]\r\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i).rightJustified(2, '0');
        text += 'k' + n + "=v" + n + "\r\n";
    }
    return text;
}

// "S/k" for each of the numbered keys, from `first` to `last` (downwards when last < first).
QStringList numberedReads(const QString &section, int first, int last)
{
    QStringList reads;
    for (int i = first;; i += last < first ? -1 : 1) {
        reads.append(section + u"/k"_s + QString::number(i).rightJustified(2, u'0'));
        if (i == last)
            return reads;
    }
}

QStringList numberedValues(int first, int last)
{
    QStringList values;
    for (const QString &read : numberedReads(QString(), first, last))
        values.append(u'v' + read.sliced(2));
    return values;
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsSceneryControlFile();
    void missingFileReadsDefaultsAndStaysMissing();
    void readString_data();
    void readString();
    void readSection_data();
    void readSection();
    void readsInSequence_data();
    void readsInSequence();
    void readSectionValues_data();
    void readSectionValues();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void write_data();
    void write();
    void writesInSeveralSections_data();
    void writesInSeveralSections();
    void writeCreatesWindows1252File();
    void writeOfUnchangedValueLeavesFileUntouched();
    void writeKeepsPermissions();
    void encodingRoundTrip_data();
    void encodingRoundTrip();
    void failingWrite_data();
    void failingWrite();
    void failingSaveIsReported();
    void unsafeName_data();
    void unsafeName();
    void manyWritesRewriteFileOnce();
    void saveFailureKeepsFile_data();
    void saveFailureKeepsFile();
    void saveRefusesLinkOrOtherFile_data();
    void saveRefusesLinkOrOtherFile();
    void saveKeepsOwnerAndMode_data();
    void saveKeepsOwnerAndMode();
    void saveKeepsAccessList();
    void savesTwice();
    void garbage_data();
    void garbage();

private:
    // A control file with these bytes in a fresh temporary folder.
    QString makeFile(QTemporaryDir &dir, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("scenery.ini"));
        writeBytes(path, bytes);
        return path;
    }
};

void TestIniFile::readsSceneryControlFile()
{
    const TIniFile ini(QStringLiteral(SC_TEST_DATA_DIR "/ini/scenery.ini"));
    const QString none = QStringLiteral("<none>");
    QCOMPARE(ini.ReadString(QStringLiteral("Settings"), QStringLiteral("Language"), none),
             QStringLiteral("german"));
    QCOMPARE(ini.ReadString(QStringLiteral("german"), QStringLiteral("ScrollerText"), none),
             QStringLiteral("Willkommen  *  Klick hier für die Homepage  *"));
    QCOMPARE(ini.ReadString(QStringLiteral("german"), QStringLiteral("HTMLCredits"), none), none);
    QCOMPARE(ini.ReadString(QStringLiteral("Scenery"), QStringLiteral("hangar_n"), none),
             QStringLiteral("Hangar north"));

    QStringList keys;
    ini.ReadSection(QStringLiteral("grp_cars"), keys);
    QCOMPARE(keys, QStringList({u"Checked"_s, u"Show"_s, u"car_a"_s, u"car_b"_s}));
    ini.ReadSection(QStringLiteral("sw_season"), keys);
    QCOMPARE(keys, QStringList({u"Checked"_s, u"ground_summer"_s, u"ground_winter"_s}));
    QVERIFY(ini.ReadBool(QStringLiteral("grp_cars"), QStringLiteral("Show"), false));

    const QStringList states = {u"hangar_n"_s, u"tower"_s, u"cars"_s, u"season"_s};
    ini.ReadSection(QStringLiteral("Checked"), keys);
    QCOMPARE(keys, states);
    QList<qint32> values;
    for (const QString &key : states)
        values.append(ini.ReadInteger(QStringLiteral("Checked"), key, 1));
    QCOMPARE(values, QList<qint32>({1, 0, 1, 1}));
}

void TestIniFile::missingFileReadsDefaultsAndStaysMissing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.ini"));
    {
        const TIniFile ini(path);
        QCOMPARE(ini.ReadString(u"Settings"_s, u"Language"_s, u"german"_s), u"german"_s);
        QCOMPARE(ini.ReadInteger(u"Checked"_s, u"tower"_s, 1), 1);
        QStringList keys = {u"stale"_s};
        ini.ReadSection(u"Checked"_s, keys);
        QVERIFY(keys.isEmpty());
    }
    QVERIFY(!QFile::exists(path));
}

void TestIniFile::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString def = QStringLiteral("<default>");
    QTest::newRow("plain") << QByteArray("[A]\r\nk=v\r\n") << u"A"_s << u"k"_s << u"v"_s;
    QTest::newRow("case of ASCII names")
        << QByteArray("[Settings]\r\nLanguage=x\r\n") << u"SETTINGS"_s << u"language"_s << u"x"_s;
    QTest::newRow("case of umlauts") << QByteArray("[\xC4rger]\r\n\xFC"
                                                   "ber=1\r\n")
                                     << u"ärger"_s << u"ÜBER"_s << u"1"_s;
    QTest::newRow("blanks around names and value")
        << QByteArray(" \t[ A\t] \r\n \tk \t= \tv w\t \r\n") << u"\tA "_s << u" k"_s << u"v w"_s;
    QTest::newRow("other white space is part of the value")
        << QByteArray("[A]\r\nk=\x0Bv\x0C\r\n") << u"A"_s << u"k"_s << u"\u000Bv\u000C"_s;
    QTest::newRow("double quotes removed")
        << QByteArray("[A]\r\nk=\" v \"\r\n") << u"A"_s << u"k"_s << u" v "_s;
    QTest::newRow("single quotes removed")
        << QByteArray("[A]\r\nk='v'\r\n") << u"A"_s << u"k"_s << u"v"_s;
    QTest::newRow("only one pair removed")
        << QByteArray("[A]\r\nk=\"\"v\"\"\r\n") << u"A"_s << u"k"_s << u"\"v\""_s;
    QTest::newRow("quote pair alone")
        << QByteArray("[A]\r\nk=\"\"\r\n") << u"A"_s << u"k"_s << QString(u""_s);
    QTest::newRow("single quote char stays")
        << QByteArray("[A]\r\nk=\"\r\n") << u"A"_s << u"k"_s << u"\""_s;
    QTest::newRow("quote at one end stays")
        << QByteArray("[A]\r\nk=\"v\r\n") << u"A"_s << u"k"_s << u"\"v"_s;
    QTest::newRow("mixed quotes stay")
        << QByteArray("[A]\r\nk=\"v'\r\n") << u"A"_s << u"k"_s << u"\"v'"_s;
    QTest::newRow("empty value is not the default")
        << QByteArray("[A]\r\nk=\r\n") << u"A"_s << u"k"_s << u""_s;
    QTest::newRow("missing key") << QByteArray("[A]\r\nk=v\r\n") << u"A"_s << u"j"_s << def;
    QTest::newRow("missing section") << QByteArray("[A]\r\nk=v\r\n") << u"B"_s << u"k"_s << def;
    QTest::newRow("value after first equals sign")
        << QByteArray("[A]\r\neq=a=b=c\r\n") << u"A"_s << u"eq"_s << u"a=b=c"_s;
    QTest::newRow("empty key name") << QByteArray("[A]\r\n=v\r\n") << u"A"_s << u""_s << u"v"_s;
    QTest::newRow("comment never found")
        << QByteArray("[A]\r\n;k=c\r\n  ;j=c\r\n") << u"A"_s << u";k"_s << def;
    QTest::newRow("commented key not found")
        << QByteArray("[A]\r\n ;k=c\r\n") << u"A"_s << u"k"_s << def;
    QTest::newRow("hash starts no comment")
        << QByteArray("[A]\r\n#k=h\r\n") << u"A"_s << u"#k"_s << u"h"_s;
    QTest::newRow("no inline comment")
        << QByteArray("[A]\r\nk=v ; x\r\n") << u"A"_s << u"k"_s << u"v ; x"_s;
    QTest::newRow("text after header")
        << QByteArray("[A] rest\r\nk=v\r\n") << u"A"_s << u"k"_s << u"v"_s;
    QTest::newRow("unclosed header belongs to section before")
        << QByteArray("[A]\r\n[B\r\nk=v\r\n") << u"A"_s << u"k"_s << u"v"_s;
    QTest::newRow("lines before first header")
        << QByteArray("k=top\r\n[A]\r\nk=v\r\n") << u""_s << u"k"_s << u"top"_s;
    QTest::newRow("first section of a name wins")
        << QByteArray("[A]\r\nk=1\r\n[a]\r\nk=2\r\nj=3\r\n") << u"A"_s << u"j"_s << def;
    QTest::newRow("first key of a name wins")
        << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << u"A"_s << u"k"_s << u"1"_s;
    QTest::newRow("LF and lone CR end lines")
        << QByteArray("[A]\nj=1\rk=2") << u"A"_s << u"k"_s << u"2"_s;
    QTest::newRow("3000 characters cut to 2047")
        << QByteArray("[A]\r\nk=" + QByteArray(3000, 'x') + "\r\n") << u"A"_s << u"k"_s
        << QString(2047, u'x');
    QTest::newRow("cut never splits a surrogate pair")
        << QByteArray("\xEF\xBB\xBF[A]\r\nk=" + QByteArray(2046, 'x') + "\xF0\x9F\x98\x80y\r\n")
        << u"A"_s << u"k"_s << QString(2046, u'x');
}

void TestIniFile::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const TIniFile ini(makeFile(dir, content));
    QCOMPARE(ini.ReadString(section, key, QStringLiteral("<default>")), expected);
}

void TestIniFile::readSection_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("file order, spelling, duplicates")
        << QByteArray("[S]\r\nzeta=1\r\nAlpha=2\r\n  mid \t= 3\r\nalpha=4\r\n[T]\r\nx=1\r\n")
        << u"s"_s << QStringList({u"zeta"_s, u"Alpha"_s, u"mid"_s, u"alpha"_s});
    QTest::newRow("comments and lines without equals sign left out")
        << QByteArray("[S]\r\n; c=1\r\nplain\r\n\r\n[unclosed\r\n#h=1\r\n=e\r\n") << u"S"_s
        << QStringList({u"#h"_s, u""_s});
    QTest::newRow("only the first section of a name")
        << QByteArray("[S]\r\na=1\r\n[T]\r\nt=1\r\n[s]\r\nb=2\r\n") << u"S"_s
        << QStringList({u"a"_s});
    QTest::newRow("section without keys")
        << QByteArray("[S]\r\n[T]\r\nt=1\r\n") << u"S"_s << QStringList();
    QTest::newRow("missing section") << QByteArray("[S]\r\na=1\r\n") << u"X"_s << QStringList();
    QTest::newRow("header inside value is no header")
        << QByteArray("[S]\r\na=[T]\r\n") << u"S"_s << QStringList({u"a"_s});
}

void TestIniFile::readSection()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    const TIniFile ini(makeFile(dir, content));
    QStringList keys = {u"left over"_s};
    ini.ReadSection(section, keys);
    QCOMPARE(keys, expected);
}

// One accessor answers a series of reads, as loading asks them: keys mostly in file order, sections
// in turn. Later sections and keys of a name that is already there are never the ones read.
void TestIniFile::readsInSequence_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("reads"); // "section/key"
    QTest::addColumn<QStringList>("expected");

    const QString def = QStringLiteral("<default>");
    QTest::newRow("key names in file order, a duplicate among them")
        << QByteArray("[S]\r\na=1\r\nb=2\r\nA=3\r\nc=4\r\n")
        << QStringList{u"S/a"_s, u"S/b"_s, u"S/A"_s, u"S/c"_s}
        << QStringList{u"1"_s, u"2"_s, u"1"_s, u"4"_s};
    QTest::newRow("sections in file order, a duplicate among them")
        << QByteArray("[S]\r\nk=1\r\n[T]\r\nk=2\r\n[s]\r\nk=3\r\nj=5\r\n[U]\r\nk=4\r\n")
        << QStringList{u"S/k"_s, u"T/k"_s, u"s/k"_s, u"s/j"_s, u"U/k"_s}
        << QStringList{u"1"_s, u"2"_s, u"1"_s, def, u"4"_s};
    QTest::newRow("umlauts of both cases in many sections")
        << QByteArray("[\xC4]\r\n\xFC=1\r\n\xDC=2\r\n[\xE4]\r\n\xFC=3\r\nx=4\r\n[A]\r\n\xDC=5\r\n"
                      "[a]\r\n\xFC=6\r\n")
        << QStringList{u"ä/ü"_s, u"Ä/Ü"_s, u"ä/x"_s, u"a/ü"_s, u"A/x"_s, u"ä/ü"_s}
        << QStringList{u"1"_s, u"1"_s, def, u"5"_s, def, u"1"_s};
    QTest::newRow("key of another section")
        << QByteArray("[A]\r\nk=1\r\n[B]\r\nj=2\r\n[C]\r\nk=3\r\n")
        << QStringList{u"A/k"_s, u"B/k"_s, u"C/k"_s, u"B/j"_s}
        << QStringList{u"1"_s, def, u"3"_s, u"2"_s};
    QTest::newRow("lines before the first header and an empty header")
        << QByteArray("k=top\r\n[]\r\nk=empty\r\nj=1\r\n") << QStringList{u"/k"_s, u"/j"_s, u"/k"_s}
        << QStringList{u"top"_s, def, u"top"_s};
    // States are looked up in another order than they are listed.
    QTest::newRow("large section read backwards")
        << numberedSection("S", 40) << numberedReads(u"S"_s, 39, 0) << numberedValues(39, 0);
    QTest::newRow("large section, jumps and a restart at the top")
        << numberedSection("S", 40) + "[T]\r\nk05=t\r\n"
        << numberedReads(u"S"_s, 2, 3) + numberedReads(u"S"_s, 30, 31) + QStringList{u"T/k05"_s}
            + numberedReads(u"S"_s, 5, 6) + QStringList{u"S/x"_s}
        << numberedValues(2, 3) + numberedValues(30, 31) + QStringList{u"t"_s}
            + numberedValues(5, 6) + QStringList{def};
    QTest::newRow("large section, a later key of a name read behind its neighbours")
        << numberedSection("S", 40) + "K05=later\r\nk39=later\r\n"
        << numberedReads(u"S"_s, 38, 39) + QStringList{u"S/K05"_s, u"S/k39"_s, u"S/k05"_s}
        << numberedValues(38, 39) + QStringList{u"v05"_s, u"v39"_s, u"v05"_s};
    QTest::newRow("two large sections of the same key names")
        << numberedSection("S", 40) + numberedSection("T", 40) << numberedReads(u"T"_s, 39, 0)
        << numberedValues(39, 0);
    QTest::newRow("small section, a later key of a name behind the one read")
        << QByteArray("[S]\r\na=1\r\nb=2\r\nc=3\r\nB=4\r\n")
        << QStringList{u"S/c"_s, u"S/B"_s, u"S/a"_s, u"S/b"_s}
        << QStringList{u"3"_s, u"2"_s, u"1"_s, u"2"_s};
}

void TestIniFile::readsInSequence()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, reads);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    const TIniFile ini(makeFile(dir, content));
    QStringList values;
    for (const QString &read : reads) {
        const qsizetype slash = read.indexOf(u'/');
        values.append(
            ini.ReadString(read.first(slash), read.sliced(slash + 1), QStringLiteral("<default>")));
    }
    QCOMPARE(values, expected);
}

// Keys and values of a section in one walk give what ReadSection and ReadString give, also after
// writes that changed a value, added a key and added a section.
void TestIniFile::readSectionValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("writes"); // "section/key=value"

    QTest::newRow("later keys of a name, small section")
        << QByteArray("[S]\r\na=1\r\nb=\"2\"\r\nA=3\r\n  B \t= 4\r\n=e\r\n=f\r\n") << u"s"_s
        << QStringList();
    QTest::newRow("later keys of a name, large section")
        << numberedSection("S", 40) + "K05=later\r\nk39=later\r\nk05=again\r\n"
        << u"S"_s << QStringList();
    QTest::newRow("umlauts of both cases")
        << QByteArray("[\xC4]\r\n\xFC=1\r\n\xDC=2\r\nx=3\r\n") << u"ä"_s << QStringList();
    QTest::newRow("only the first section of a name")
        << QByteArray("[S]\r\na=1\r\n[s]\r\nb=2\r\n") << u"S"_s << QStringList();
    QTest::newRow("missing section") << QByteArray("[S]\r\na=1\r\n") << u"T"_s << QStringList();
    QTest::newRow("3000 characters cut to 2047")
        << QByteArray("[S]\r\nk=" + QByteArray(3000, 'x') + "\r\nK=y\r\n") << u"S"_s
        << QStringList();
    QTest::newRow("after writes") << QByteArray("[S]\r\na=1\r\nA=2\r\nb=3\r\n") << u"S"_s
                                  << QStringList{u"S/a=changed"_s, u"S/c=added"_s, u"T/t=new"_s,
                                                 u"S/B=4"_s};
    QTest::newRow("section added by a write")
        << QByteArray("[S]\r\na=1\r\n") << u"T"_s
        << QStringList{u"T/t=new"_s, u"T/u=\"quoted\""_s, u"T/T=again"_s};
}

void TestIniFile::readSectionValues()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QStringList, writes);

    QTemporaryDir dir;
    TIniFile ini(makeFile(dir, content));
    for (const QString &write : writes) {
        const qsizetype slash = write.indexOf(u'/');
        const qsizetype equals = write.indexOf(u'=');
        ini.WriteString(write.first(slash), write.sliced(slash + 1, equals - slash - 1),
                        write.sliced(equals + 1));
    }
    QStringList keys = {u"left over"_s};
    QStringList values = {u"left over"_s};
    ini.ReadSectionValues(section, keys, values);
    QStringList expectedKeys;
    ini.ReadSection(section, expectedKeys);
    QStringList expectedValues;
    for (const QString &key : std::as_const(expectedKeys))
        expectedValues.append(ini.ReadString(section, key, QString()));
    QCOMPARE(keys, expectedKeys);
    QCOMPARE(values, expectedValues);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<qint32>("expected");

    const qint32 def = -77;
    QTest::newRow("1") << QByteArray("k=1") << 1;
    QTest::newRow("-1") << QByteArray("k=-1") << -1;
    QTest::newRow("+7") << QByteArray("k=+7") << 7;
    QTest::newRow("blanks around value") << QByteArray("k= 5 ") << 5;
    QTest::newRow("quoted") << QByteArray("k=\"12\"") << 12;
    QTest::newRow("blanks inside quotes") << QByteArray("k=\" 5 \"") << def;
    QTest::newRow("0x1") << QByteArray("k=0x1") << 1;
    QTest::newRow("0X1F") << QByteArray("k=0X1F") << 31;
    QTest::newRow("0xFFFFFFFF wraps") << QByteArray("k=0xFFFFFFFF") << -1;
    QTest::newRow("0x with 9 digits") << QByteArray("k=0x100000000") << def;
    QTest::newRow("0x alone") << QByteArray("k=0x") << def;
    QTest::newRow("0x-1") << QByteArray("k=0x-1") << def;
    QTest::newRow("0x1g") << QByteArray("k=0x1g") << def;
    QTest::newRow("$10") << QByteArray("k=$10") << 16;
    QTest::newRow("-$10") << QByteArray("k=-$10") << -16;
    QTest::newRow("$FFFFFFFF wraps") << QByteArray("k=$FFFFFFFF") << -1;
    QTest::newRow("$ with leading zeros") << QByteArray("k=$000000001") << 1;
    QTest::newRow("$ alone") << QByteArray("k=$") << def;
    QTest::newRow("abc") << QByteArray("k=abc") << def;
    QTest::newRow("12abc") << QByteArray("k=12abc") << def;
    QTest::newRow("1.5") << QByteArray("k=1.5") << def;
    QTest::newRow("sign alone") << QByteArray("k=-") << def;
    QTest::newRow("two signs") << QByteArray("k=--1") << def;
    QTest::newRow("empty value") << QByteArray("k=") << def;
    QTest::newRow("missing key") << QByteArray("other=1") << def;
    QTest::newRow("2147483647") << QByteArray("k=2147483647") << std::numeric_limits<qint32>::max();
    QTest::newRow("2147483648") << QByteArray("k=2147483648") << def;
    QTest::newRow("-2147483648") << QByteArray("k=-2147483648")
                                 << std::numeric_limits<qint32>::min();
    QTest::newRow("-2147483649") << QByteArray("k=-2147483649") << def;
    QTest::newRow("many digits") << QByteArray("k=00000000000000000000000000012") << 12;
}

void TestIniFile::readInteger()
{
    QFETCH(QByteArray, line);
    QFETCH(qint32, expected);

    QTemporaryDir dir;
    const TIniFile ini(makeFile(dir, "[A]\r\n" + line + "\r\n"));
    QCOMPARE(ini.ReadInteger(u"A"_s, u"k"_s, -77), expected);
}

void TestIniFile::readBool_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");

    QTest::newRow("0") << QByteArray("k=0") << true << false;
    QTest::newRow("1") << QByteArray("k=1") << false << true;
    QTest::newRow("2") << QByteArray("k=2") << false << true;
    QTest::newRow("no, default true") << QByteArray("k=no") << true << true;
    QTest::newRow("no, default false") << QByteArray("k=no") << false << false;
    QTest::newRow("empty, default true") << QByteArray("k=") << true << true;
    QTest::newRow("missing, default false") << QByteArray("j=1") << false << false;
}

void TestIniFile::readBool()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);

    QTemporaryDir dir;
    const TIniFile ini(makeFile(dir, "[A]\r\n" + line + "\r\n"));
    QCOMPARE(ini.ReadBool(u"A"_s, u"k"_s, defaultValue), expected);
}

void TestIniFile::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("key in place keeps its spelling and spacing")
        << QByteArray("[Settings]\r\n  Language \t= german\r\nURL=x\r\n") << u"settings"_s
        << u"LANGUAGE"_s << u"english"_s
        << QByteArray("[Settings]\r\n  Language \t= english\r\nURL=x\r\n");
    // Dropping the tab would make the file start with the bytes of a UTF-16 byte-order mark.
    QTest::newRow("first line keeps the blanks that hide a byte-order mark")
        << QByteArray("\t\xFF\xFEname=1\r\n") << QString() << u"\u00FF\u00FEname"_s << u"2"_s
        << QByteArray("\t\xFF\xFEname=2\r\n");
    QTest::newRow("other lines kept byte for byte")
        << QByteArray("; head \r\n\r\n[A] x\r\n  k1\t=  1 \r\nnoequals\r\n#h=1\r\n[B]\r\nk=old\r\n")
        << u"B"_s << u"k"_s << u"new"_s
        << QByteArray(
               "; head \r\n\r\n[A] x\r\n  k1\t=  1 \r\nnoequals\r\n#h=1\r\n[B]\r\nk=new\r\n");
    QTest::newRow("first of duplicate keys")
        << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << u"A"_s << u"k"_s << u"9"_s
        << QByteArray("[A]\r\nk=9\r\nK=2\r\n");
    QTest::newRow("first of duplicate sections")
        << QByteArray("[A]\r\nk=1\r\n[a]\r\nk=2\r\n") << u"a"_s << u"j"_s << u"3"_s
        << QByteArray("[A]\r\nk=1\r\nj=3\r\n[a]\r\nk=2\r\n");
    QTest::newRow("new key after last key line")
        << QByteArray("[A]\r\nk=1\r\nplain\r\n\r\n; note\r\n[B]\r\nx=1\r\n") << u"A"_s << u"New"_s
        << u"2"_s << QByteArray("[A]\r\nk=1\r\nNew=2\r\nplain\r\n\r\n; note\r\n[B]\r\nx=1\r\n");
    QTest::newRow("new key in section without keys")
        << QByteArray("[A]\r\n;k=1\r\n[B]\r\n") << u"A"_s << u"k"_s << u"2"_s
        << QByteArray("[A]\r\nk=2\r\n;k=1\r\n[B]\r\n");
    QTest::newRow("new section at end")
        << QByteArray("[A]\r\nk=1\r\n\r\n") << u"Checked"_s << u"tower"_s << u"0"_s
        << QByteArray("[A]\r\nk=1\r\n\r\n[Checked]\r\ntower=0\r\n");
    QTest::newRow("new section after missing final line break")
        << QByteArray("[A]\r\nk=1") << u"B"_s << u"n"_s << u"2"_s
        << QByteArray("[A]\r\nk=1\r\n[B]\r\nn=2\r\n");
    QTest::newRow("new key after missing final line break")
        << QByteArray("[A]\r\nk=1") << u"A"_s << u"n"_s << u"2"_s
        << QByteArray("[A]\r\nk=1\r\nn=2\r\n");
    QTest::newRow("changed last line keeps missing line break")
        << QByteArray("[A]\r\nk=1") << u"A"_s << u"k"_s << u"2"_s << QByteArray("[A]\r\nk=2");
    QTest::newRow("new lines take the first line break (LF)")
        << QByteArray("[A]\nk=1\r\n") << u"B"_s << u"n"_s << u"2"_s
        << QByteArray("[A]\nk=1\r\n[B]\nn=2\n");
    QTest::newRow("new lines take the first line break (CR)")
        << QByteArray("[A]\rk=1\r") << u"A"_s << u"n"_s << u"2"_s << QByteArray("[A]\rk=1\rn=2\r");
    QTest::newRow("value trimmed, line breaks become spaces")
        << QByteArray("[A]\r\n") << u"A"_s << u"k"_s << u" \ta\r\nb\nc\rd \t"_s
        << QByteArray("[A]\r\nk=a b c d\r\n");
    QTest::newRow("names trimmed") << QByteArray("[A]\r\nk=1\r\n") << u" A\t"_s << u"\tn "_s
                                   << u"2"_s << QByteArray("[A]\r\nk=1\r\nn=2\r\n");
    QTest::newRow("umlaut key found ignoring case")
        << QByteArray("[Gruppen]\r\n\xC4rger=1\r\n") << u"GRUPPEN"_s << u"ärger"_s << u"2"_s
        << QByteArray("[Gruppen]\r\n\xC4rger=2\r\n");
    QTest::newRow("Windows-1252 characters, others become ?")
        << QByteArray("[A]\r\n") << u"A"_s << u"k"_s << u"für € ✈ 😀"_s
        << QByteArray("[A]\r\nk=f\xFCr \x80 ? ?\r\n");
    QTest::newRow("undefined, invalid and NUL bytes kept")
        << QByteArrayLiteral("[A]\r\nraw=\x81\x8D\x8F\x90\x9D\xFF\0x\r\nk=1\r\n") << u"A"_s
        << u"k"_s << u"2"_s
        << QByteArrayLiteral("[A]\r\nraw=\x81\x8D\x8F\x90\x9D\xFF\0x\r\nk=2\r\n");
    QTest::newRow("quoted value replaced") << QByteArray("[A]\r\nk=\"a\"\r\n") << u"A"_s << u"k"_s
                                           << u"b"_s << QByteArray("[A]\r\nk=b\r\n");
    QTest::newRow("key before first header") << QByteArray("top=1\r\n[A]\r\n") << u""_s << u"TOP"_s
                                             << u"2"_s << QByteArray("top=2\r\n[A]\r\n");
    QTest::newRow("section with empty name")
        << QByteArray("; top\r\n[A]\r\n") << u""_s << u"n"_s << u"1"_s
        << QByteArray("; top\r\n[A]\r\n[]\r\nn=1\r\n");
    // Only the mark at the very start of a file is one; elsewhere U+FEFF belongs to the name.
    QTest::newRow("U+FEFF starting a section name in UTF-8")
        << QByteArray("[A]\r\nk=\xC3\xA4\r\n[\xEF\xBB\xBF"
                      "B]\r\nn=1\r\n")
        << u"\uFEFFB"_s << u"n"_s << u"2"_s
        << QByteArray("[A]\r\nk=\xC3\xA4\r\n[\xEF\xBB\xBF"
                      "B]\r\nn=2\r\n");
    QTest::newRow("U+FEFF starting a line in UTF-8")
        << QByteArray("[A]\r\nx=\xC3\xA4\r\n\xEF\xBB\xBF"
                      "k=1\r\n")
        << u"A"_s << u"\uFEFFk"_s << u"2"_s
        << QByteArray("[A]\r\nx=\xC3\xA4\r\n\xEF\xBB\xBF"
                      "k=2\r\n");
    QTest::newRow("key behind unclosed header")
        << QByteArray("[A]\r\n[B\r\nk=1\r\n") << u"A"_s << u"k"_s << u"2"_s
        << QByteArray("[A]\r\n[B\r\nk=2\r\n");

    const QByteArray bom("\xFF\xFE");
    QTest::newRow("odd last byte of UTF-16 stays last")
        << QByteArray(bom + encoded(QStringConverter::Utf16LE, u"[A]\r\nk=1"_s) + 'Z') << u"B"_s
        << u"n"_s << u"2"_s
        << QByteArray(bom + encoded(QStringConverter::Utf16LE, u"[A]\r\nk=1\r\n[B]\r\nn=2\r\n"_s)
                      + 'Z');
}

void TestIniFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    const QString path = makeFile(dir, before);
    QString readBack;
    {
        TIniFile ini(path);
        ini.WriteString(section, key, value);
        readBack = ini.ReadString(section, key, QString());
        ini.UpdateFile();
    }
    QCOMPARE(readBytes(path), after);
    // The accessor's copy reads what a new accessor reads from the file.
    const TIniFile reopened(path);
    QCOMPARE(reopened.ReadString(section, key, QStringLiteral("<default>")), readBack);
}

// Writes that add and change lines in several sections, in turn: each line lands where a single
// write would put it, the accessor reads back what it wrote, and so does a new one.
void TestIniFile::writesInSeveralSections_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("writes"); // "section/key=value"
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new and changed lines, the last line without a break")
        << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=1")
        << QStringList{u"A/n=2"_s, u"A/m=3"_s, u"A/n=4"_s, u"B/b=5"_s, u"C/c=6"_s,
                       u"B/x=7"_s, u"A/a=8"_s, u"C/d=9"_s, u"B/B=10"_s}
        << QByteArray("[A]\r\na=8\r\nn=4\r\nm=3\r\n\r\n[B]\r\nb=10\r\nx=7\r\n[C]\r\nc=6\r\n"
                      "d=9\r\n");
    QTest::newRow("new section in an empty file, then a second one")
        << QByteArray() << QStringList{u"A/a=1"_s, u"B/b=2"_s, u"A/c=3"_s, u"A/a=4"_s}
        << QByteArray("[A]\r\na=4\r\nc=3\r\n[B]\r\nb=2\r\n");
    QStringList manyWrites{u"S/k15=x"_s};
    QByteArray added;
    for (int i = 0; i < 20; ++i) {
        manyWrites.append(u"S/n%1=%1"_s.arg(i));
        added += "n" + QByteArray::number(i) + '=' + QByteArray::number(i) + "\r\n";
    }
    manyWrites += QStringList{u"S/k03=y"_s, u"S/n5=z"_s, u"S/N19=w"_s};
    added.replace("n5=5", "n5=z").replace("n19=19", "n19=w");
    QTest::newRow("many new keys in a large section")
        << numberedSection("S", 20) + "; end\n[T]\r\n"
        << manyWrites
        << QByteArray(
               numberedSection("S", 20).replace("k15=v15", "k15=x").replace("k03=v03", "k03=y")
               + added + "; end\n[T]\r\n");
}

void TestIniFile::writesInSeveralSections()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, writes);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    const QString path = makeFile(dir, before);
    QMap<QString, QString> expected; // "section/key" to the value written last
    const auto read = [](const TIniFile &ini, const QString &entry) {
        const qsizetype slash = entry.indexOf(u'/');
        return ini.ReadString(entry.first(slash), entry.sliced(slash + 1), u"<default>"_s);
    };
    {
        TIniFile ini(path);
        for (const QString &write : writes) {
            const qsizetype slash = write.indexOf(u'/');
            const qsizetype equals = write.indexOf(u'=');
            const QString key = write.sliced(slash + 1, equals - slash - 1);
            ini.WriteString(write.first(slash), key, write.sliced(equals + 1));
            expected[write.first(equals).toLower()] = write.sliced(equals + 1);
        }
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(read(ini, it.key()), it.value());
        ini.UpdateFile();
    }
    QCOMPARE(readBytes(path), after);
    const TIniFile reopened(path);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(read(reopened, it.key()), it.value());
}

void TestIniFile::writeCreatesWindows1252File()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.ini"));
    {
        TIniFile ini(path);
        ini.WriteString(u"Settings"_s, u"Language"_s, u"german"_s);
        ini.WriteInteger(u"Checked"_s, u"tower"_s, -5);
        ini.WriteBool(u"Checked"_s, u"cars"_s, true);
        ini.WriteString(u"Settings"_s, u"Title"_s, u"Grüße"_s);
    }
    QCOMPARE(readBytes(path),
             QByteArray("[Settings]\r\nLanguage=german\r\nTitle=Gr\xFC\xDF"
                        "e\r\n[Checked]\r\ntower=-5\r\ncars=1\r\n"));
}

void TestIniFile::writeOfUnchangedValueLeavesFileUntouched()
{
    QTemporaryDir dir;
    const QByteArray content("[Settings]\nLanguage = german\nQuoted=\"x\"\nX=1");
    const QString path = makeFile(dir, content);
    makeOld(path);
    const QString identity = FileStamp(path);
    {
        TIniFile ini(path);
        ini.WriteString(u"settings"_s, u"language"_s, u" german "_s);
        ini.WriteString(u"Settings"_s, u"Quoted"_s, u"\"x\""_s);
        ini.WriteInteger(u"Settings"_s, u"X"_s, 1);
        ini.UpdateFile();
    }
    QCOMPARE(readBytes(path), content);
    QCOMPARE(FileStamp(path), identity);
}

void TestIniFile::writeKeepsPermissions()
{
#ifdef Q_OS_WIN
    QSKIP("Windows files have no owner, group and other permissions");
#endif
    QTemporaryDir dir;
    const QString path = makeFile(dir, "[A]\r\nk=1\r\n");
    // The "user" flags depend on who runs the test; owner, group and others are the file's own.
    const QFileDevice::Permissions userFlags
        = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    const QFileDevice::Permissions permissions
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(path, permissions));
    {
        TIniFile ini(path);
        ini.WriteString(u"A"_s, u"k"_s, u"2"_s);
    }
    QCOMPARE(readBytes(path), QByteArray("[A]\r\nk=2\r\n"));
    QCOMPARE(QFile::permissions(path) & ~userFlags, permissions);
}

void TestIniFile::encodingRoundTrip_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("bom");
    QTest::addColumn<QString>("lineBreak");

    // Windows-1252 agrees with Latin-1 on the umlauts used here.
    QTest::newRow("Windows-1252, CR LF")
        << int(QStringConverter::Latin1) << QByteArray() << u"\r\n"_s;
    QTest::newRow("UTF-16LE with BOM, CR LF")
        << int(QStringConverter::Utf16LE) << QByteArray("\xFF\xFE") << u"\r\n"_s;
    QTest::newRow("UTF-16BE with BOM, LF")
        << int(QStringConverter::Utf16BE) << QByteArray("\xFE\xFF") << u"\n"_s;
    QTest::newRow("UTF-8 with BOM, LF")
        << int(QStringConverter::Utf8) << QByteArray("\xEF\xBB\xBF") << u"\n"_s;
    QTest::newRow("UTF-8 without BOM, CR LF")
        << int(QStringConverter::Utf8) << QByteArray() << u"\r\n"_s;
}

void TestIniFile::encodingRoundTrip()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, bom);
    QFETCH(QString, lineBreak);

    const auto file = [&](QStringList lines) {
        const auto enc = QStringConverter::Encoding(encoding);
        return bom + encoded(enc, lines.join(lineBreak) + lineBreak);
    };
    QTemporaryDir dir;
    const QString path = makeFile(
        dir,
        file({u"[Szenerie]"_s, u"hangar=Hangar Nord"_s, u"Tür=Tür; Größe"_s, u""_s, u"[Ende]"_s}));
    {
        TIniFile ini(path);
        QCOMPARE(ini.ReadString(u"SZENERIE"_s, u"TÜR"_s, QString()), u"Tür; Größe"_s);
        ini.WriteString(u"Szenerie"_s, u"hangar"_s, u"Hangar Süd"_s);
        ini.WriteString(u"Szenerie"_s, u"Öl"_s, u"Ölfass"_s);
        ini.WriteString(u"Grüße"_s, u"ä"_s, u"ö"_s);
    }
    QCOMPARE(readBytes(path),
             file({u"[Szenerie]"_s, u"hangar=Hangar Süd"_s, u"Tür=Tür; Größe"_s, u"Öl=Ölfass"_s,
                   u""_s, u"[Ende]"_s, u"[Grüße]"_s, u"ä=ö"_s}));
    const TIniFile reopened(path);
    QCOMPARE(reopened.ReadString(u"grüße"_s, u"Ä"_s, QString()), u"ö"_s);
}

void TestIniFile::failingWrite_data()
{
    QTest::addColumn<QString>("kind");

    QTest::newRow("folder missing") << u"folder missing"_s;
    QTest::newRow("path is a folder") << u"path is a folder"_s;
    QTest::newRow("path is a pipe") << u"path is a pipe"_s;
    QTest::newRow("read-only file") << u"read-only file"_s;
    QTest::newRow("read-only folder") << u"read-only folder"_s;
    QTest::newRow("file that cannot be read") << u"unreadable file"_s;
}

void TestIniFile::failingWrite()
{
    QFETCH(QString, kind);

    QTemporaryDir dir;
    const QByteArray content("[Settings]\r\nLanguage=german\r\n");
    QString path = dir.filePath(QStringLiteral("scenery.ini"));
    QString folder = dir.path();
    if (kind == u"folder missing") {
        path = dir.filePath(QStringLiteral("missing/scenery.ini"));
    } else if (kind == u"path is a folder") {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("scenery.ini")));
    } else if (kind == u"path is a pipe") {
#ifdef Q_OS_WIN
        QSKIP("Windows folders hold no pipes");
#else
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    } else {
#ifdef Q_OS_WIN
        // Windows keeps a read-only mark on files only, and has no unreadable mode.
        if (kind != u"read-only file")
            QSKIP("Windows has no such permission");
#else
        if (!PermissionBitsApply())
            QSKIP("Permissions do not stop root from writing");
#endif
        writeBytes(path, content);
        if (kind == u"read-only file")
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        else if (kind == u"read-only folder")
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        else
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
    const QString before = FileStamp(path);
    {
        TIniFile ini(path);
        // Asked before, the accessor foretells the error.
        QCOMPARE(ini.WriteError(u"Settings"_s, u"Language"_s), writeError(path));
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                ini.WriteString(u"Settings"_s, u"Language"_s, u"english"_s);
                QFAIL("The write did not fail");
            } catch (const EIniFileException &error) {
                QCOMPARE(error.Message(), writeError(path));
                QCOMPARE(QString::fromStdString(error.what()), writeError(path));
            }
        }
        ini.UpdateFile(); // nothing is pending
    }
    QCOMPARE(FileStamp(path), before);
    if (QFile::exists(path) && QFileInfo(path).isFile()) {
        QVERIFY(QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(readBytes(path), content);
    }
}

void TestIniFile::failingSaveIsReported()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("scenery"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/scenery.ini");
    writeBytes(path, "[A]\r\nk=1\r\n");
    {
        TIniFile ini(path);
        ini.WriteString(u"A"_s, u"k"_s, u"2"_s);
        QVERIFY(QDir(folder).removeRecursively());
        try {
            ini.UpdateFile();
            QFAIL("The failed save was not reported");
        } catch (const EIniFileException &error) {
            QCOMPARE(error.Message(), writeError(path));
        }
    }
    QVERIFY(!QFile::exists(path));
}

void TestIniFile::unsafeName_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("detail");

    QTest::newRow("section with ]") << u"a]b"_s << u"k"_s << u"Ungültiger Abschnittsname: „a]b“"_s;
    QTest::newRow("section with line break")
        << u"a\nb"_s << u"k"_s << u"Ungültiger Abschnittsname: „a\\nb“"_s;
    QTest::newRow("key with =") << u"A"_s << u"a=b"_s << u"Ungültiger Schlüsselname: „a=b“"_s;
    QTest::newRow("key with line break")
        << u"A"_s << u"a\r\nb"_s << u"Ungültiger Schlüsselname: „a\\r\\nb“"_s;
    QTest::newRow("key starting with [")
        << u"A"_s << u"[k]"_s << u"Ungültiger Schlüsselname: „[k]“"_s;
    QTest::newRow("key starting with ;")
        << u"A"_s << u" ;k"_s << u"Ungültiger Schlüsselname: „ ;k“"_s;
}

void TestIniFile::unsafeName()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, detail);

    QTemporaryDir dir;
    const QByteArray content("[A]\r\nk=1\r\n");
    const QString path = makeFile(dir, content);
    {
        TIniFile ini(path);
        QCOMPARE(ini.WriteError(section, key), writeError(path) + u'\n' + detail);
        QCOMPARE(ini.WriteError(u"A"_s, u"k"_s), QString());
        try {
            ini.WriteString(section, key, u"v"_s);
            QFAIL("The unsafe name was written");
        } catch (const EIniFileException &error) {
            QCOMPARE(error.Message(), writeError(path) + u'\n' + detail);
        }
    }
    QCOMPARE(readBytes(path), content);
}

void TestIniFile::manyWritesRewriteFileOnce()
{
    QTemporaryDir dir;
    const QByteArray content("[Checked]\r\nkeep=1\r\n\r\n[Other]\r\nx=1\r\n");
    const QString path = makeFile(dir, content);
    constexpr int count = 10000;
    QString saved;
    {
        TIniFile ini(path);
        for (int i = 0; i < count; ++i)
            ini.WriteString(u"Checked"_s, QStringLiteral("key%1").arg(i), QString::number(i));
        QCOMPARE(readBytes(path), content);
        ini.UpdateFile();
        makeOld(path);
        saved = FileStamp(path);
        ini.UpdateFile();
    }
    QCOMPARE(FileStamp(path), saved);
    const TIniFile reopened(path);
    QStringList keys;
    reopened.ReadSection(u"Checked"_s, keys);
    QCOMPARE(keys.size(), count + 1);
    QCOMPARE(keys.first(), u"keep"_s);
    QCOMPARE(keys.last(), u"key9999"_s);
    for (int i = 0; i < count; i += 997)
        QCOMPARE(reopened.ReadInteger(u"Checked"_s, QStringLiteral("key%1").arg(i), -1), i);
    QVERIFY(readBytes(path).endsWith("key9999=9999\r\n\r\n[Other]\r\nx=1\r\n"));
}

void TestIniFile::saveFailureKeepsFile_data()
{
    QTest::addColumn<bool>("fullFileSystem");
    QTest::addColumn<QString>("size");
    for (const bool full : {false, true}) {
        for (const char *size : {"2 KB", "100 KB"}) {
            QTest::addRow("%s, %s", full ? "full file system" : "file size limit", size)
                << full << QString::fromLatin1(size);
        }
    }
}

// Any write error of the save keeps the old file, byte for byte and under its identity, leaves
// no temporary file, and raises the accessor's error.
void TestIniFile::saveFailureKeepsFile()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no per-process file-size limit, and a small file system needs a mount");
#else
    QFETCH(bool, fullFileSystem);
    QFETCH(QString, size);
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"scenery"_s);
    QVERIFY(QDir().mkpath(folder));
    std::optional<TSmallFileSystem> small;
    if (fullFileSystem) {
        small.emplace(folder);
        if (!small->Mounted())
            QSKIP(qPrintable(u"a small tmpfs cannot be mounted here (needs root with "
                             u"CAP_SYS_ADMIN): "_s
                             + small->Error()));
    }
    const QString path = folder + u"/scenery.ini"_s;
    const QByteArray content = DemoControlFileOfSize(size);
    writeBytes(path, content);
    const QString stamp = FileStamp(path);
    {
        std::optional<TFileSizeLimit> limit;
        if (fullFileSystem)
            QVERIFY(FillFileSystem(folder + u"/filler"_s));
        else
            QVERIFY(limit.emplace(content.size() / 2).Applied());
        TIniFile ini(path);
        ini.WriteString(u"Settings"_s, u"Language"_s, u"english"_s);
        try {
            ini.UpdateFile();
            QFAIL("The failed save was not reported");
        } catch (const EIniFileException &error) {
            QCOMPARE(error.Message(), writeError(path));
        }
        // The caller was told; the accessor does not save behind its back when it is released,
        // even where it now could (Apply would otherwise store states without renaming).
        limit.reset();
        if (fullFileSystem)
            QVERIFY(QFile::remove(folder + u"/filler"_s));
    }
    QCOMPARE(readBytes(path), content);
    QCOMPARE(FileStamp(path), stamp);
    QCOMPARE(entriesOf(folder), QStringList{u"scenery.ini"_s});
#endif
}

void TestIniFile::saveRefusesLinkOrOtherFile_data()
{
    QTest::addColumn<bool>("existsWhenRead");
    // What stands at the control file's name at the save: "link to file", "link to missing",
    // "other file", "nothing"; read through a link: "read through link".
    QTest::addColumn<QString>("atSave");

    QTest::newRow("replaced by a link to a file") << true << u"link to file"_s;
    QTest::newRow("replaced by a link to a missing path") << true << u"link to missing"_s;
    QTest::newRow("replaced by another file") << true << u"other file"_s;
    QTest::newRow("deleted since it was read") << true << u"nothing"_s;
    QTest::newRow("a link already when read") << true << u"read through link"_s;
    QTest::newRow("missing when read, then a link to a file") << false << u"link to file"_s;
    QTest::newRow("missing when read, then a link to a missing path")
        << false << u"link to missing"_s;
    QTest::newRow("missing when read, then a file") << false << u"other file"_s;
}

// A save never writes through a symbolic link, never creates a link's missing target, and never
// replaces a file other than the one that was read: it raises the accessor's error and leaves
// everything as it found it.
void TestIniFile::saveRefusesLinkOrOtherFile()
{
    QFETCH(bool, existsWhenRead);
    QFETCH(QString, atSave);
#ifdef Q_OS_WIN
    if (atSave != u"nothing" && !(atSave == u"other file" && !existsWhenRead))
        QSKIP("symbolic links need privileges on Windows, and the identity check is POSIX-only");
#endif
    QTemporaryDir dir;
    QTemporaryDir elsewhere; // stands for a folder where only root may write
    const QString path = dir.filePath(u"scenery.ini"_s);
    const QString victim = elsewhere.filePath(u"victim.ini"_s);
    const QString missing = elsewhere.filePath(u"created.ini"_s);
    const QByteArray victimContent("[Victim]\r\nkeep=me\r\n");
    const QByteArray otherContent("[Other]\r\nkeep=me\r\n");
    writeBytes(victim, victimContent);
    const auto placeLink = [&](const QString &target) {
        // As another user would: a link made beside it, renamed over the control file.
        const QString made = dir.filePath(u"made-by-someone"_s);
        QVERIFY(QFile::link(target, made));
        QCOMPARE(::rename(QFile::encodeName(made).constData(), QFile::encodeName(path).constData()),
                 0);
    };
    if (existsWhenRead) {
        if (atSave == u"read through link")
            placeLink(victim);
        else
            writeBytes(path, "[Settings]\r\nLanguage=german\r\n");
    }

    TIniFile ini(path);
    ini.WriteString(u"Settings"_s, u"Language"_s, u"english"_s);
    if (atSave == u"link to file") {
        placeLink(victim);
    } else if (atSave == u"link to missing") {
        placeLink(missing);
    } else if (atSave == u"other file") {
        const QString made = dir.filePath(u"made-by-someone"_s);
        writeBytes(made, otherContent);
        QCOMPARE(::rename(QFile::encodeName(made).constData(), QFile::encodeName(path).constData()),
                 0);
    } else if (atSave == u"nothing") {
        QVERIFY(QFile::remove(path));
    }
    const QString target = QFileInfo(path).symLinkTarget();
    try {
        ini.UpdateFile();
        QFAIL("The save went ahead");
    } catch (const EIniFileException &error) {
        QCOMPARE(error.Message(), writeError(path));
    }
    QCOMPARE(readBytes(victim), victimContent);
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(QFileInfo(path).symLinkTarget(), target);
    if (atSave == u"other file")
        QCOMPARE(readBytes(path), otherContent);
    if (atSave == u"nothing")
        QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(entriesOf(dir.path()),
             (atSave == u"nothing" ? QStringList() : QStringList{u"scenery.ini"_s}));
    QCOMPARE(entriesOf(elsewhere.path()), QStringList{u"victim.ini"_s});
}

void TestIniFile::saveKeepsOwnerAndMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("0444, read-only") << 0444;
    QTest::newRow("0640") << 0640;
    QTest::newRow("0604") << 0604;
}

// An elevated instance saves a file that belongs to someone else: the new file keeps its owner,
// group and mode (a read-only file stays read-only).
void TestIniFile::saveKeepsOwnerAndMode()
{
#ifdef Q_OS_WIN
    QSKIP("Windows files have no owner, group and mode");
#else
    QFETCH(int, mode);
    if (::geteuid() != 0)
        QSKIP("only root can give a file to another user");
    constexpr uid_t nobody = 65534;
    constexpr gid_t nogroup = 65534;
    QTemporaryDir dir;
    const QString path = makeFile(dir, "[A]\r\nk=1\r\n");
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::chown(name.constData(), nobody, nogroup), 0);
    QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
    {
        TIniFile ini(path);
        ini.WriteString(u"A"_s, u"k"_s, u"2"_s);
        ini.UpdateFile();
    }
    QCOMPARE(readBytes(path), QByteArray("[A]\r\nk=2\r\n"));
    struct stat st = {};
    QCOMPARE(::lstat(name.constData(), &st), 0);
    QCOMPARE(st.st_uid, nobody);
    QCOMPARE(st.st_gid, nogroup);
    QCOMPARE(int(st.st_mode & 07777), mode);
    QVERIFY(S_ISREG(st.st_mode));
#endif
}

// The access list and the other extended attributes of the replaced file go with its content: a
// user that the list lets write the control file keeps that right, and the group gains none.
void TestIniFile::saveKeepsAccessList()
{
#ifdef Q_OS_WIN
    QSKIP("access lists of Windows files are not kept yet");
#else
    QTemporaryDir dir;
    const QString path = makeFile(dir, "[A]\r\nk=1\r\n");
    const QByteArray name = QFile::encodeName(path);
    // user::rw-, user:1234:rw-, group::r--, mask::rw-, other::r-- in the kernel's layout.
    const auto entry = [](quint16 tag, quint16 permissions, quint32 id) {
        QByteArray bytes(8, '\0');
        qToLittleEndian(tag, bytes.data());
        qToLittleEndian(permissions, bytes.data() + 2);
        qToLittleEndian(id, bytes.data() + 4);
        return bytes;
    };
    QByteArray acl(4, '\0');
    qToLittleEndian(quint32(2), acl.data());
    acl += entry(0x01, 6, 0xFFFFFFFF) + entry(0x02, 6, 1234) + entry(0x04, 4, 0xFFFFFFFF)
        + entry(0x10, 6, 0xFFFFFFFF) + entry(0x20, 4, 0xFFFFFFFF);
    if (::setxattr(name.constData(), "system.posix_acl_access", acl.constData(), size_t(acl.size()),
                   0)
        != 0)
        QSKIP("this file system keeps no access lists");
    const auto attribute = [&](const char *attributeName) {
        QByteArray value(256, '\0');
        const ssize_t size = ::getxattr(name.constData(), attributeName, value.data(), 256);
        return size < 0 ? QByteArray() : value.left(qsizetype(size));
    };
    const QByteArray stored = attribute("system.posix_acl_access");
    const bool userAttributes
        = ::setxattr(name.constData(), "user.note", "Musterhafen", 11, 0) == 0;
    struct stat before = {};
    QCOMPARE(::stat(name.constData(), &before), 0);
    {
        TIniFile ini(path);
        ini.WriteString(u"A"_s, u"k"_s, u"2"_s);
        ini.UpdateFile();
    }
    QCOMPARE(readBytes(path), QByteArray("[A]\r\nk=2\r\n"));
    QCOMPARE(attribute("system.posix_acl_access"), stored);
    if (userAttributes)
        QCOMPARE(attribute("user.note"), QByteArray("Musterhafen"));
    struct stat after = {};
    QCOMPARE(::stat(name.constData(), &after), 0);
    QCOMPARE(after.st_mode, before.st_mode);
#endif
}

// After a save the accessor knows the file it wrote: a second save of the same accessor is no
// "other file".
void TestIniFile::savesTwice()
{
    QTemporaryDir dir;
    const QString path = makeFile(dir, "[A]\r\nk=1\r\n");
    {
        TIniFile ini(path);
        ini.WriteString(u"A"_s, u"k"_s, u"2"_s);
        ini.UpdateFile();
        QCOMPARE(readBytes(path), QByteArray("[A]\r\nk=2\r\n"));
        ini.WriteString(u"A"_s, u"k"_s, u"3"_s);
        ini.UpdateFile();
    }
    QCOMPARE(readBytes(path), QByteArray("[A]\r\nk=3\r\n"));
    const QString missing = dir.filePath(u"new.ini"_s);
    {
        TIniFile ini(missing);
        ini.WriteString(u"A"_s, u"k"_s, u"1"_s);
        ini.UpdateFile();
        ini.WriteString(u"A"_s, u"k"_s, u"2"_s);
        ini.UpdateFile();
    }
    QCOMPARE(readBytes(missing), QByteArray("[A]\r\nk=2\r\n"));
    QCOMPARE(entriesOf(dir.path()), (QStringList{u"new.ini"_s, u"scenery.ini"_s}));
}

void TestIniFile::garbage_data()
{
    QTest::addColumn<QByteArray>("content");

    QRandomGenerator random(20240501);
    QList<quint32> words(16 * 1024);
    random.fillRange(words.data(), words.size());
    const QByteArray noise(reinterpret_cast<const char *>(words.constData()), words.size() * 4);

    QTest::newRow("random bytes") << noise;
    QTest::newRow("UTF-16LE BOM and random bytes") << QByteArray("\xFF\xFE" + noise.left(999));
    QTest::newRow("UTF-16BE BOM alone") << QByteArray("\xFE\xFF");
    QTest::newRow("UTF-8 BOM and invalid bytes") << QByteArray("\xEF\xBB\xBF[Q]\xC3=\xFF\xFE\r\n");
    QTest::newRow("NUL bytes") << QByteArray(4096, '\0');
    QTest::newRow("overlong and surrogate UTF-8")
        << QByteArray("[A]\xC0\xAF\r\n\xED\xA0\x80=\xF4\x90\x80\x80");
    QTest::newRow("brackets and equals signs only") << QByteArray("[\r\n]\r\n=\r\n[]=[\r\n[=]\r\n");
    QTest::newRow("line breaks only") << QByteArray("\r\r\n\n\r");
    QTest::newRow("one line of 2 MB") << QByteArray("k=" + QByteArray(2 * 1024 * 1024, 'v'));
}

void TestIniFile::garbage()
{
    QFETCH(QByteArray, content);

    QTemporaryDir dir;
    const QString path = makeFile(dir, content);
    {
        TIniFile ini(path);
        QStringList keys;
        ini.ReadSection(QString(), keys);
        ini.ReadSection(u"A"_s, keys);
        QCOMPARE(ini.ReadString(u"Zz"_s, u"key"_s, u"def"_s), u"def"_s);
        QCOMPARE(ini.ReadInteger(u"Zz"_s, u"key"_s, 3), 3);
        ini.WriteString(u"Zz"_s, u"key"_s, u"value"_s);
    }
    const QByteArray written = readBytes(path);
    QVERIFY(written.startsWith(content.chopped(content.isEmpty() ? 0 : 1)));
    const TIniFile reopened(path);
    QCOMPARE(reopened.ReadString(u"Zz"_s, u"key"_s, u"def"_s), u"value"_s);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
