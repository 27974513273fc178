#include "cli/ctloutput.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

void write(std::FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void TCtlOutput::Line(const QString &text)
{
    write(stdout, (text + u'\n').toUtf8());
}

void TCtlOutput::Json(const QJsonObject &object)
{
    write(stdout, QJsonDocument(object).toJson(QJsonDocument::Indented));
}

void TCtlOutput::Error(const QString &message)
{
    write(stderr,
          (QCoreApplication::applicationName() + QStringLiteral(": ") + message + u'\n').toUtf8());
}
