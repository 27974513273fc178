#include "platform/openableaddress.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestOpenableAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("opened"); // as handed to the desktop; empty: nothing

        QTest::newRow("web page") << u"https://www.example.org/musterhafen/?a=1&b=2#start"_s
                                  << u"https://www.example.org/musterhafen/?a=1&b=2#start"_s;
        QTest::newRow("plain http")
            << u"http://scenery.example.net/"_s << u"http://scenery.example.net/"_s;
        QTest::newRow("mail address")
            << u"mailto:info@example.org"_s << u"mailto:info@example.org"_s;
        QTest::newRow("scheme and host in capitals")
            << u"HTTPS://Scenery.Example.net/Hangar"_s << u"https://scenery.example.net/Hangar"_s;
        QTest::newRow("international host and path")
            << u"https://www.flughafen-münchen.de/über"_s
            << u"https://www.xn--flughafen-mnchen-tzb.de/%C3%BCber"_s;
        QTest::newRow("escaped space")
            << u"https://example.org/mein%20Hangar"_s << u"https://example.org/mein%20Hangar"_s;

        // Not a valid address: never turned into some other address.
        QTest::newRow("space in the host") << u"https://my host.example.org/"_s << QString();
        QTest::newRow("space in the path") << u"https://example.org/mein Hangar"_s << QString();
        QTest::newRow("control character") << u"https://example.org/\x1b[2J"_s << QString();
        QTest::newRow("no scheme") << u"www.example.org"_s << QString();
        QTest::newRow("web scheme without host") << u"http:example.org"_s << QString();
        QTest::newRow("empty") << QString() << QString();

        // Local files and programs are never opened.
        QTest::newRow("local file") << u"file:///etc/passwd"_s << QString();
        QTest::newRow("script") << u"javascript:alert(1)"_s << QString();
        QTest::newRow("bare path") << u"/usr/bin/xterm"_s << QString();
        QTest::newRow("Windows path") << u"C:\\Windows\\System32\\calc.exe"_s << QString();
        QTest::newRow("network share") << u"smb://fileserver/scenery"_s << QString();
        QTest::newRow("file transfer") << u"ftp://example.org/scenery.zip"_s << QString();
    }
    void addresses()
    {
        QFETCH(QString, address);
        QFETCH(QString, opened);
        QCOMPARE(QString::fromUtf8(OpenableAddress(address).toEncoded()), opened);
    }
};

QTEST_GUILESS_MAIN(TestOpenableAddress)
#include "tst_openableaddress.moc"
