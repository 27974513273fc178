#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The demo's control file (2.2 KB, below the 16 KiB that Qt buffers before it writes), or the
// same followed by a section of padding to about 100 KB ("100 KB"): the sizes users have, and a
// large one. Tests that use it define SC_DEMO_DIR.
inline QByteArray DemoControlFileOfSize(const QString &size)
{
    QFile file(QStringLiteral(SC_DEMO_DIR "/Musterhafen.ini"));
    QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (bytes.isEmpty())
        qFatal("the demo control file cannot be read");
    if (size == u"100 KB") {
        bytes += "\r\n[Padding]\r\n";
        for (int i = 0; bytes.size() < 100 * 1024; ++i)
            bytes += QByteArray("pad") + QByteArray::number(i) + "=Platzhalter Nummer "
                + QByteArray::number(i) + "\r\n";
    }
    return bytes;
}
