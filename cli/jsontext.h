#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>

#include <vector>

// Writes a JSON value byte for byte as QJsonDocument writes it indented, piece by piece, without
// building a QJsonObject or QJsonArray first: the elements of sceneryctl's long arrays cost their
// text only. Members of an object must come sorted by key, as QJsonObject keeps them.
class TJsonText
{
public:
    // The value starts at this level of indentation (four spaces a level).
    explicit TJsonText(int level);

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(QLatin1StringView key);
    void Value(const QString &text);
    void Value(bool value);
    void Value(const char *) = delete; // not a bool
    void Value(qint64 value);
    void Value(const QStringList &texts); // an array of texts
    void Null();

    const QByteArray &Text() const { return FText; }

private:
    // An object or array begins or ends with this bracket.
    void Open(char bracket);
    void Close(char bracket);
    void NextValue();
    void Indent();
    void Quoted(QStringView text);

    QByteArray FText;
    int FLevel;
    bool FAfterKey = false;
    std::vector<bool> FEmpty; // per open object or array: nothing written in it yet
};
