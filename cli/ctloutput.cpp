#include "cli/ctloutput.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace {

// Captions, keys and file names come from the control file and the scenery folder; their control
// characters would act on the terminal (clear it, move the cursor, set its title). They are shown
// escaped, as the JSON output writes them, and so are DEL and the C1 controls.
QString escapedControls(const QString &text)
{
    const auto isControl = [](QChar c) { return c.category() == QChar::Other_Control; };
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text;
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (!isControl(c)) {
            shown += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\b':
            shown += QStringLiteral("\\b");
            break;
        case u'\f':
            shown += QStringLiteral("\\f");
            break;
        case u'\n':
            shown += QStringLiteral("\\n");
            break;
        case u'\r':
            shown += QStringLiteral("\\r");
            break;
        case u'\t':
            shown += QStringLiteral("\\t");
            break;
        default:
            shown += QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

void write(std::FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

} // namespace

void TCtlOutput::Line(const QString &text)
{
    write(stdout, (escapedControls(text) + u'\n').toUtf8());
}

void TCtlOutput::Json(const QJsonObject &object)
{
    JsonText(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

void TCtlOutput::JsonText(const QByteArray &text)
{
    write(stdout, text);
    FWroteJson = true;
}

void TCtlOutput::Error(const QString &message)
{
    std::fflush(stdout);
    write(stderr,
          (QCoreApplication::applicationName() + QStringLiteral(": ") + escapedControls(message)
           + u'\n')
              .toUtf8());
}
