#include "cli/ctlwords.h"

#include "config/languagetexts.h"

QString KindWord(TFileType fileType)
{
    return EntryKindWord(lgEnglish, fileType);
}

QString FormWord(TFileForm form)
{
    switch (form) {
    case ffActive:
        return QStringLiteral("active");
    case ffInactive:
        return QStringLiteral("inactive");
    case ffBothForms:
        return QStringLiteral("both");
    case ffOutsideScenery:
        return QStringLiteral("outside");
    case ffAmbiguous:
        return QStringLiteral("ambiguous");
    case ffBadName:
        return QStringLiteral("bad name");
    case ffMissing:
        break;
    }
    return QStringLiteral("missing");
}

QString LeftAsItIs(TFileForm form)
{
    switch (form) {
    case ffBothForms:
        return QStringLiteral("both forms present");
    case ffMissing:
        return QStringLiteral("neither form present");
    case ffOutsideScenery:
        return QStringLiteral("outside the Scenery folder");
    default:
        return {};
    }
}
