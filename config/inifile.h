#pragma once

#include "platform/filereplace.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

// Raised when the control file cannot be written. The text is the one the user sees.
class EIniFileException : public std::runtime_error
{
public:
    explicit EIniFileException(const QString &message)
        : std::runtime_error(message.toStdString())
        , FMessage(message)
    { }
    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
};

class TProfileDocument;

// Accessor of an INI control file. It reads the file once when it is created and keeps its parsed
// copy in step with its own writes; the changes reach the disk atomically in one rewrite, when
// UpdateFile() is called or at the latest when the accessor is destroyed. The rewrite replaces
// only the file that was read: never one that has become a symbolic link or another file since,
// and it keeps the file's owner, group and mode (the program may run as root in a folder that
// another user can write).
class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);
    ~TIniFile(); // saves pending writes; a failure here is only logged, call UpdateFile() to see it
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    const QString &FileName() const { return FFileName; }

    // The value of the key, cut to 2047 characters; the default when the file, the section or
    // the key is missing (a key with an empty value gives the empty text).
    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // Empties the list, then fills it with the section's key names in file order, as spelled.
    void ReadSection(const QString &section, QStringList &strings) const;
    // The same names, and beside each the value ReadString gives for it, read in one walk
    // through the section.
    void ReadSectionValues(const QString &section, QStringList &keys, QStringList &values) const;
    // Whether the file has a section of this name, with keys or without.
    bool SectionExists(const QString &section) const;
    // Decimal with optional sign, "0x…" and "$…" hexadecimal; anything else gives the default.
    qint32 ReadInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    // The error WriteString would raise for this key now, and an empty text when the write would
    // be taken: the section or key name cannot stand in the file (the second line says which), or
    // the file cannot be replaced. Writes nothing, so a dry run can ask before every write.
    QString WriteError(const QString &section, const QString &key) const;

    // Raise EIniFileException with WriteError's text at once when it has one.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, qint32 value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // Writes pending changes to disk now (atomically); raises EIniFileException on failure, and
    // then the file on disk is the one before, byte for byte. The failed changes are dropped, so
    // that the release does not save them later behind the caller's back.
    void UpdateFile();

    // A stamp of the file's content as this accessor last read or saved it, so that a later look
    // at the file tells whether another program has written it since; empty when it read no file.
    QByteArray ContentStamp() const;
    // The stamp of a file that holds these bytes.
    static QByteArray StampOf(QByteArrayView bytes);

private:
    bool Replaceable() const;

    QString FFileName;
    std::unique_ptr<TProfileDocument> FDocument;
    TFileIdentity FIdentity; // the file that was read, or that there was none
    QByteArray FSavedStamp; // of the bytes last saved; empty until a save
    bool FDirty = false;
    bool FWritableChecked = false;
    bool FUnreadable = false; // the file exists but could not be read: never overwrite it
};
