#pragma once

#include <QMap>
#include <QString>

#include <array>
#include <optional>

// The string values of a program's version information, by name ("FileVersion", …).
using TVersionStrings = QMap<QString, QString>;

// Reads the version information of the program: ten standard string values in a fixed order,
// of which position 2 is "FileVersion". A missing value is empty.
class TRzVersionInfo
{
public:
    // The names of the fields, by position.
    static const std::array<QString, 10> FieldNames;

    // The version information of this program: on Windows its file's version resource.
    TRzVersionInfo();
    // Given version information, or none (std::nullopt) for a program without any.
    explicit TRzVersionInfo(std::optional<TVersionStrings> strings);

    bool VersionInfoAvailable() const { return FStrings.has_value(); }
    QString GetField(int index) const;
    QString FileVersion() const { return GetField(2); }

private:
    std::optional<TVersionStrings> FStrings;
};

#ifdef Q_OS_WIN
// The string values of a file's version resource; std::nullopt when it has none.
std::optional<TVersionStrings> ReadVersionResource(const QString &fileName);
#endif
