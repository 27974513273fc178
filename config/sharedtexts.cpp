#include "config/sharedtexts.h"

QString TSharedTexts::Shared(const QString &text)
{
    const auto known = FTexts.constFind(text);
    if (known != FTexts.cend())
        return *known;
    if (FTexts.size() == MaxTexts)
        FTexts.clear();
    FTexts.insert(text);
    return text;
}
