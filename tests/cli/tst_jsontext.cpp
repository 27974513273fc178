#include "cli/jsontext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

// sceneryctl writes the elements of its long arrays without QJsonDocument; scripts compare them
// with what QJsonDocument writes, so every text must come out byte for byte the same.
class TestJsonText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textsAsQJsonDocumentWritesThem_data();
    void textsAsQJsonDocumentWritesThem();
    void nestingAsQJsonDocumentWritesIt();
};

void TestJsonText::textsAsQJsonDocumentWritesThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << u"Hangar Nord 000001"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("quote and backslash") << u"a \"b\" c\\d /e"_s;
    QTest::newRow("named control characters") << u"\b\f\n\r\t"_s;
    QString controls;
    for (char16_t c = 0; c < 0x20; ++c)
        controls += QChar(c);
    QTest::newRow("every control character") << controls + u"\x7f"_s;
    QTest::newRow("Latin-1") << u"Abfertigungsgeb\u00e4ude \u00a0\u00ad\u00ff"_s;
    QTest::newRow("beyond Latin-1") << u"\u0411\u0430\u0448\u043d\u044f \u2028 \ufeff \uffff"_s;
    QTest::newRow("surrogate pair") << u"\U0001f600 \U0010ffff"_s;
    QTest::newRow("lone high surrogate") << u"a\xd800"_s;
    QTest::newRow("lone low surrogate") << u"\xdc00 b"_s;
    QTest::newRow("two high surrogates") << u"\xdbff\xd800\xdc00"_s;
}

void TestJsonText::textsAsQJsonDocumentWritesThem()
{
    QFETCH(QString, text);
    TJsonText json(0);
    json.BeginObject();
    json.Key("list"_L1);
    json.Value(QStringList{text, text});
    json.Key("text"_L1);
    json.Value(text);
    json.EndObject();
    const QJsonObject object{{u"list"_s, QJsonArray{text, text}}, {u"text"_s, text}};
    QCOMPARE(json.Text() + '\n', QJsonDocument(object).toJson());
}

void TestJsonText::nestingAsQJsonDocumentWritesIt()
{
    TJsonText json(0);
    json.BeginObject();
    json.Key("children"_L1);
    json.BeginArray();
    json.BeginObject();
    json.Key("children"_L1);
    json.Value(QStringList());
    json.Key("state"_L1);
    json.Null();
    json.EndObject();
    json.BeginObject();
    json.EndObject();
    json.EndArray();
    json.Key("false"_L1);
    json.Value(false);
    json.Key("number"_L1);
    json.Value(qint64(-2147483648LL));
    json.Key("true"_L1);
    json.Value(true);
    json.EndObject();
    const QJsonObject object{
        {u"children"_s,
         QJsonArray{QJsonObject{{u"children"_s, QJsonArray()}, {u"state"_s, QJsonValue()}},
                    QJsonObject()}},
        {u"false"_s, false},
        {u"number"_s, -2147483648LL},
        {u"true"_s, true}};
    QCOMPARE(json.Text() + '\n', QJsonDocument(object).toJson());
}

QTEST_GUILESS_MAIN(TestJsonText)
#include "tst_jsontext.moc"
