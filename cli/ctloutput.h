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
};
