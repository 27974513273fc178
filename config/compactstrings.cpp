#include "config/compactstrings.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr quint32 WideBit = 0x80000000u;

} // namespace

quint32 TCompactStrings::Append(const QString &text)
{
    const bool wide
        = std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xff; });
    if (wide) {
        FChars.append(reinterpret_cast<const char *>(text.constData()), text.size() * 2);
    } else {
        const qsizetype start = FChars.size();
        FChars.resize(start + text.size());
        std::transform(text.cbegin(), text.cend(), FChars.begin() + start,
                       [](QChar c) { return char(c.unicode()); });
    }
    Q_ASSERT(FChars.size() < qsizetype(WideBit));
    FEnds.push_back(quint32(FChars.size()) | (wide ? WideBit : 0));
    return quint32(FEnds.size() - 1);
}

QString TCompactStrings::At(quint32 index) const
{
    const quint32 start = index == 0 ? 0 : FEnds[index - 1] & ~WideBit;
    const quint32 end = FEnds[index] & ~WideBit;
    const char *chars = FChars.constData() + start;
    if (!(FEnds[index] & WideBit))
        return QString::fromLatin1(chars, end - start);
    QString text((end - start) / 2, Qt::Uninitialized);
    std::memcpy(text.data(), chars, end - start);
    return text;
}
