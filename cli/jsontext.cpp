#include "cli/jsontext.h"

namespace {

constexpr qsizetype IndentWidth = 4;

const char HexDigits[] = "0123456789abcdef";

void appendUtf8(QByteArray &text, char32_t c)
{
    if (c < 0x80) {
        text += char(c);
    } else if (c < 0x800) {
        const char bytes[] = {char(0xc0 | (c >> 6)), char(0x80 | (c & 0x3f))};
        text.append(bytes, sizeof bytes);
    } else if (c < 0x10000) {
        const char bytes[]
            = {char(0xe0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3f)), char(0x80 | (c & 0x3f))};
        text.append(bytes, sizeof bytes);
    } else {
        const char bytes[] = {char(0xf0 | (c >> 18)), char(0x80 | ((c >> 12) & 0x3f)),
                              char(0x80 | ((c >> 6) & 0x3f)), char(0x80 | (c & 0x3f))};
        text.append(bytes, sizeof bytes);
    }
}

} // namespace

TJsonText::TJsonText(int level)
    : FLevel(level)
{ }

void TJsonText::BeginObject()
{
    Open('{');
}

void TJsonText::EndObject()
{
    Close('}');
}

void TJsonText::BeginArray()
{
    Open('[');
}

void TJsonText::EndArray()
{
    Close(']');
}

void TJsonText::Open(char bracket)
{
    NextValue();
    FText += bracket;
    FText += '\n';
    FEmpty.push_back(true);
    ++FLevel;
}

void TJsonText::Close(char bracket)
{
    --FLevel;
    if (!FEmpty.back())
        FText += '\n';
    FEmpty.pop_back();
    Indent();
    FText += bracket;
}

void TJsonText::Key(QLatin1StringView key)
{
    NextValue();
    FText += '"';
    FText += key; // the callers' own names: nothing to escape
    FText += "\": ";
    FAfterKey = true;
}

void TJsonText::Value(const QString &text)
{
    NextValue();
    Quoted(text);
}

void TJsonText::Value(bool value)
{
    NextValue();
    FText += value ? "true" : "false";
}

void TJsonText::Value(qint64 value)
{
    NextValue();
    FText += QByteArray::number(value);
}

void TJsonText::Value(const QStringList &texts)
{
    BeginArray();
    for (const QString &text : texts)
        Value(text);
    EndArray();
}

void TJsonText::Null()
{
    NextValue();
    FText += "null";
}

// A member's value follows its key on the same line; any other value starts a line of its own,
// after a comma when it is not the first of its object or array.
void TJsonText::NextValue()
{
    if (FAfterKey) {
        FAfterKey = false;
        return;
    }
    if (!FEmpty.empty()) {
        if (!FEmpty.back())
            FText += ",\n";
        FEmpty.back() = false;
    }
    Indent();
}

void TJsonText::Indent()
{
    FText.append(FLevel * IndentWidth, ' ');
}

// Quotes, backslashes and control characters are escaped, half a surrogate pair is written as
// its code; everything else goes out as UTF-8.
void TJsonText::Quoted(QStringView text)
{
    FText += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c < 0x80 && c != u'"' && c != u'\\') {
            FText += char(c);
            continue;
        }
        switch (c) {
        case u'"':
            FText += "\\\"";
            continue;
        case u'\\':
            FText += "\\\\";
            continue;
        case u'\b':
            FText += "\\b";
            continue;
        case u'\f':
            FText += "\\f";
            continue;
        case u'\n':
            FText += "\\n";
            continue;
        case u'\r':
            FText += "\\r";
            continue;
        case u'\t':
            FText += "\\t";
            continue;
        default:
            break;
        }
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode());
        if (pair) {
            appendUtf8(FText, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else if (c < 0x20 || QChar::isSurrogate(c)) {
            const char code[] = {'\\',
                                 'u',
                                 HexDigits[(c >> 12) & 0xf],
                                 HexDigits[(c >> 8) & 0xf],
                                 HexDigits[(c >> 4) & 0xf],
                                 HexDigits[c & 0xf]};
            FText.append(code, sizeof code);
        } else {
            appendUtf8(FText, c);
        }
    }
    FText += '"';
}
