#pragma once

#include <QByteArray>
#include <QString>

class QJsonObject;

// Writes sceneryctl's results to stdout and its errors to stderr, as UTF-8. Results pass through
// the standard output's buffer, which is emptied before every error, so that the two keep their
// order where they meet.
class TCtlOutput
{
public:
    void Line(const QString &text);
    void Json(const QJsonObject &object);
    // A piece of a JSON result that is written as it is built (TJsonStream).
    void JsonText(const QByteArray &text);
    void Error(const QString &message); // "sceneryctl: " + message
    // Whether a JSON result has been written (a failed apply writes its own, with its error).
    bool WroteJson() const { return FWroteJson; }

private:
    bool FWroteJson = false;
};
