#include "platform/rzversioninfo.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

const std::array<QString, 10> TRzVersionInfo::FieldNames{
    QStringLiteral("CompanyName"),      QStringLiteral("FileDescription"),
    QStringLiteral("FileVersion"),      QStringLiteral("InternalName"),
    QStringLiteral("LegalCopyright"),   QStringLiteral("LegalTrademarks"),
    QStringLiteral("OriginalFilename"), QStringLiteral("ProductName"),
    QStringLiteral("ProductVersion"),   QStringLiteral("Comments"),
};

#ifdef Q_OS_WIN

// The string values of a file's version resource, from the block of the first language and code
// page of its translation table; std::nullopt when the file has no version resource.
std::optional<TVersionStrings> ReadVersionResource(const QString &fileName)
{
    const std::wstring path = fileName.toStdWString();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return std::nullopt;
    QByteArray data(qsizetype(size), '\0');
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return std::nullopt;
    TVersionStrings strings;
    struct TTranslation
    {
        WORD Language;
        WORD CodePage;
    };
    void *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length)
        || length < sizeof(TTranslation))
        return strings;
    const auto *translation = static_cast<const TTranslation *>(value);
    const QString block
        = QString::asprintf("\\StringFileInfo\\%.4x%.4x\\", unsigned(translation->Language),
                            unsigned(translation->CodePage));
    for (const QString &name : TRzVersionInfo::FieldNames) {
        const std::wstring query = (block + name).toStdWString();
        if (VerQueryValueW(data.data(), query.c_str(), &value, &length) && length > 0) {
            // The length counts the closing zero.
            strings.insert(
                name,
                QString::fromWCharArray(static_cast<const wchar_t *>(value), int(length) - 1));
        }
    }
    return strings;
}

namespace {

QString ownFileName()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length < buffer.size())
            return QString::fromWCharArray(buffer.data(), int(length));
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

// Windows: the version resource of the program's own file, as the file's properties show it.
TRzVersionInfo::TRzVersionInfo()
    : FStrings(ReadVersionResource(ownFileName()))
{ }

#else

// Elsewhere there is no version resource: the same values are compiled in.
TRzVersionInfo::TRzVersionInfo()
    : FStrings(TVersionStrings{
        {QStringLiteral("CompanyName"), QStringLiteral(SC_COMPANY_NAME)},
        {QStringLiteral("FileDescription"), QStringLiteral("Szenerie-Konfigurator")},
        {QStringLiteral("FileVersion"), QStringLiteral(SC_FILE_VERSION)},
        {QStringLiteral("InternalName"), QStringLiteral("scenery-configurator")},
        {QStringLiteral("LegalCopyright"), QStringLiteral(SC_COMPANY_NAME)},
        {QStringLiteral("OriginalFilename"), QStringLiteral("scenery-configurator")},
        {QStringLiteral("ProductName"), QStringLiteral(SC_PRODUCT_NAME)},
        {QStringLiteral("ProductVersion"), QStringLiteral(SC_FILE_VERSION)},
    })
{ }

#endif

TRzVersionInfo::TRzVersionInfo(std::optional<TVersionStrings> strings)
    : FStrings(std::move(strings))
{ }

QString TRzVersionInfo::GetField(int index) const
{
    if (!FStrings || index < 0 || index >= int(FieldNames.size()))
        return {};
    return FStrings->value(FieldNames[std::size_t(index)]);
}
