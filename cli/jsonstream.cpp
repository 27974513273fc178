#include "cli/jsonstream.h"

#include "cli/ctloutput.h"
#include "cli/jsontext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// One level of indentation, as QJsonDocument indents.
constexpr qsizetype IndentWidth = 4;
// Output is handed on in pieces of about this size.
constexpr qsizetype FlushSize = 64 * 1024;

// The lines of an indented document without its last line break, each moved right.
QByteArray indented(const QByteArray &document, qsizetype spaces)
{
    const QByteArray indent(spaces, ' ');
    QByteArray text = indent;
    text.reserve(document.size() + document.size() / 8);
    for (qsizetype i = 0; i + 1 < document.size(); ++i) {
        text += document.at(i);
        if (document.at(i) == '\n')
            text += indent;
    }
    return text;
}

} // namespace

TJsonStream::TJsonStream(TCtlOutput &output)
    : FOutput(output)
    , FBuffer("{\n")
{ }

// A member is written as QJsonDocument writes an object of it alone: its one inner line.
void TJsonStream::Member(const QString &key, const QJsonValue &value)
{
    NextMember();
    const QByteArray document = QJsonDocument(QJsonObject{{key, value}}).toJson();
    // "{\n" + line + "\n}\n"
    Write(document.mid(2, document.size() - 5));
}

void TJsonStream::BeginArray(const QString &key)
{
    NextMember();
    // The member line of an empty array, up to its opening bracket.
    const QByteArray document = QJsonDocument(QJsonObject{{key, QJsonArray()}}).toJson();
    Write(document.mid(2, document.indexOf('[') - 1));
    Write("\n");
    FFirstElement = true;
}

void TJsonStream::Element(const QJsonObject &element)
{
    if (!FFirstElement)
        Write(",\n");
    FFirstElement = false;
    Write(indented(QJsonDocument(element).toJson(), 2 * IndentWidth));
}

void TJsonStream::Element(const TJsonText &element)
{
    if (!FFirstElement)
        Write(",\n");
    FFirstElement = false;
    Write(element.Text());
}

void TJsonStream::EndArray()
{
    if (!FFirstElement)
        Write("\n");
    Write(QByteArray(IndentWidth, ' ') + ']');
}

void TJsonStream::End()
{
    Write(FFirstMember ? "}\n" : "\n}\n");
    FOutput.JsonText(FBuffer);
    FBuffer.clear();
}

void TJsonStream::NextMember()
{
    if (!FFirstMember)
        Write(",\n");
    FFirstMember = false;
}

void TJsonStream::Write(const QByteArray &bytes)
{
    FBuffer += bytes;
    if (FBuffer.size() >= FlushSize) {
        FOutput.JsonText(FBuffer);
        FBuffer.clear();
    }
}
