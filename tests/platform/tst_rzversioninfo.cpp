#include "platform/rzversioninfo.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRzVersionInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsFields_data()
    {
        QTest::addColumn<std::optional<TVersionStrings>>("strings");
        QTest::addColumn<bool>("available");
        QTest::addColumn<QString>("fileVersion");
        QTest::newRow("no version information")
            << std::optional<TVersionStrings>() << false << QString();
        QTest::newRow("no FileVersion")
            << std::optional(TVersionStrings{{u"ProductName"_s, u"X"_s}}) << true << QString();
        QTest::newRow("FileVersion")
            << std::optional(TVersionStrings{{u"FileVersion"_s, u"1.2.3.4"_s}}) << true
            << u"1.2.3.4"_s;
    }
    void readsFields()
    {
        QFETCH(std::optional<TVersionStrings>, strings);
        QFETCH(bool, available);
        QFETCH(QString, fileVersion);
        const TRzVersionInfo info(strings);
        QCOMPARE(info.VersionInfoAvailable(), available);
        QCOMPARE(info.GetField(2), fileVersion);
        QCOMPARE(info.FileVersion(), fileVersion);
        QCOMPARE(info.GetField(10), QString());
    }

    void programVersionIsCompiledIn()
    {
        const TRzVersionInfo info;
        QVERIFY(info.VersionInfoAvailable());
        QCOMPARE(info.FileVersion(), u"2.0.0.0"_s);
        QCOMPARE(TRzVersionInfo::FieldNames[2], u"FileVersion"_s);
        // Company and product as the footer line names them.
        QCOMPARE(info.GetField(0), u"Orvandel"_s);
        QCOMPARE(info.GetField(7), u"Konfigurator"_s);
        QCOMPARE(info.GetField(8), u"2.0.0.0"_s);
    }

#ifdef Q_OS_WIN
    // The resource read through the system's version functions, as Explorer shows it.
    void versionResourceOfAFile()
    {
        const auto own = ReadVersionResource(QCoreApplication::applicationFilePath());
        QVERIFY(own.has_value());
        QCOMPARE(own->value(u"FileVersion"_s), u"2.0.0.0"_s);
        QCOMPARE(own->value(u"CompanyName"_s), u"Orvandel"_s);
        QCOMPARE(own->value(u"Comments"_s), QString());
        // A file without one.
        QTemporaryDir dir;
        QFile text(dir.filePath(u"plain.txt"_s));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("no resource");
        text.close();
        QVERIFY(!ReadVersionResource(text.fileName()).has_value());
    }
#endif
};

QTEST_GUILESS_MAIN(TestRzVersionInfo)
#include "tst_rzversioninfo.moc"
