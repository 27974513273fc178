#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// How a line of a control file ends. The last line of a file may have no break.
enum class TLineBreak : quint8 { None, CrLf, Lf, Cr };

// The text encoding of a control file, detected from its bytes, and the conversions between its
// bytes and text. Decoding is lossless for the 8-bit encodings, so unchanged lines survive.
class TProfileEncoding
{
public:
    enum class Kind : quint8 { Windows1252, Utf8, Utf16LE, Utf16BE };

    TProfileEncoding() = default; // Windows-1252 without byte-order mark, as for a new file
    TProfileEncoding(Kind kind, bool hasBom)
        : FKind(kind)
        , FHasBom(hasBom)
    { }

    // UTF-16 and UTF-8 by their byte-order marks; without one, UTF-8 when the bytes are valid
    // UTF-8 holding at least one multi-byte sequence, Windows-1252 otherwise.
    static TProfileEncoding detect(QByteArrayView data);

    Kind kind() const { return FKind; }
    bool hasBom() const { return FHasBom; }
    QByteArray bom() const;
    // Bytes per code unit: 2 for UTF-16, 1 otherwise.
    qsizetype unitSize() const { return isUtf16() ? 2 : 1; }

    QString decode(QByteArrayView bytes) const;
    // A character that the encoding cannot hold becomes '?'.
    QByteArray encode(QStringView text) const;
    QByteArray lineBreakBytes(TLineBreak lineBreak) const;

private:
    bool isUtf16() const { return FKind == Kind::Utf16LE || FKind == Kind::Utf16BE; }

    Kind FKind = Kind::Windows1252;
    bool FHasBom = false;
};
