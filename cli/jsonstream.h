#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

class QJsonObject;

class TCtlOutput;
class TJsonText;

// Writes one JSON object byte for byte as QJsonDocument writes it indented, while its long
// arrays go out one element at a time: no document of the whole output is ever built. Members
// must come in the order QJsonObject keeps them, sorted by key.
class TJsonStream
{
public:
    explicit TJsonStream(TCtlOutput &output);

    void Member(const QString &key, const QJsonValue &value);
    void BeginArray(const QString &key);
    void Element(const QJsonObject &element);
    // An element written at the array's level (TJsonText(2)).
    void Element(const TJsonText &element);
    void EndArray();
    void End(); // closes the object and writes it out

private:
    void Write(const QByteArray &bytes);
    void NextMember();

    TCtlOutput &FOutput;
    QByteArray FBuffer; // bytes not yet handed to the output
    bool FFirstMember = true;
    bool FFirstElement = true;
};
