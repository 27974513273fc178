#include "config/readmefile.h"

QString ReadmeFileName(const QString &languageWord)
{
    QString word = languageWord;
    for (QChar &c : word) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    if (word == u"GERMAN")
        return QStringLiteral("liesmich.html");
    if (word == u"ENGLISH")
        return QStringLiteral("readme.html");
    return {};
}
