#pragma once

#include <QString>

class QJsonObject;

// Writes sceneryctl's results to stdout and its errors to stderr, as UTF-8.
class TCtlOutput
{
public:
    void Line(const QString &text);
    void Json(const QJsonObject &object);
    void Error(const QString &message); // "sceneryctl: " + message
    // Whether a JSON result has been written (a failed apply writes its own, with its error).
    bool WroteJson() const { return FWroteJson; }

private:
    bool FWroteJson = false;
};
