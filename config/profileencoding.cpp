#include "config/profileencoding.h"

#include <QStringDecoder>
#include <QtEndian>

#include <array>

namespace {

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same number, so that every byte decodes and encodes back to itself.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

int cp1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < cp1252High.size(); ++i) {
        if (cp1252High[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

enum class Utf8Check { Invalid, AsciiOnly, MultiByte };

// Strict check: no overlong forms, no surrogates, nothing above U+10FFFF.
Utf8Check checkUtf8(QByteArrayView data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.data());
    const qsizetype n = data.size();
    bool multiByte = false;
    qsizetype i = 0;
    while (i < n) {
        const uchar b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int follow = 0;
        uchar min = 0x80, max = 0xBF; // allowed range of the first continuation byte
        if (b >= 0xC2 && b <= 0xDF) {
            follow = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            follow = 2;
            if (b == 0xE0)
                min = 0xA0;
            else if (b == 0xED)
                max = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            follow = 3;
            if (b == 0xF0)
                min = 0x90;
            else if (b == 0xF4)
                max = 0x8F;
        } else {
            return Utf8Check::Invalid;
        }
        if (n - i <= follow)
            return Utf8Check::Invalid;
        if (p[i + 1] < min || p[i + 1] > max)
            return Utf8Check::Invalid;
        for (int k = 2; k <= follow; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return Utf8Check::Invalid;
        }
        multiByte = true;
        i += follow + 1;
    }
    return multiByte ? Utf8Check::MultiByte : Utf8Check::AsciiOnly;
}

QByteArray encodeCp1252(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character, one '?'
        const int b = cp1252Byte(c);
        out.append(b < 0 ? '?' : char(b));
    }
    return out;
}

QByteArray encodeUtf8(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isSurrogate(c)) {
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
                ++i;
            } else {
                out.append('?');
                continue;
            }
        }
        if (c < 0x80) {
            out.append(char(c));
        } else if (c < 0x800) {
            out.append(char(0xC0 | (c >> 6)));
            out.append(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.append(char(0xE0 | (c >> 12)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        } else {
            out.append(char(0xF0 | (c >> 18)));
            out.append(char(0x80 | ((c >> 12) & 0x3F)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace

TProfileEncoding TProfileEncoding::detect(QByteArrayView data)
{
    if (data.startsWith("\xFF\xFE"))
        return {Kind::Utf16LE, true};
    if (data.startsWith("\xFE\xFF"))
        return {Kind::Utf16BE, true};
    if (data.startsWith("\xEF\xBB\xBF"))
        return {Kind::Utf8, true};
    if (checkUtf8(data) == Utf8Check::MultiByte)
        return {Kind::Utf8, false};
    return {Kind::Windows1252, false};
}

QByteArray TProfileEncoding::bom() const
{
    if (!FHasBom)
        return {};
    switch (FKind) {
    case Kind::Utf16LE:
        return QByteArrayLiteral("\xFF\xFE");
    case Kind::Utf16BE:
        return QByteArrayLiteral("\xFE\xFF");
    case Kind::Utf8:
        return QByteArrayLiteral("\xEF\xBB\xBF");
    case Kind::Windows1252:
        break;
    }
    return {};
}

QString TProfileEncoding::decode(QByteArrayView bytes) const
{
    switch (FKind) {
    case Kind::Windows1252: {
        QString text(bytes.size(), Qt::Uninitialized);
        QChar *out = text.data();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const uchar b = uchar(bytes[i]);
            out[i] = QChar((b >= 0x80 && b <= 0x9F) ? cp1252High[b - 0x80] : char16_t(b));
        }
        return text;
    }
    case Kind::Utf8: {
        // The file's own byte-order mark is cut off before; U+FEFF anywhere else is text, which
        // QString::fromUtf8 would drop at the start of a line or name.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(bytes);
    }
    case Kind::Utf16LE:
    case Kind::Utf16BE: {
        const qsizetype units = bytes.size() / 2;
        QString text(units, Qt::Uninitialized);
        if (FKind == Kind::Utf16LE)
            qFromLittleEndian<quint16>(bytes.data(), units, text.data());
        else
            qFromBigEndian<quint16>(bytes.data(), units, text.data());
        return text;
    }
    }
    return {};
}

QByteArray TProfileEncoding::encode(QStringView text) const
{
    switch (FKind) {
    case Kind::Windows1252:
        return encodeCp1252(text);
    case Kind::Utf8:
        return encodeUtf8(text);
    case Kind::Utf16LE:
    case Kind::Utf16BE: {
        QByteArray out(text.size() * 2, Qt::Uninitialized);
        if (FKind == Kind::Utf16LE)
            qToLittleEndian<quint16>(text.data(), text.size(), out.data());
        else
            qToBigEndian<quint16>(text.data(), text.size(), out.data());
        return out;
    }
    }
    return {};
}

QByteArray TProfileEncoding::lineBreakBytes(TLineBreak lineBreak) const
{
    switch (lineBreak) {
    case TLineBreak::None:
        return {};
    case TLineBreak::CrLf:
        return encode(u"\r\n");
    case TLineBreak::Lf:
        return encode(u"\n");
    case TLineBreak::Cr:
        return encode(u"\r");
    }
    return {};
}
