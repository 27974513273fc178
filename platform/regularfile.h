#pragma once

#include "platform/filereplace.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Limits for the files that markup and readmes name; whoever can write the program folder picks
// them. A picture of 32 MiB is far more than a credits line or a readme shows (an uncompressed
// 24-bit picture of 3000 x 3000 pixels takes 27 MB) and stays well below the 256 MB that one
// decoded image may take in Qt. A readme, stylesheet or linked page of 4 MiB is a whole book.
inline constexpr qint64 MaxPictureFileSize = qint64(32) << 20;
inline constexpr qint64 MaxDocumentFileSize = qint64(4) << 20;
// A control file of 64 MiB would list about a million objects; real ones take a few kilobytes.
inline constexpr qint64 MaxControlFileSize = qint64(64) << 20;

// Reads a regular file whole. Anything else at the path (a FIFO, a device, a folder) is refused
// without waiting on it and without reading from it, and so is a file of more than maxSize bytes.
// Returns nothing on refusal or failure, and the reason in English when reason is given; with
// identity, also which file was read.
std::optional<QByteArray> ReadRegularFile(const QString &path, qint64 maxSize,
                                          QString *reason = nullptr,
                                          TFileIdentity *identity = nullptr);

// Whether the path names a regular file of at most maxSize bytes that this process can open for
// reading; checked as ReadRegularFile does, without reading it.
bool CanReadRegularFile(const QString &path, qint64 maxSize, QString *reason = nullptr);
