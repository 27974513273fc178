#include "platform/rzversioninfo.h"

const std::array<QString, 10> TRzVersionInfo::FieldNames{
    QStringLiteral("CompanyName"),      QStringLiteral("FileDescription"),
    QStringLiteral("FileVersion"),      QStringLiteral("InternalName"),
    QStringLiteral("LegalCopyright"),   QStringLiteral("LegalTrademarks"),
    QStringLiteral("OriginalFilename"), QStringLiteral("ProductName"),
    QStringLiteral("ProductVersion"),   QStringLiteral("Comments"),
};

TRzVersionInfo::TRzVersionInfo()
    : FStrings(TVersionStrings{
        {QStringLiteral("FileDescription"), QStringLiteral("Scenery configurator")},
        {QStringLiteral("FileVersion"), QStringLiteral(SC_FILE_VERSION)},
        {QStringLiteral("InternalName"), QStringLiteral("scenery-configurator")},
        {QStringLiteral("OriginalFilename"), QStringLiteral("scenery-configurator")},
        {QStringLiteral("ProductName"), QStringLiteral("Scenery configurator")},
        {QStringLiteral("ProductVersion"), QStringLiteral(SC_FILE_VERSION)},
    })
{ }

TRzVersionInfo::TRzVersionInfo(std::optional<TVersionStrings> strings)
    : FStrings(std::move(strings))
{ }

QString TRzVersionInfo::GetField(int index) const
{
    if (!FStrings || index < 0 || index >= int(FieldNames.size()))
        return {};
    return FStrings->value(FieldNames[std::size_t(index)]);
}
