#include "platform/rzversioninfo.h"

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
    }
};

QTEST_GUILESS_MAIN(TestRzVersionInfo)
#include "tst_rzversioninfo.moc"
